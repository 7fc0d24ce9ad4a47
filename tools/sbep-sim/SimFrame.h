// SBEP frame helpers for the radio simulator. They are written apart from the
// kit's own frame code on purpose, so that the simulator checks the kit from
// outside and a shared mistake cannot hide itself.
//
// A frame is a header, an opcode, the data and a checksum byte:
//   short form     F(n) op data... cs        n = 1 + data bytes (1..14), n + 2 bytes
//   extended form  xF op LH LL data... cs    L = 1 + data bytes, L + 4 bytes
// The checksum is 0xFF minus the 8-bit sum of every byte before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sbepsim {

using Bytes = std::vector<std::uint8_t>;

// 0xFF minus the 8-bit sum of the first `count` bytes.
std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t count);

// A frame around `data`: the short form up to 13 data bytes, the extended
// form (header 0xFF, 16-bit big-endian length) above.
Bytes BuildFrame(std::uint8_t opcode, const Bytes& data = {});

// The length a frame announces in its first bytes; 0 while too few bytes are
// there to tell (the extended form needs four). A header whose low nibble is
// 0xF marks the extended form whatever its high nibble.
std::size_t FrameLength(const Bytes& prefix);

// True when the last byte of the complete `frame` is its checksum.
bool ChecksumOk(const Bytes& frame);

// The data bytes of a complete frame (empty for a frame too short to hold any).
Bytes FrameData(const Bytes& frame);

// "F2 23 00 EA"
std::string Hex(const Bytes& bytes);

}  // namespace sbepsim
