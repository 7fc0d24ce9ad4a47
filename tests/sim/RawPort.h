// The kit's side of the simulator's line, opened as a raw terminal with plain
// POSIX calls.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class RawPort {
 public:
  explicit RawPort(const std::string& path) : fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
    termios t{};
    if (fd >= 0 && tcgetattr(fd, &t) == 0) {
      cfmakeraw(&t);
      tcsetattr(fd, TCSANOW, &t);
    }
  }
  ~RawPort() {
    if (fd >= 0) close(fd);
  }
  RawPort(const RawPort&) = delete;
  RawPort& operator=(const RawPort&) = delete;

  bool IsOpen() const { return fd >= 0; }
  int Fd() const { return fd; }

  bool Send(const Bytes& bytes) const {
    return write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // Reads until `count` bytes came or `timeoutMs` passed without a new byte.
  // The default is patient: a busy machine may hold the simulator back, and
  // the wait ends as soon as the bytes are there.
  Bytes Read(std::size_t count, int timeoutMs = 10000) const {
    Bytes got;
    while (got.size() < count) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLIN)) break;
      std::uint8_t buffer[256];
      const ssize_t n = read(fd, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  // Everything that arrives until the line has been quiet for `quietMs`.
  Bytes Drain(int quietMs = 150) const { return Read(SIZE_MAX, quietMs); }

  // The `count` bytes expected, then whatever follows them at once: a surplus
  // shows up, while a late answer is still waited for.
  Bytes ReadExpected(std::size_t count) const {
    Bytes got = Read(count);
    const Bytes more = Drain(50);
    got.insert(got.end(), more.begin(), more.end());
    return got;
  }

 private:
  int fd;
};

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
