#include "SimLine.h"

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace sbepsim {

namespace {
constexpr std::int64_t kNsPerSecond = 1'000'000'000;
constexpr std::int64_t kBitsPerCharacter = 10;  // start, 8 data, stop

std::int64_t ToNs(const timespec& t) { return t.tv_sec * kNsPerSecond + t.tv_nsec; }

timespec FromNs(std::int64_t ns) {
  return timespec{static_cast<time_t>(ns / kNsPerSecond), static_cast<long>(ns % kNsPerSecond)};
}

timespec Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t;
}
}  // namespace

bool SimLine::Stopping() const {
  pollfd p{wakeFd, POLLIN, 0};
  return poll(&p, 1, 0) > 0;
}

bool SimLine::WaitUntil(const timespec& deadline) const {
  constexpr std::int64_t kNsPerMs = 1'000'000;
  for (;;) {
    const std::int64_t left = ToNs(deadline) - ToNs(Now());
    if (left <= 0) return !Stopping();
    if (left > 2 * kNsPerMs) {
      // Long waits sleep on the wake-up descriptor so that Stop cuts them short.
      pollfd p{wakeFd, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left / kNsPerMs) - 1) > 0) return false;
      continue;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
  }
}

void SimLine::WaitUntilRead(int slaveFd, unsigned limitMs) const {
  constexpr unsigned kStepMs = 5;
  // Bytes written to the master reach the slave's queue a moment later, so
  // the queue must be found empty twice in a row.
  unsigned emptyChecks = 0;
  for (unsigned waited = 0; waited < limitMs && emptyChecks < 2; waited += kStepMs) {
    int unread = 0;
    if (ioctl(slaveFd, FIONREAD, &unread) != 0) return;
    emptyChecks = unread == 0 ? emptyChecks + 1 : 0;
    if (!WaitUntil(FromNs(ToNs(Now()) + kStepMs * std::int64_t{1'000'000}))) return;
  }
}

timespec SimLine::NextCharacterDeadline() {
  const std::int64_t now = ToNs(Now());
  const auto deadlineOf = [this](std::uint64_t chars) {
    return ToNs(base) + static_cast<std::int64_t>(chars) * kBitsPerCharacter * kNsPerSecond / baud;
  };
  // A line that fell idle starts counting character times afresh; while busy,
  // every deadline is counted from the same base so that rounding never adds up.
  if (charsSinceBase == 0 || deadlineOf(charsSinceBase) < now) {
    base = FromNs(now);
    charsSinceBase = 0;
  }
  return FromNs(deadlineOf(++charsSinceBase));
}

bool SimLine::Send(const Bytes& bytes, unsigned gapMs) { return Flush() && SendNow(bytes, gapMs); }

void SimLine::Queue(const Bytes& bytes) { queued.insert(queued.end(), bytes.begin(), bytes.end()); }

bool SimLine::Flush() {
  if (queued.empty()) return true;
  const Bytes bytes = std::move(queued);
  queued.clear();
  return SendNow(bytes, 0);
}

bool SimLine::SendNow(const Bytes& bytes, unsigned gapMs) {
  if (baud == 0 && gapMs == 0) return WriteAll(bytes.data(), bytes.size());
  for (std::uint8_t b : bytes) {
    if (gapMs != 0 && !WaitUntil(FromNs(ToNs(Now()) + gapMs * std::int64_t{1'000'000}))) return false;
    if (baud != 0 && !WaitUntil(NextCharacterDeadline())) return false;
    if (!WriteAll(&b, 1)) return false;
  }
  return true;
}

bool SimLine::WriteAll(const std::uint8_t* data, std::size_t count) const {
  while (count > 0) {
    const ssize_t n = write(fd, data, count);
    if (n > 0) {
      data += n;
      count -= static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    // The kit is not reading and the terminal's buffer is full: wait for room.
    pollfd p[2] = {{fd, POLLOUT, 0}, {wakeFd, POLLIN, 0}};
    if (poll(p, 2, -1) < 0 && errno != EINTR) return false;
    if (p[1].revents != 0) return false;
  }
  return true;
}

}  // namespace sbepsim
