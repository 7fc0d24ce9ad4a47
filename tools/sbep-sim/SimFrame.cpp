#include "SimFrame.h"

#include <cstdio>

namespace sbepsim {

namespace {
constexpr std::size_t kShortDataMax = 13;

bool IsExtended(std::uint8_t header) { return (header & 0x0F) == 0x0F; }
}  // namespace

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t count) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
  return static_cast<std::uint8_t>(0xFF - sum);
}

Bytes BuildFrame(std::uint8_t opcode, const Bytes& data) {
  Bytes frame;
  const std::size_t counted = data.size() + 1;  // the opcode and the data
  if (data.size() <= kShortDataMax) {
    frame = {static_cast<std::uint8_t>(0xF0 | counted), opcode};
  } else {
    frame = {0xFF, opcode, static_cast<std::uint8_t>(counted >> 8),
             static_cast<std::uint8_t>(counted & 0xFF)};
  }
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(Checksum(frame.data(), frame.size()));
  return frame;
}

std::size_t FrameLength(const Bytes& prefix) {
  if (prefix.empty()) return 0;
  if (!IsExtended(prefix[0])) return (prefix[0] & 0x0F) + 2u;
  if (prefix.size() < 4) return 0;
  return prefix[2] * 256u + prefix[3] + 4u;
}

bool ChecksumOk(const Bytes& frame) {
  return !frame.empty() && frame.back() == Checksum(frame.data(), frame.size() - 1);
}

Bytes FrameData(const Bytes& frame) {
  if (frame.empty()) return {};
  const std::size_t offset = IsExtended(frame[0]) ? 4 : 2;
  if (frame.size() <= offset + 1) return {};
  return Bytes(frame.begin() + static_cast<std::ptrdiff_t>(offset), frame.end() - 1);
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  char cell[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(cell, sizeof cell, "%02X", b);
    if (!text.empty()) text += ' ';
    text += cell;
  }
  return text;
}

}  // namespace sbepsim
