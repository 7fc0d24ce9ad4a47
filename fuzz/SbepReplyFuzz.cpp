// The SBEP transport and broker reading replies from a port that delivers
// arbitrary bytes: a status request, an update and the end of the job, each
// repeated as the transport does.
//
// Input: a run of chunks, each a length byte and that many bytes. Every
// request written makes the next chunk the port's pending input (what was
// left of the previous one is flushed, as the transport does); a read that
// asks for more than is pending fails as a time-out does.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>

#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Platform.h"
#include "sbep/SbepBroker.h"

namespace {

class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next chunk; empty once the input is used up.
    std::deque<std::uint8_t> NextChunk()
    {
        if (at_ >= size_) return {};
        const std::size_t announced = data_[at_++];
        const std::size_t length = std::min(announced, size_ - at_);
        std::deque<std::uint8_t> chunk(data_ + at_, data_ + at_ + length);
        at_ += length;
        return chunk;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class CFuzzSerial : public CSerial {
public:
    CFuzzInput* input = nullptr;

    void FlushInput() override { pending_.clear(); }
    double GetByteTime() override { return 10.0 / 9600; }
    void OpenPort(unsigned port) override { open_ = port; }
    void ClosePort() override { open_ = 0; }
    unsigned GetPortNumber() override { return open_; }
    void Read(unsigned char* buffer, unsigned count, unsigned) override
    {
        FUZZ_CHECK(open_ != 0);
        if (pending_.size() < count) {
            pending_.clear();
            throw CCommError(2, "CFuzzSerial::Read: No data received when timeout");
        }
        for (unsigned k = 0; k < count; ++k) {
            buffer[k] = pending_.front();
            pending_.pop_front();
        }
    }
    void Write(const unsigned char* data, unsigned count, unsigned) override
    {
        FUZZ_CHECK(open_ != 0 && count >= 3);
        FUZZ_CHECK(CSbepMessage::IsChecksumValid(data, count));
        pending_ = input->NextChunk();
    }
    bool WaitForError(unsigned, unsigned) override { return false; }
    bool ProbeLine(unsigned) override { return true; }
    void WaitForBytesUnless(unsigned, unsigned) override {}
    void SetConfig(unsigned, int, int, int) override {}
    int GetStopBits() override { return kStopBitsOne; }
    void SetStopBits(int) override {}
    int GetCharSize() override { return 8; }
    void SetCharSize(int) override {}
    int GetParity() override { return kParityNone; }
    void SetParity(int) override {}
    unsigned GetBaud() override { return 9600; }
    void SetBaud(unsigned) override {}

private:
    std::deque<std::uint8_t> pending_;
    unsigned open_ = 0;
};

class CNoWaitTimer : public CTimerCtrl {
public:
    void SetPeriod(double) override {}
    void Start() override {}
    void Delay(double) override {}
    double GetElapsed() override { return 0; }
    void WaitPeriods(unsigned) override {}
};

// Takes every line, so that the log's formatting of what was received runs.
class CDiscardLog : public CLog {
public:
    bool Clear() override { return true; }
    void WriteResourceLine(unsigned) override {}
    void WriteLine(const char* text) override { FUZZ_CHECK(text != nullptr); }
};

class CFuzzPlatform : public CLendingPlatform {
public:
    CFuzzPlatform() { Attach(serial, timers[0], timers[1], timers[2]); }
    CLog* MakeLog(int kind) override { return kind == kPrimaryLog ? new CDiscardLog : nullptr; }

    CFuzzSerial serial;
    CNoWaitTimer timers[3];
};

// Runs one broker operation; only the kit's own errors may leave it. True
// when it succeeded.
template <typename Operation>
bool Succeeds(Operation operation)
{
    try {
        operation();
        return true;
    } catch (const CError& error) {
        FUZZ_CHECK(error.GetText() != nullptr);
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzInput input(data, size);
    CFuzzPlatform platform;
    platform.serial.input = &input;
    CScopedPlatform scoped(&platform);
    theErrorLog.SetPrimaryOutput(1);
    ResetRecoveryFlags();
    {
        CSbepBroker broker;
        broker.comm.Open(1, 1);
        char number[32];
        std::memset(number, 'x', sizeof number);
        if (Succeeds([&] { broker.RadioStatusRequest(kSbepItemModelRead, number, sizeof number); }))
            FUZZ_CHECK(std::memchr(number, '\0', sizeof number) != nullptr);
        FUZZ_CHECK(broker.GetReplyInfo().totalLength <= kSbepReceiveMax);
        Succeeds([&] { broker.UpdateModelNumber("ABC"); });
        Succeeds([&] { broker.SendEndOfJobRequest(); });
        broker.comm.Close();
    }
    // The port was given back.
    FUZZ_CHECK(platform.GetSerial() != nullptr);
    platform.ReleaseSerial();
    theErrorLog.SetPrimaryOutput(0);
    return 0;
}
