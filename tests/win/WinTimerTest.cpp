#include <cstdint>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "platform/win/WinTimer.h"

namespace {

// A clock with one time line, read as counts (frequency 1000, so a count is a
// millisecond as in tick mode) or as a 32-bit tick count. The time advances
// by one unit every `readsPerUnit` readings; 0 stops it.
class CFakeClock : public CWinClock {
public:
    int frequencyResult = 1;
    std::uint64_t now = 0;
    unsigned readsPerUnit = 1;
    std::uint64_t lastReading = 0;
    unsigned readings = 0;

    int QueryFrequency(std::int64_t& countsPerSecond) override
    {
        countsPerSecond = 1000;
        return frequencyResult;
    }
    std::uint64_t QueryCounter() override { return Read(); }
    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(Read()); }

private:
    std::uint64_t Read()
    {
        lastReading = now;
        ++readings;
        if (readsPerUnit != 0 && readings % readsPerUnit == 0)
            ++now;
        return lastReading;
    }
};

TEST(WinTimerMode, CounterModeOnlyWhenTheFrequencyCallReturnsOne)
{
    const struct {
        int result;
        bool counterMode;
    } cases[] = {{1, true}, {0, false}, {2, false}};
    for (const auto& c : cases) {
        CFakeClock clock;
        clock.frequencyResult = c.result;
        CWinTimer timer(clock);
        EXPECT_EQ(timer.IsCounterMode(), c.counterMode) << "result " << c.result;
    }
}

struct ModeCase {
    bool counterMode;
    unsigned readsPerUnit;
};

std::string Name(const ModeCase& c)
{
    return std::string(c.counterMode ? "Counter" : "Tick") + std::to_string(c.readsPerUnit) +
           "ReadsPerUnit";
}

void PrintTo(const ModeCase& c, std::ostream* os) { *os << Name(c); }

class WinTimerModes : public ::testing::TestWithParam<ModeCase> {
protected:
    WinTimerModes()
    {
        clock.frequencyResult = GetParam().counterMode ? 1 : 0;
        clock.readsPerUnit = GetParam().readsPerUnit;
    }
    // The top of the source's range: 2^64 counts or 2^32 ticks.
    std::uint64_t Top() const
    {
        return GetParam().counterMode ? 0 : std::uint64_t{1} << 32;
    }
    std::uint32_t LastReading() const { return static_cast<std::uint32_t>(clock.lastReading); }

    CFakeClock clock;
};

TEST_P(WinTimerModes, DelayWhoseTargetLiesBeyondTheWrapWaitsForTheWrapThenTheTarget)
{
    CWinTimer timer(clock);
    clock.now = Top() - 16;
    timer.Delay(0.032);
    EXPECT_EQ(LastReading(), 16u);
}

TEST_P(WinTimerModes, ElapsedAcrossTheWrapIsTheTrueInterval)
{
    CWinTimer timer(clock);
    clock.readsPerUnit = 0;
    clock.now = Top() - 5;
    timer.Start();
    clock.now = Top() + 7;
    EXPECT_DOUBLE_EQ(timer.GetElapsed(), 0.012);
}

TEST_P(WinTimerModes, ZeroWaitsReturnAtOnceAndKeepTheDeadline)
{
    CWinTimer timer(clock);
    clock.now = 1000;
    timer.SetPeriod(0.010);
    timer.Start();
    timer.Delay(0);
    timer.WaitPeriods(0);
    EXPECT_LT(clock.readings, 10u);
    timer.WaitPeriods(1);
    EXPECT_EQ(LastReading(), 1010u);
}

TEST_P(WinTimerModes, PeriodsCountFromTheDeadlineNotFromTheCall)
{
    CWinTimer timer(clock);
    clock.now = 5000;
    timer.SetPeriod(0.010);
    timer.Start();
    for (unsigned k = 1; k <= 3; ++k) {
        clock.now += 7;  // the caller's own work, shorter than a period
        timer.WaitPeriods(1);
        EXPECT_EQ(LastReading(), 5000u + 10 * k);
    }
}

TEST_P(WinTimerModes, CallerThatFellBehindIsNotWaitedForButTheDeadlineAdvancesByN)
{
    CWinTimer timer(clock);
    clock.now = 5000;
    timer.SetPeriod(0.010);
    timer.Start();
    clock.now += 35;  // three and a half periods of work
    const unsigned before = clock.readings;
    timer.WaitPeriods(1);  // deadline 5010 has passed
    EXPECT_LE(clock.readings - before, 2u);
    timer.WaitPeriods(3);  // deadline 5010 + 30
    EXPECT_EQ(LastReading(), 5040u);
}

TEST_P(WinTimerModes, DelayLeavesStartAndDeadlineAlone)
{
    CWinTimer timer(clock);
    clock.now = 100;
    timer.SetPeriod(0.050);
    timer.Start();
    timer.Delay(0.020);
    clock.readsPerUnit = 0;
    EXPECT_NEAR(timer.GetElapsed(), 0.020, 0.003);
    clock.readsPerUnit = 1;
    timer.WaitPeriods(1);
    EXPECT_EQ(LastReading(), 150u);
}

TEST_P(WinTimerModes, ElapsedWithoutStartCountsFromTheOriginOfTheSource)
{
    CWinTimer timer(clock);
    clock.readsPerUnit = 0;
    clock.now = 4250;
    EXPECT_DOUBLE_EQ(timer.GetElapsed(), 4.25);
}

// Several readings per unit: the spin must not take a reading equal to its
// base for a wrap that has already happened.
INSTANTIATE_TEST_SUITE_P(Sources, WinTimerModes,
                         ::testing::Values(ModeCase{true, 1}, ModeCase{true, 3}, ModeCase{false, 1},
                                           ModeCase{false, 3}),
                         [](const auto& info) { return Name(info.param); });

TEST(WinTimerSystem, CounterAndTickModesMeasureTheSameInterval)
{
    // A clock that reports no performance counter, so the timer ticks.
    class CTickOnly : public CWinClock {
    public:
        int QueryFrequency(std::int64_t& countsPerSecond) override
        {
            countsPerSecond = 0;
            return 0;
        }
        std::uint64_t QueryCounter() override { return CWinClock::System().QueryCounter(); }
        std::uint32_t TickCount() override { return CWinClock::System().TickCount(); }
    } tickOnly;
    CWinTimer counter;
    CWinTimer ticks(tickOnly);
    ASSERT_TRUE(counter.IsCounterMode());
    ASSERT_FALSE(ticks.IsCounterMode());
    counter.Start();
    ticks.Start();
    counter.Delay(0.1);
    const double byCounter = counter.GetElapsed();
    const double byTicks = ticks.GetElapsed();
    EXPECT_GE(byCounter, 0.1);
    EXPECT_NEAR(byTicks, byCounter, 0.05);
}

}  // namespace
