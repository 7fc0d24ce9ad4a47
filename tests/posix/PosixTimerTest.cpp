// The monotonic timer: immediate returns, drift-free pacing and a caller
// that falls behind. Bounds on time are generous; precision lives in bench/.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/posix/PosixTimer.h"

namespace {

TEST(PosixTimerTest, ZeroWaitsReturnAtOnceAndLeaveTheDeadline)
{
    CPosixTimer timer;
    timer.SetPeriod(0.01);
    timer.Start();
    timer.Delay(0);
    timer.WaitPeriods(0);
    EXPECT_LT(timer.GetElapsed(), 0.005);
    // The deadline is still the start: two periods end 20 ms after it.
    timer.WaitPeriods(2);
    EXPECT_GE(timer.GetElapsed(), 0.02);
}

TEST(PosixTimerTest, DelayWaitsFromTheCallAndLeavesStartAlone)
{
    CPosixTimer timer;
    timer.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    timer.Delay(0.01);
    EXPECT_GE(timer.GetElapsed(), 0.015);
    EXPECT_LT(timer.GetElapsed(), 0.5);
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
    EXPECT_LT(timer.GetElapsed(), 0.2);
}

TEST(PosixTimerTest, ACallerThatFellBehindReturnsAtOnceAndTheDeadlineMovesNPeriods)
{
    CPosixTimer timer;
    timer.SetPeriod(0.01);
    timer.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    timer.WaitPeriods(2);  // the deadline, 20 ms, has long passed
    EXPECT_LT(timer.GetElapsed(), 0.3);
    // The deadline is now 20 ms; 20 periods more end at 220 ms, not 200 ms
    // after the late call.
    timer.WaitPeriods(20);
    EXPECT_GE(timer.GetElapsed(), 0.22);
    EXPECT_LT(timer.GetElapsed(), 0.38);
}

TEST(PosixTimerTest, ElapsedBeforeAnyStartCountsFromTheClockOrigin)
{
    CPosixTimer timer;
    EXPECT_NEAR(timer.GetElapsed(), CPosixTimer::Now() / 1e9, 0.1);
}

}  // namespace
