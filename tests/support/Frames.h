// Building SBEP frames by hand for test scripts.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Appends the checksum that makes all bytes add up to 0xFF.
inline std::vector<std::uint8_t> Framed(std::vector<std::uint8_t> bytes)
{
    std::uint8_t sum = 0;
    for (auto b : bytes)
        sum = std::uint8_t(sum + b);
    bytes.push_back(std::uint8_t(0xFF - sum));
    return bytes;
}

// A short-form frame of an opcode and its data.
inline std::vector<std::uint8_t> ShortFrame(std::uint8_t opcode, std::vector<std::uint8_t> data)
{
    std::vector<std::uint8_t> bytes{std::uint8_t(0xF0 | (data.size() + 1)), opcode};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return Framed(bytes);
}

// The Radio Status reply carrying `text` for `item`.
inline std::vector<std::uint8_t> StatusReply(std::uint8_t item, const std::string& text)
{
    std::vector<std::uint8_t> data{item};
    data.insert(data.end(), text.begin(), text.end());
    if (data.size() <= 13)
        return ShortFrame(0x8B, data);
    std::vector<std::uint8_t> bytes{0xFF, 0x8B, 0x00, std::uint8_t(data.size() + 1)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return Framed(bytes);
}

// Prefixes the acknowledgement byte.
inline std::vector<std::uint8_t> Acked(const std::vector<std::uint8_t>& frame)
{
    std::vector<std::uint8_t> bytes(frame.size() + 1, 0x00);
    std::copy(frame.begin(), frame.end(), bytes.begin() + 1);
    return bytes;
}

// The bytes as upper-case hex digit pairs, as the error log dumps them.
inline std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (auto b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

}  // namespace testing_support
