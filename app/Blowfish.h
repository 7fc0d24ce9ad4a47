// Blowfish as patcher.dat uses it: standard key schedule and rounds, ECB, with
// each 8-byte block read as two little-endian 32-bit halves.
#pragma once

#include <cstddef>
#include <cstdint>

class CBlowfish {
public:
    void Initialize(const unsigned char* key, std::size_t length);
    // In place. False (and nothing done) when length is not a multiple of 8.
    bool Decipher(unsigned char* data, std::size_t length) const;
    bool Encipher(unsigned char* data, std::size_t length) const;

    // One block, halves as words (left, right).
    void EncipherBlock(std::uint32_t& left, std::uint32_t& right) const;
    void DecipherBlock(std::uint32_t& left, std::uint32_t& right) const;

private:
    std::uint32_t F(std::uint32_t x) const;

    std::uint32_t p_[18];
    std::uint32_t s_[4][256];
};
