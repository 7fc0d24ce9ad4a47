#include "platform/win/WinTimer.h"

#include <windows.h>

namespace {

class CSystemClock : public CWinClock {
public:
    int QueryFrequency(std::int64_t& countsPerSecond) override
    {
        LARGE_INTEGER value{};
        const BOOL ok = QueryPerformanceFrequency(&value);
        countsPerSecond = value.QuadPart;
        return ok;
    }
    std::uint64_t QueryCounter() override
    {
        LARGE_INTEGER value{};
        QueryPerformanceCounter(&value);
        return static_cast<std::uint64_t>(value.QuadPart);
    }
    std::uint32_t TickCount() override { return GetTickCount(); }
};

// Busy-waits from `base` until the source reaches `target`. A target below
// the base lies beyond the wrap of the source: first wait for the source to
// wrap (fall below the base), then for the target. The source may still read
// the base itself when the spin begins, so the wrap is awaited while the
// reading is at or above the base.
template <class Unsigned, class ReadNow>
void Spin(Unsigned base, Unsigned target, ReadNow now)
{
    if (target < base) {
        while (now() >= base) {
        }
    }
    while (now() < target) {
    }
}

}  // namespace

CWinClock& CWinClock::System()
{
    static CSystemClock clock;
    return clock;
}

CWinTimer::CWinTimer(CWinClock& clock) : clock_(&clock)
{
    counterMode_ = clock_->QueryFrequency(frequency_) == 1 ? 1 : 0;
}

std::uint64_t CWinTimer::SecondsToCounts(double seconds) const
{
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<double>(frequency_) * seconds));
}

std::uint32_t CWinTimer::SecondsToTicks(double seconds)
{
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(seconds * 1000.0));
}

void CWinTimer::SetPeriod(double seconds)
{
    if (IsCounterMode())
        periodCounts_ = SecondsToCounts(seconds);
    else
        periodMs_ = SecondsToTicks(seconds);
}

void CWinTimer::Start()
{
    if (IsCounterMode()) {
        startCounts_ = NowCounts();
        deadlineCounts_ = startCounts_;
    } else {
        startMs_ = NowTicks();
        deadlineMs_ = startMs_;
    }
}

void CWinTimer::Delay(double seconds)
{
    if (IsCounterMode()) {
        const std::uint64_t base = NowCounts();
        Spin(base, base + SecondsToCounts(seconds), [this] { return NowCounts(); });
    } else {
        const std::uint32_t base = NowTicks();
        Spin(base, static_cast<std::uint32_t>(base + SecondsToTicks(seconds)), [this] { return NowTicks(); });
    }
}

double CWinTimer::GetElapsed()
{
    if (IsCounterMode())
        return static_cast<double>(NowCounts() - startCounts_) / static_cast<double>(frequency_);
    return static_cast<std::uint32_t>(NowTicks() - startMs_) * 0.001;
}

void CWinTimer::WaitPeriods(unsigned n)
{
    if (IsCounterMode()) {
        const std::uint64_t target = deadlineCounts_ + periodCounts_ * n;
        Spin(deadlineCounts_, target, [this] { return NowCounts(); });
        deadlineCounts_ = target;
    } else {
        const std::uint32_t target = deadlineMs_ + periodMs_ * n;
        Spin(deadlineMs_, target, [this] { return NowTicks(); });
        deadlineMs_ = target;
    }
}
