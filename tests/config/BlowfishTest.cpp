#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Blowfish.h"
#include "tests/config/ConfigTestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes FromHex(const std::string& hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

Bytes FromText(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// The published vectors read each half big-endian; the kit reads them
// little-endian, so each 4-byte half is reversed on the way in and out.
Bytes SwapHalves(Bytes bytes)
{
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4)
        std::reverse(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + 4);
    return bytes;
}

CBlowfish Cipher(const Bytes& key)
{
    CBlowfish cipher;
    cipher.Initialize(key.data(), key.size());
    return cipher;
}

struct Vector {
    Bytes key;
    std::string plain;
    std::string cipher;
};

const Vector kPublishedVectors[] = {
    {FromHex("0000000000000000"), "0000000000000000", "4EF997456198DD78"},
    {FromHex("FFFFFFFFFFFFFFFF"), "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {FromHex("3000000000000000"), "1000000000000001", "7D856F9A613063F2"},
    {FromHex("1111111111111111"), "1111111111111111", "2466DD878B963C9D"},
    {FromHex("0123456789ABCDEF"), "1111111111111111", "61F9C3802281B096"},
    {FromHex("FEDCBA9876543210"), "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {FromHex("7CA110454A1A6E57"), "01A1D6D039776742", "59C68245EB05282B"},
    // A 26-byte key, taken cyclically by the key schedule.
    {FromText("abcdefghijklmnopqrstuvwxyz"), "424C4F5746495348", "324ED0FEF413A203"},
};

TEST(BlowfishTest, PublishedVectorsThroughLittleEndianHalves)
{
    for (const Vector& v : kPublishedVectors) {
        SCOPED_TRACE(v.plain + " -> " + v.cipher);
        const CBlowfish cipher = Cipher(v.key);

        Bytes data = SwapHalves(FromHex(v.plain));
        ASSERT_TRUE(cipher.Encipher(data.data(), data.size()));
        EXPECT_EQ(SwapHalves(data), FromHex(v.cipher));

        ASSERT_TRUE(cipher.Decipher(data.data(), data.size()));
        EXPECT_EQ(SwapHalves(data), FromHex(v.plain));
    }
}

TEST(BlowfishTest, BlocksAreEncipheredAloneAndHalvesReadLittleEndian)
{
    const CBlowfish cipher = Cipher(FromHex("0000000000000000"));
    // Two equal blocks give two equal cipher blocks (no chaining), and the
    // block-level call sees byte 0 as the least significant byte of the left word.
    Bytes data(16, 0);
    ASSERT_TRUE(cipher.Encipher(data.data(), data.size()));
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 8), Bytes(data.begin() + 8, data.end()));

    std::uint32_t left = 0, right = 0;
    cipher.EncipherBlock(left, right);
    EXPECT_EQ(left, 0x4EF99745u);
    EXPECT_EQ(right, 0x6198DD78u);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 8), SwapHalves(FromHex("4EF997456198DD78")));
}

TEST(BlowfishTest, LengthsThatAreNotWholeBlocksAreLeftAlone)
{
    const CBlowfish cipher = Cipher(FromText(KitKey()));
    for (std::size_t length : {1u, 7u, 9u, 12u, 15u}) {
        SCOPED_TRACE(length);
        Bytes data(length, 0x5A);
        const Bytes before = data;
        EXPECT_FALSE(cipher.Decipher(data.data(), data.size()));
        EXPECT_FALSE(cipher.Encipher(data.data(), data.size()));
        EXPECT_EQ(data, before);
    }
    EXPECT_TRUE(cipher.Decipher(nullptr, 0));
    EXPECT_TRUE(cipher.Encipher(nullptr, 0));
}

TEST(BlowfishTest, KitKeyRoundTrip)
{
    const CBlowfish cipher = Cipher(FromText(KitKey()));
    Bytes data;
    for (int i = 0; i < 256; ++i)
        data.push_back(static_cast<unsigned char>(i * 37 + 11));
    const Bytes plain = data;

    ASSERT_TRUE(cipher.Encipher(data.data(), data.size()));
    EXPECT_NE(data, plain);
    ASSERT_TRUE(cipher.Decipher(data.data(), data.size()));
    EXPECT_EQ(data, plain);
}

}  // namespace
