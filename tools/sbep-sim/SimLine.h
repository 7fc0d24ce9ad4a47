// The simulator's sending side of the line: writes to the pseudo-terminal
// master, optionally one byte per character time, and gives up as soon as
// the wake-up descriptor becomes readable (the simulator is stopping).
//
// Bytes can be queued and sent later in one write (Flush), so that the echo
// and the radio's immediate answer reach the kit together: a busy machine
// then cannot hold the answer back after the kit has seen the echo.
#pragma once

#include <cstdint>
#include <ctime>

#include "SimFrame.h"

namespace sbepsim {

class SimLine {
 public:
  SimLine(int fd, int wakeFd, unsigned paceBaud) : fd(fd), wakeFd(wakeFd), baud(paceBaud) {}

  // Sends what is queued, then the bytes; with gapMs, each of them waits that
  // long first. False when stopping or when the write fails.
  bool Send(const Bytes& bytes, unsigned gapMs = 0);
  // Adds bytes to the queue; nothing is written yet.
  void Queue(const Bytes& bytes);
  // Sends what is queued. False when stopping or when the write fails.
  bool Flush();
  // Waits until nothing sent is left unread at the slave descriptor
  // `slaveFd` (of the same terminal), for at most `limitMs`.
  void WaitUntilRead(int slaveFd, unsigned limitMs) const;
  // Sleeps until the absolute monotonic `deadline`; false when stopping.
  bool WaitUntil(const timespec& deadline) const;

 private:
  bool SendNow(const Bytes& bytes, unsigned gapMs);
  bool WriteAll(const std::uint8_t* data, std::size_t count) const;
  bool Stopping() const;
  timespec NextCharacterDeadline();

  int fd;
  int wakeFd;
  unsigned baud;
  timespec base{};            // when the line last went from idle to busy
  std::uint64_t charsSinceBase = 0;
  Bytes queued;
};

}  // namespace sbepsim
