// A simulated radio on a pseudo-terminal bound to COM1 of the real platform,
// with the error log captured in memory and message boxes answered from a
// script.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SbepSimulator.h"
#include "app/ProcessObjects.h"
#include "platform/posix/PosixSerial.h"
#include "sbep/SbepBroker.h"
#include "tests/support/TestPlatform.h"

namespace e2e {

using Bytes = std::vector<std::uint8_t>;

// The real platform, but with log lines kept in memory.
class CCapturingPlatform : public CPlatform {
public:
    explicit CCapturingPlatform(CPlatform& real) : real_(real) {}
    void ReleaseTimer() override { real_.ReleaseTimer(); }
    void ReleaseCommTimer() override { real_.ReleaseCommTimer(); }
    CTimerCtrl* GetTimer() override { return real_.GetTimer(); }
    CTimerCtrl* GetCommTimer() override { return real_.GetCommTimer(); }
    CLog* MakeLog(int kind) override
    {
        return kind == kPrimaryLog ? new testing_support::CMemoryLog(lines) : nullptr;
    }
    CSerial* GetSerial() override { return real_.GetSerial(); }
    CTimerCtrl* GetAuxTimer() override { return real_.GetAuxTimer(); }
    void ReleaseSerial() override { real_.ReleaseSerial(); }
    void ReleaseAuxTimer() override { real_.ReleaseAuxTimer(); }

    std::vector<std::string> lines;

private:
    CPlatform& real_;
};

class RadioFixture {
public:
    RadioFixture(const std::string& model, bool echo, int productLine)
        : platform_(*GetPlatform()), scopedPlatform_(&platform_), scopedBoxes_(&boxes),
          savedLine_(theApp.productLine)
    {
        sbepsim::SimOptions options;
        options.echo = echo;
        options.model = model;
        simulator = std::make_unique<sbepsim::SbepSimulator>(options);
        if (!simulator->Start())
            ADD_FAILURE() << "simulator: " << simulator->Error();
        BindPortDevice(1, simulator->DevicePath());
        theApp.productLine = productLine;
        theErrorLog.SetPrimaryOutput(1);
        ResetRecoveryFlags();
    }
    ~RadioFixture()
    {
        ResetRecoveryFlags();
        theErrorLog.SetPrimaryOutput(0);
        theApp.productLine = savedLine_;
        BindPortDevice(1, "");
    }

    const std::vector<std::string>& Lines() const { return platform_.lines; }

    // True when the platform lends the serial port again and it is closed.
    bool PortGivenBack()
    {
        CSerial* serial = thePlatform->GetSerial();
        if (serial == nullptr)
            return false;
        const bool closed = serial->GetPortNumber() == 0;
        thePlatform->ReleaseSerial();
        return closed;
    }

    testing_support::CScriptedBoxes boxes;
    std::unique_ptr<sbepsim::SbepSimulator> simulator;

private:
    CCapturingPlatform platform_;
    CScopedPlatform scopedPlatform_;
    CScopedMessageBoxes scopedBoxes_;
    int savedLine_;
};

// `expected` occurs in `lines` in this order, other lines in between allowed.
inline ::testing::AssertionResult ContainsInOrder(const std::vector<std::string>& lines,
                                                  const std::vector<std::string>& expected)
{
    std::size_t next = 0;
    for (const auto& line : lines)
        if (next < expected.size() && line == expected[next])
            ++next;
    if (next == expected.size())
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "missing line: " << expected[next]
                                                 << "\nlogged:";
    for (const auto& line : lines)
        failure << "\n  " << line;
    return failure;
}

}  // namespace e2e
