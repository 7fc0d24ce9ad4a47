// The monotonic timer: immediate returns, drift-free pacing and a caller
// that falls behind. Bounds on time are generous: a busy machine may hold a
// waiting thread back for a long while, so upper bounds only tell waits of
// whole periods apart, with periods long enough for that. Precision lives in
// bench/.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/posix/PosixTimer.h"

namespace {

TEST(PosixTimerTest, ZeroWaitsReturnAtOnceAndLeaveTheDeadline)
{
    CPosixTimer timer;
    timer.SetPeriod(1.0);
    timer.Start();
    timer.Delay(0);
    timer.WaitPeriods(0);
    EXPECT_LT(timer.GetElapsed(), 0.8);  // not a whole period
    // The deadline is still the start: one period ends a second after it.
    timer.WaitPeriods(1);
    EXPECT_GE(timer.GetElapsed(), 1.0);
}

TEST(PosixTimerTest, DelayWaitsFromTheCallAndLeavesStartAlone)
{
    CPosixTimer timer;
    timer.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    timer.Delay(0.01);
    EXPECT_GE(timer.GetElapsed(), 0.015);
    EXPECT_LT(timer.GetElapsed(), 5.0);
}

TEST(PosixTimerTest, PacingCountsFromTheDeadlineNotFromTheCall)
{
    CPosixTimer timer;
    timer.SetPeriod(0.002);
    timer.Start();
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));  // the caller's own work
        timer.WaitPeriods(1);
    }
    EXPECT_GE(timer.GetElapsed(), 0.02);
    EXPECT_LT(timer.GetElapsed(), 5.0);
}

TEST(PosixTimerTest, ACallerThatFellBehindReturnsAtOnceAndTheDeadlineMovesNPeriods)
{
    CPosixTimer timer;
    timer.SetPeriod(0.5);
    timer.Start();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    timer.WaitPeriods(2);  // the deadline, 1 s, has long passed
    EXPECT_LT(timer.GetElapsed(), 2.9);  // waiting two periods from the call ends at 3 s
    // The deadline is now 1 s; 4 periods more end at 3 s, not 2 s after the
    // late call (4 s).
    timer.WaitPeriods(4);
    EXPECT_GE(timer.GetElapsed(), 3.0);
    EXPECT_LT(timer.GetElapsed(), 3.9);
}

TEST(PosixTimerTest, ElapsedBeforeAnyStartCountsFromTheClockOrigin)
{
    CPosixTimer timer;
    const double before = CPosixTimer::Now() / 1e9;
    const double elapsed = timer.GetElapsed();
    const double after = CPosixTimer::Now() / 1e9;
    EXPECT_GE(elapsed, before - 1e-6);
    EXPECT_LE(elapsed, after + 1e-6);
}

}  // namespace
