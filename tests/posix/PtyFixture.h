// Test support: a pseudo-terminal whose far end the test plays, and a
// platform whose error-log output the test can read.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ProcessObjects.h"
#include "platform/posix/PosixPlatform.h"

#include <functional>

#include "errors/Error.h"

using Bytes = std::vector<unsigned char>;

// What an action raised: the kind ("none", "CGenError", "CCommError"),
// the code and the text.
struct Raised {
    std::string kind = "none";
    int code = 0;
    std::string text;
};

inline Raised Capture(const std::function<void()>& action)
{
    Raised raised;
    try {
        action();
    } catch (const CGenError& error) {
        raised = {"CGenError", error.GetCode(), error.GetText()};
    } catch (const CCommError& error) {
        raised = {"CCommError", error.GetCode(), error.GetText()};
    }
    return raised;
}

// A pseudo-terminal. The kit opens the device at DevicePath(); the test
// reads and writes the other end.
class CPty {
public:
    CPty();
    ~CPty();
    CPty(const CPty&) = delete;
    CPty& operator=(const CPty&) = delete;

    const std::string& DevicePath() const { return devicePath_; }
    int Far() const { return far_; }
    // Sends bytes from the far end and waits until they can be read at the
    // device.
    void Send(const Bytes& bytes);
    // Everything the device sent: the `expected` number of bytes is waited
    // for patiently, and whatever follows them at once is taken too.
    Bytes Drain(std::size_t expected);
    // Closes the far end: the device hangs up.
    void Hangup();

private:
    int far_ = -1;
    int queueWatch_ = -1;  // a descriptor of the device itself
    std::string devicePath_;
};

// Lines that reach the primary log output, Start Logging included.
class CRecordingLog : public CLog {
public:
    explicit CRecordingLog(std::shared_ptr<std::vector<std::string>> lines) : lines_(std::move(lines)) {}
    bool Clear() override
    {
        lines_->clear();
        return true;
    }
    void WriteResourceLine(unsigned) override {}
    void WriteLine(const char* text) override
    {
        if (IsStarted())
            lines_->push_back(text);
    }

private:
    std::shared_ptr<std::vector<std::string>> lines_;
};

// The real platform with a recording log in place of the log file.
class CRecordingPlatform : public CPosixPlatform {
public:
    CLog* MakeLog(int kind) override { return kind == kPrimaryLog ? new CRecordingLog(lines) : nullptr; }
    std::shared_ptr<std::vector<std::string>> lines = std::make_shared<std::vector<std::string>>();
};

// Installs a recording platform as thePlatform with the log switched on,
// and binds kPort to a fresh pseudo-terminal.
class PlatformTest : public ::testing::Test {
protected:
    static constexpr unsigned kPort = 3;

    PlatformTest();
    ~PlatformTest() override;

    // True when some logged line contains `part`.
    bool Logged(const std::string& part) const;
    // The serial port of the platform, opened on the pseudo-terminal at
    // 9600 8N1 with the given echo mode.
    CSerial& OpenSerial(unsigned char echo = 0);

    CRecordingPlatform platform;
    CScopedPlatform scoped{&platform};
    CPty pty;
    CSerial* serial = nullptr;
};
