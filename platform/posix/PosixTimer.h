// The timer on the monotonic clock of this system, counting in nanoseconds.
//
// Waits are precise to a few microseconds without keeping a core busy for
// their whole length: the timer sleeps until shortly before the target and
// spins on the clock for the rest.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

class CPosixTimer : public CTimerCtrl {
public:
    void SetPeriod(double seconds) override;
    void Start() override;
    void Delay(double seconds) override;
    double GetElapsed() override;
    void WaitPeriods(unsigned n) override;

    // Nanoseconds on the monotonic clock.
    static std::int64_t Now();
    // Returns at `target` (monotonic nanoseconds), at once if it has passed.
    static void WaitUntil(std::int64_t target);

private:
    std::int64_t periodNs_ = 0;
    std::int64_t deadlineNs_ = 0;
    std::int64_t startNs_ = 0;
};
