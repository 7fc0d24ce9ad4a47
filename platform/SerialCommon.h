// What every serial port shares, whatever system it runs on: the line error
// bits and the error each raises, the wait for bytes paced in character
// times, and the probe of the line at 300 baud.
#pragma once

#include <functional>

#include "platform/Platform.h"

// Line error bits, as ClearCommError reports them and the callers of
// WaitForError name them.
inline constexpr unsigned kLineRxOver = 0x0001;   // input buffer overflow
inline constexpr unsigned kLineOverrun = 0x0002;  // character lost in the receiver
inline constexpr unsigned kLineParity = 0x0004;
inline constexpr unsigned kLineFrame = 0x0008;
inline constexpr unsigned kLineBreak = 0x0010;
inline constexpr unsigned kLineTxFull = 0x0100;   // output buffer overflow

// Raises the CCommError for the line error bits `errors`: the first of break,
// framing, overrun, parity, input overflow, output overflow that is set, else
// code 9 for any other bit. Zero raises nothing.
void RaiseLineErrors(unsigned errors);

// Waits on the comm timer until `count` bytes wait in the receive queue, as
// `inQueue` reports them. The time-out becomes an allowance of character
// times (`byteTime` seconds each) without a new byte; each new byte starts
// the allowance again. Raises CCommError 2 when nothing came, 3 when some
// bytes came, CGenError 1 when the comm timer is refused. A count of 0
// returns at once.
void WaitForQueuedBytes(unsigned count, unsigned timeoutMs, double byteTime,
                        const std::function<unsigned()>& inQueue);

// Listens on the open `port` at 300 baud for a short low pulse, up to three
// bytes; puts the baud rate back on every path. A failure of the port is
// logged and raised as CGenError 3 "General Communication Error".
bool ProbeLineAt300(CSerial& port, unsigned timeoutMs);
