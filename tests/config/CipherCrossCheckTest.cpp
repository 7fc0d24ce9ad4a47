// Checks the kit's cipher against a second, independent implementation.
#include <openssl/blowfish.h>

#include <string>

#include <gtest/gtest.h>

#include "app/Blowfish.h"
#include "app/FileManager.h"
#include "tests/config/ConfigTestSupport.h"

namespace {

using namespace std::string_literals;

// The other implementation reads each half big-endian: reverse every 4-byte
// half around it to get the kit's little-endian reading.
std::string Reference(std::string data, const std::string& key, int direction)
{
    BF_KEY schedule;
    BF_set_key(&schedule, static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(key.data()));
    for (std::size_t at = 0; at + 8 <= data.size(); at += 8) {
        unsigned char block[8];
        for (int i = 0; i < 8; ++i)
            block[i] = static_cast<unsigned char>(data[at + (i / 4) * 4 + 3 - i % 4]);
        BF_ecb_encrypt(block, block, &schedule, direction);
        for (int i = 0; i < 8; ++i)
            data[at + (i / 4) * 4 + 3 - i % 4] = static_cast<char>(block[i]);
    }
    return data;
}

std::string Ours(std::string data, const std::string& key, bool encipher)
{
    CBlowfish cipher;
    cipher.Initialize(reinterpret_cast<const unsigned char*>(key.data()), key.size());
    auto* bytes = reinterpret_cast<unsigned char*>(data.data());
    EXPECT_TRUE(encipher ? cipher.Encipher(bytes, data.size()) : cipher.Decipher(bytes, data.size()));
    return data;
}

std::string SampleText(std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
        text.push_back(static_cast<char>(i * 131 + 7));
    return text;
}

TEST(CipherCrossCheckTest, KeysOfManyLengths)
{
    const std::string data = SampleText(64);
    // Short keys are repeated by the key schedule; beyond 72 bytes the rest is unused.
    for (std::size_t length : {1u, 5u, 8u, 16u, 56u, 71u, 72u, 73u, 93u}) {
        SCOPED_TRACE(length);
        const std::string key = SampleText(length + 3).substr(3);
        const std::string enciphered = Ours(data, key, true);
        EXPECT_EQ(enciphered, Reference(data, key, BF_ENCRYPT));
        EXPECT_EQ(Ours(enciphered, key, false), data);
    }
}

class CipherFileCrossCheckTest : public ::testing::Test {
protected:
    CScopedTempDir dir;
    const std::string plain = Padded("PRODUCT_LINE\r\nVEGA_A,\0\xFF\r\nRADIO_GROUP_REGION\r\n\r\ntest\r\n"s, '\0');
};

TEST_F(CipherFileCrossCheckTest, ReferenceFileReadsBackByteForByte)
{
    WriteFile("patcher.dat", Reference(plain, KitKey(), BF_ENCRYPT));

    FileManager config;
    ASSERT_TRUE(config.OpenConfig());
    ASSERT_TRUE(config.LoadConfig());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(config.Text()), config.Size()), plain);
    EXPECT_EQ(config.GetProductLine(), "VEGA_A");

    const ToolRun run = RunTool("decipher patcher.dat");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, plain);
}

TEST_F(CipherFileCrossCheckTest, ToolFileReadsBackByteForByteWithTheReference)
{
    WriteFile("plain.txt", plain);
    const ToolRun run = RunTool("encipher plain.txt patcher.dat");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Reference(ReadFile("patcher.dat"), KitKey(), BF_DECRYPT), plain);
}

}  // namespace
