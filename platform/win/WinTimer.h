// The Windows timer: the performance counter when the system has one (counter
// mode), otherwise the millisecond tick count (tick mode). All waiting is busy
// waiting.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

// The time sources a timer reads. The system's are the default; tests put in
// clocks of their own to reach the wrap of the tick count without waiting.
class CWinClock {
public:
    virtual ~CWinClock() = default;
    // The performance counter's counts per second; the result is the system
    // call's (1 when there is a usable counter).
    virtual int QueryFrequency(std::int64_t& countsPerSecond) = 0;
    virtual std::uint64_t QueryCounter() = 0;
    // Milliseconds since the system started, wrapping at 2^32.
    virtual std::uint32_t TickCount() = 0;

    static CWinClock& System();
};

class CWinTimer : public CTimerCtrl {
public:
    explicit CWinTimer(CWinClock& clock = CWinClock::System());

    void SetPeriod(double seconds) override;
    void Start() override;
    void Delay(double seconds) override;
    double GetElapsed() override;
    void WaitPeriods(unsigned n) override;

    bool IsCounterMode() const { return counterMode_ == 1; }

private:
    std::uint64_t NowCounts() { return clock_->QueryCounter(); }
    std::uint32_t NowTicks() { return clock_->TickCount(); }
    std::uint64_t SecondsToCounts(double seconds) const;
    static std::uint32_t SecondsToTicks(double seconds);

    // Tick mode.
    std::uint32_t periodMs_ = 0;
    std::uint32_t deadlineMs_ = 0;
    std::uint32_t startMs_ = 0;
    // Counter mode.
    unsigned char counterMode_ = 0;
    std::int64_t frequency_ = 0;
    std::uint64_t deadlineCounts_ = 0;
    std::uint64_t startCounts_ = 0;
    std::uint64_t periodCounts_ = 0;

    CWinClock* clock_;
};
