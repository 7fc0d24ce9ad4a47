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

// A frame of an opcode and its data, in the short form up to 13 data bytes
// and in the extended form above.
inline std::vector<std::uint8_t> Frame(std::uint8_t opcode, const std::vector<std::uint8_t>& data)
{
    if (data.size() <= 13)
        return ShortFrame(opcode, data);
    std::vector<std::uint8_t> bytes{0xFF, opcode, std::uint8_t((data.size() + 1) >> 8),
                                    std::uint8_t((data.size() + 1) & 0xFF)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return Framed(bytes);
}

inline std::vector<std::uint8_t> WithText(std::uint8_t item, const std::string& text)
{
    std::vector<std::uint8_t> data{item};
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

// The Radio Status reply carrying `text` for `item`.
inline std::vector<std::uint8_t> StatusReply(std::uint8_t item, const std::string& text)
{
    return Frame(0x8B, WithText(item, text));
}

// The Update Serial No. Request writing `text` as the model number (item 2).
inline std::vector<std::uint8_t> UpdateRequest(const std::string& text)
{
    return Frame(0x18, WithText(0x02, text));
}

inline const std::vector<std::uint8_t> kStatusRequest{0xF2, 0x23, 0x00, 0xEA};
inline const std::vector<std::uint8_t> kEndOfJobRequest{0xF1, 0x10, 0xFE};

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

// `n` copies of `item`.
template <class T> std::vector<T> Times(int n, const T& item)
{
    return std::vector<T>(std::size_t(n), item);
}

template <class T> std::vector<T> Concat(std::vector<std::vector<T>> parts)
{
    std::vector<T> all;
    for (auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace testing_support
