// Test doubles at the platform interface: a serial port that answers each
// request from a script, timers that do not wait, log outputs that keep their
// lines in memory, and message boxes answered from a script.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "platform/Platform.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// What the scripted radio does when a request is written.
struct Answer {
    enum Kind { Send, WriteFails, ReadGenError } kind = Send;
    Bytes bytes;  // for Send: the bytes that arrive after the request
};

inline Answer Reply(Bytes bytes) { return {Answer::Send, std::move(bytes)}; }
inline Answer Silence() { return {Answer::Send, {}}; }
inline Answer FailedWrite() { return {Answer::WriteFails, {}}; }
inline Answer GenErrorOnRead() { return {Answer::ReadGenError, {}}; }

class CScriptedSerial : public CSerial {
public:
    // One answer per written request, in order; silence once they run out.
    std::deque<Answer> answers;
    std::vector<Bytes> written;     // every request as written
    std::vector<unsigned> reads;    // byte counts asked of Read
    std::vector<unsigned> readTimeouts;
    unsigned configuredBaud = 0;
    int configuredParity = -1, configuredStopBits = -1, configuredCharSize = -1;
    unsigned openedPort = 0;
    bool failOpen = false;

    void FlushInput() override { input_.clear(); }
    double GetByteTime() override { return 10.0 / 9600; }
    void OpenPort(unsigned port) override
    {
        openedPort = port;
        if (failOpen)
            throw CCommError(1, "CScriptedSerial::Open: Unable to open com%u", port);
    }
    void ClosePort() override { openedPort = 0; }
    unsigned GetPortNumber() override { return openedPort; }
    void Read(unsigned char* buffer, unsigned count, unsigned timeoutMs) override
    {
        reads.push_back(count);
        readTimeouts.push_back(timeoutMs);
        if (pendingGenError_) {
            pendingGenError_ = false;
            throw CGenError(3, "Timeout specified is too big");
        }
        unsigned got = 0;
        for (; got < count && !input_.empty(); ++got) {
            buffer[got] = input_.front();
            input_.pop_front();
        }
        if (got < count)
            throw CCommError(2, "CScriptedSerial::Read: Timeout after receiving %u bytes", got);
    }
    void Write(const unsigned char* data, unsigned count, unsigned) override
    {
        written.emplace_back(data, data + count);
        Answer answer = answers.empty() ? Silence() : answers.front();
        if (!answers.empty())
            answers.pop_front();
        if (answer.kind == Answer::WriteFails)
            throw CCommError(11, "CScriptedSerial::Write: Echo byte %d does not match", 0);
        pendingGenError_ = answer.kind == Answer::ReadGenError;
        input_.insert(input_.end(), answer.bytes.begin(), answer.bytes.end());
    }
    bool WaitForError(unsigned, unsigned) override { return false; }
    bool ProbeLine(unsigned) override { return false; }
    void WaitForBytesUnless(unsigned, unsigned) override {}
    void SetConfig(unsigned baud, int parity, int stopBits, int charSize) override
    {
        configuredBaud = baud;
        configuredParity = parity;
        configuredStopBits = stopBits;
        configuredCharSize = charSize;
    }
    int GetStopBits() override { return configuredStopBits; }
    void SetStopBits(int) override {}
    int GetCharSize() override { return configuredCharSize; }
    void SetCharSize(int) override {}
    int GetParity() override { return configuredParity; }
    void SetParity(int) override {}
    unsigned GetBaud() override { return configuredBaud; }
    void SetBaud(unsigned) override {}

private:
    std::deque<std::uint8_t> input_;
    bool pendingGenError_ = false;
};

class CNoWaitTimer : public CTimerCtrl {
public:
    std::vector<double> delays;
    void SetPeriod(double) override {}
    void Start() override {}
    void Delay(double seconds) override { delays.push_back(seconds); }
    double GetElapsed() override { return 0; }
    void WaitPeriods(unsigned) override {}
};

class CMemoryLog : public CLog {
public:
    explicit CMemoryLog(std::vector<std::string>& lines) : lines_(lines) {}
    bool Clear() override { return true; }
    void WriteResourceLine(unsigned) override {}
    void WriteLine(const char* text) override
    {
        if (started_)
            lines_.emplace_back(text);
    }

private:
    std::vector<std::string>& lines_;
};

class CTestPlatform : public CLendingPlatform {
public:
    CTestPlatform() { Attach(serial, auxTimer, generalTimer, commTimer); }
    CLog* MakeLog(int kind) override
    {
        return kind == kPrimaryLog ? new CMemoryLog(logLines) : nullptr;
    }

    CScriptedSerial serial;
    CNoWaitTimer auxTimer, generalTimer, commTimer;
    std::vector<std::string> logLines;  // "Start Logging" included
};

// Answers boxes from a queue (OK or No once it is empty) and keeps them.
class CScriptedBoxes : public IMessageBoxes {
public:
    std::deque<MbAnswer> answers;
    std::vector<MessageBoxRequest> shown;
    MbAnswer Show(const MessageBoxRequest& box) override
    {
        shown.push_back(box);
        if (!answers.empty()) {
            const MbAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return box.buttons == MbButtons::YesNo ? MbAnswer::No : MbAnswer::Ok;
    }
};

// Installs a test platform with the primary log output on, scripted boxes,
// and a product line; everything is put back at the end of the scope.
class CTestEnvironment {
public:
    explicit CTestEnvironment(int productLine = 0)
        : savedLine_(theApp.productLine), scopedPlatform_(&platform), scopedBoxes_(&boxes)
    {
        theApp.productLine = productLine;
        theErrorLog.SetPrimaryOutput(1);
    }
    ~CTestEnvironment()
    {
        theErrorLog.SetPrimaryOutput(0);
        theApp.productLine = savedLine_;
    }

    // The logged lines without the opening one.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> out;
        for (const auto& line : platform.logLines)
            if (line != "Start Logging")
                out.push_back(line);
        return out;
    }

    CTestPlatform platform;
    CScriptedBoxes boxes;

private:
    int savedLine_;
    CScopedPlatform scopedPlatform_;
    CScopedMessageBoxes scopedBoxes_;
};

}  // namespace testing_support
