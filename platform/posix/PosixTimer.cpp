#include "platform/posix/PosixTimer.h"

#include <time.h>

#include <cerrno>

namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;
// The last stretch before a target is spun rather than slept: waking from a
// sleep takes up to some tens of microseconds, more on a busy machine.
constexpr std::int64_t kSpinNs = 200000;

std::int64_t ToNs(double seconds) { return static_cast<std::int64_t>(seconds * kNsPerSecond); }

timespec ToTimespec(std::int64_t ns)
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
    ts.tv_nsec = static_cast<long>(ns % kNsPerSecond);
    return ts;
}

}  // namespace

std::int64_t CPosixTimer::Now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * kNsPerSecond + ts.tv_nsec;
}

void CPosixTimer::WaitUntil(std::int64_t target)
{
    if (target - Now() > kSpinNs) {
        const timespec wake = ToTimespec(target - kSpinNs);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
        }
    }
    while (Now() < target) {
    }
}

void CPosixTimer::SetPeriod(double seconds) { periodNs_ = ToNs(seconds); }

void CPosixTimer::Start() { startNs_ = deadlineNs_ = Now(); }

void CPosixTimer::Delay(double seconds)
{
    if (seconds > 0)
        WaitUntil(Now() + ToNs(seconds));
}

double CPosixTimer::GetElapsed() { return static_cast<double>(Now() - startNs_) / kNsPerSecond; }

// Counted from the previous deadline, not from now: a caller that calls
// WaitPeriods(1) in a loop wakes on period boundaries however long its own
// work between the calls takes.
void CPosixTimer::WaitPeriods(unsigned n)
{
    const std::int64_t target = deadlineNs_ + periodNs_ * static_cast<std::int64_t>(n);
    WaitUntil(target);
    deadlineNs_ = target;
}
