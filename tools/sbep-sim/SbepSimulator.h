// A simulated radio behind a radio interface box (RIB), on a pseudo-terminal.
//
// Start() makes a pseudo-terminal and prints nothing; DevicePath() names its
// slave side (/dev/pts/N), which the kit opens like a serial port. A
// background thread plays the RIB and the radio on the master side:
//
//  * RIB echo (SimOptions::echo): every byte the kit sends comes straight back,
//    before anything the radio sends. The echo and whatever the radio answers
//    at once leave in one write, so a kit that has the echo has the answer.
//    Counters count an answer before it leaves.
//  * The radio collects the bytes into SBEP frames. After each complete
//    request it sends one acknowledgement byte (SimOptions::ack, 0x50 by
//    default; 0x60 is the negative acknowledgement) and then the reply, if the
//    opcode has one:
//      0x23 Radio Status Request [item]      -> 0x8B [item] model-number text
//      0x18 Update Serial No. Request [2] text -> stores text, 0x87 [0 = good]
//           (any item but 2, or no item: 0x87 [1], nothing stored)
//      0x10 end-of-job request                -> acknowledgement only
//      any other opcode                       -> 0x86 [opcode] (Unsupported Opcode)
//    A request whose checksum is wrong gets 0x60 and nothing more.
//    A partial frame followed by a second of silence is dropped.
//  * Pacing (SimOptions::paceBaud): a pseudo-terminal delivers at once; with a
//    baud rate given, every byte sent is held back to the character time of a
//    10-bit character at that rate, on absolute deadlines that do not drift.
//  * Faults (Arm): armed per opcode and per attempt, where the attempt is the
//    nth request with that opcode seen since Start, counting from 1.
//
// Every complete frame received is recorded in order (Frames). All public
// operations are thread-safe. Stop (also run by the destructor) ends the
// thread and closes every descriptor; nothing in it waits on the kit.
//
// The simulator holds a slave descriptor of its own until Stop or a HangUp
// fault, so that the master never sees a hang-up while the kit has the device
// closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sbepsim {

// The longest model number a reply frame can carry.
inline constexpr std::size_t kMaxModelLength = 0xFFFF - 2;

struct SimOptions {
  bool echo = true;           // the RIB echoes every byte
  std::string model = "1ABC"; // the sales model number, cut to kMaxModelLength
  std::uint8_t ack = 0x50;    // the acknowledgement byte
  unsigned paceBaud = 0;      // 0: no pacing; else pace at this rate, 8N1
  // Called from the background thread with one line per event
  // ("<- F2 23 00 EA", "-> 50", "fault silence on 23 attempt 1", ...).
  std::function<void(const std::string&)> log;
};

// What an armed fault does to the exchange it hits. `param` of Arm as noted.
enum class SimFault {
  Silence,         // no acknowledgement, no reply (the echo still comes)
  Nak,             // 0x60 instead of the acknowledgement, no reply
  BadChecksum,     // the reply's checksum byte is wrong
  CutAfterHeader,  // only the reply's header byte is sent
  Unsupported,     // the reply is 0x86 Unsupported Opcode
  WrongItem,       // 0x8B reply echoes item + 1 (Radio Status only)
  UpdateRefused,   // 0x87 reply with status param (1 when 0), nothing stored
  EchoMismatch,    // the echo of the request byte at index param is inverted
  HangUp,          // the master is closed after param bytes of the answer:
                   // 0 before the acknowledgement, 1 after it, 2 after the
                   // reply's header byte, ... Closing discards what the kit
                   // has not read, so it first waits (at most 2 s) until the
                   // kit has read everything sent.
  Trickle,         // every reply byte waits param ms (300 when 0)
};

// "silence", "nak", "bad-checksum", "cut", "unsupported", "wrong-item",
// "refuse", "echo-mismatch", "hangup", "trickle"
const char* FaultName(SimFault fault);
std::optional<SimFault> ParseFaultKind(std::string_view name);

struct SimCounters {
  unsigned framesReceived = 0;  // complete frames from the kit
  unsigned badChecksums = 0;    // of those, frames whose checksum was wrong
  unsigned acks = 0;            // acknowledgement bytes sent
  unsigned naks = 0;            // negative acknowledgements (0x60) sent
  unsigned replies = 0;         // reply frames sent, damaged ones included
  unsigned faults = 0;          // armed faults that took effect
  unsigned endOfJobs = 0;       // end-of-job requests acknowledged
  unsigned droppedBytes = 0;    // bytes of partial frames dropped
};

class SbepSimulator {
 public:
  explicit SbepSimulator(SimOptions options = {});
  ~SbepSimulator();
  SbepSimulator(const SbepSimulator&) = delete;
  SbepSimulator& operator=(const SbepSimulator&) = delete;

  // Makes the pseudo-terminal and starts the thread. False, with Error() set,
  // when the system refuses; also when already started.
  bool Start();
  const std::string& Error() const;
  const std::string& DevicePath() const;

  // Arms `fault` for the given attempt (1-based) of requests with `opcode`, or
  // for every attempt when `attempt` is 0. An armed attempt beats "every".
  // A later Arm for the same opcode and attempt replaces the earlier one.
  void Arm(std::uint8_t opcode, unsigned attempt, SimFault fault, unsigned param = 0);
  void Disarm();  // removes every armed fault

  std::vector<std::vector<std::uint8_t>> Frames() const;
  // Waits until at least `count` frames were received; false on time-out or
  // when the thread has ended.
  bool WaitForFrames(std::size_t count, unsigned timeoutMs) const;
  std::string Model() const;
  SimCounters Counters() const;
  // True from Start until Stop or a hang-up.
  bool Running() const;

  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};

}  // namespace sbepsim
