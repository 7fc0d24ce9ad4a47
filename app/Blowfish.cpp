#include "app/Blowfish.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/BlowfishTables.h"

namespace {

constexpr int kRounds = 16;
constexpr std::size_t kBlockSize = 8;

std::uint32_t LoadLittleEndian(const unsigned char* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
           std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
}

void StoreLittleEndian(std::uint32_t word, unsigned char* bytes)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(word >> (8 * i));
}

// Applies `block` to each 8-byte block of `data`, halves read little-endian.
template <typename BlockFn>
bool ForEachBlock(unsigned char* data, std::size_t length, BlockFn block)
{
    if (length % kBlockSize != 0)
        return false;
    for (std::size_t at = 0; at < length; at += kBlockSize) {
        std::uint32_t left = LoadLittleEndian(data + at);
        std::uint32_t right = LoadLittleEndian(data + at + 4);
        block(left, right);
        StoreLittleEndian(left, data + at);
        StoreLittleEndian(right, data + at + 4);
    }
    return true;
}

}  // namespace

void CBlowfish::Initialize(const unsigned char* key, std::size_t length)
{
    std::copy(std::begin(kBlowfishInitP), std::end(kBlowfishInitP), p_);
    for (int box = 0; box < 4; ++box)
        std::copy(std::begin(kBlowfishInitS[box]), std::end(kBlowfishInitS[box]), s_[box]);

    // Key bytes are taken cyclically, the first of each four most significant.
    std::size_t next = 0;
    for (std::uint32_t& word : p_) {
        std::uint32_t keyWord = 0;
        for (int i = 0; i < 4 && length > 0; ++i) {
            keyWord = keyWord << 8 | key[next];
            next = (next + 1) % length;
        }
        word ^= keyWord;
    }

    std::uint32_t left = 0;
    std::uint32_t right = 0;
    auto fill = [&](std::uint32_t* words, std::size_t count) {
        for (std::size_t i = 0; i < count; i += 2) {
            EncipherBlock(left, right);
            words[i] = left;
            words[i + 1] = right;
        }
    };
    fill(p_, 18);
    for (auto& box : s_)
        fill(box, 256);
}

std::uint32_t CBlowfish::F(std::uint32_t x) const
{
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
}

void CBlowfish::EncipherBlock(std::uint32_t& left, std::uint32_t& right) const
{
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int round = 0; round < kRounds; ++round) {
        l ^= p_[round];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= p_[kRounds];
    l ^= p_[kRounds + 1];
    left = l;
    right = r;
}

void CBlowfish::DecipherBlock(std::uint32_t& left, std::uint32_t& right) const
{
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int round = kRounds + 1; round > 1; --round) {
        l ^= p_[round];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= p_[1];
    l ^= p_[0];
    left = l;
    right = r;
}

bool CBlowfish::Decipher(unsigned char* data, std::size_t length) const
{
    return ForEachBlock(data, length, [this](std::uint32_t& l, std::uint32_t& r) { DecipherBlock(l, r); });
}

bool CBlowfish::Encipher(unsigned char* data, std::size_t length) const
{
    return ForEachBlock(data, length, [this](std::uint32_t& l, std::uint32_t& r) { EncipherBlock(l, r); });
}
