#include "sbep/SbepMessage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FrameOf(const CSbepMessage& message)
{
    SbepMessageInfo info;
    message.GetInfo(info);
    return Bytes(message.GetFrame(), message.GetFrame() + info.totalLength);
}

Bytes Sequence(std::size_t count, std::uint8_t first = 0x30)
{
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// The bytes of a frame with the checksum appended.
Bytes WithChecksum(Bytes bytes)
{
    bytes.push_back(0);
    bytes.back() = CSbepMessage::ComputeChecksum(bytes.data(), static_cast<std::uint16_t>(bytes.size()));
    return bytes;
}

void ExpectInfo(const CSbepMessage& message, std::uint8_t opcode, std::uint16_t total,
                std::uint16_t dataLength, std::uint16_t dataOffset, int form)
{
    SbepMessageInfo info;
    message.GetInfo(info);
    EXPECT_EQ(info.opcode, opcode);
    EXPECT_EQ(info.totalLength, total);
    EXPECT_EQ(info.dataLength, dataLength);
    EXPECT_EQ(info.dataOffset, dataOffset);
    EXPECT_EQ(info.checksum, message.GetFrame()[total - 1]);
    EXPECT_EQ(message.GetForm(), form);
}

TEST(SbepMessage, NewMessageIsZero)
{
    const CSbepMessage message;
    SbepMessageInfo info;
    message.GetInfo(info);
    EXPECT_EQ(info.opcode, 0);
    EXPECT_EQ(info.dataLength, 0);
    EXPECT_EQ(info.checksum, 0);
    for (std::size_t i = 0; i < kSbepFrameMax; ++i) ASSERT_EQ(message.GetFrame()[i], 0) << i;
}

struct BuildCase {
    const char* name;
    std::uint8_t opcode;
    Bytes data;
    std::uint16_t count;  // the length passed to Build
    int form;
    Bytes head;           // expected first bytes of the frame
    std::uint16_t total;
    std::uint16_t dataLength;
    int builtForm;
};

TEST(SbepMessageBuild, FramesRequests)
{
    const Bytes ascii = {0x02, 0x41, 0x42, 0x43, 0x31, 0x32, 0x33};
    Bytes seventeen = Sequence(17, 0x40);
    seventeen[0] = 0x02;
    const BuildCase cases[] = {
        {"one zero byte", 0x23, {0x00}, 1, CSbepMessage::kFormAuto, {0xF2, 0x23, 0x00, 0xEA}, 4, 1,
         1},
        {"seven bytes", 0x18, ascii, 7, CSbepMessage::kFormAuto,
         {0xF8, 0x18, 0x02, 0x41, 0x42, 0x43, 0x31, 0x32, 0x33, 0x91}, 10, 7, 1},
        {"13 bytes stay short", 0x18, Sequence(13), 13, CSbepMessage::kFormAuto, {0xFE, 0x18}, 16,
         13, 1},
        {"14 bytes go extended", 0x18, Sequence(14), 14, CSbepMessage::kFormAuto,
         {0xFF, 0x18, 0x00, 0x0F}, 19, 14, 2},
        {"17 bytes", 0x18, seventeen, 17, CSbepMessage::kFormAuto, {0xFF, 0x18, 0x00, 0x12}, 22, 17,
         2},
        {"254 bytes", 0x18, Sequence(254, 0), 254, CSbepMessage::kFormAuto,
         {0xFF, 0x18, 0x00, 0xFF}, 259, 254, 2},
        {"forced extended", 0x23, {0x00}, 1, CSbepMessage::kFormExtended,
         {0xFF, 0x23, 0x00, 0x02, 0x00}, 6, 1, 2},
        {"forced short", 0x10, {}, 0, CSbepMessage::kFormShort, {0xF1, 0x10, 0xFE}, 3, 0, 1},
        // The form is chosen on the whole count, the lengths on its low byte.
        {"count 256", 0x18, Sequence(1), 256, CSbepMessage::kFormAuto, {0xFF, 0x18, 0x00, 0x01}, 5,
         0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSbepMessage message;
        message.Build(c.opcode, c.data.data(), c.count, c.form);
        const Bytes frame = FrameOf(message);
        ASSERT_EQ(frame.size(), c.total);
        EXPECT_EQ(Bytes(frame.begin(), frame.begin() + c.head.size()), c.head);
        const std::uint16_t offset = c.builtForm == 1 ? 2 : 4;
        EXPECT_EQ(Bytes(frame.begin() + offset, frame.end() - 1),
                  Bytes(c.data.begin(), c.data.begin() + c.dataLength));
        ExpectInfo(message, c.opcode, c.total, c.dataLength, offset, c.builtForm);
        const unsigned sum = std::accumulate(frame.begin(), frame.end(), 0u);
        EXPECT_EQ(sum % 256, 0xFFu);
    }
}

TEST(SbepMessageBuild, EmptyRequestAfterALongerOne)
{
    CSbepMessage message;
    message.Build(0x18, Sequence(20).data(), 20);
    message.BuildEmpty(0x10);
    EXPECT_EQ(FrameOf(message), (Bytes{0xF1, 0x10, 0xFE}));
    ExpectInfo(message, 0x10, 3, 0, 2, 1);
}

TEST(SbepMessageChecksum, ComplementsTheByteSum)
{
    const Bytes bytes = {0xF1, 0x10, 0x80, 0x90, 0x00};
    EXPECT_EQ(CSbepMessage::ComputeChecksum(bytes.data(), 0), 0xFF);
    EXPECT_EQ(CSbepMessage::ComputeChecksum(bytes.data(), 1), 0xFF);
    EXPECT_EQ(CSbepMessage::ComputeChecksum(bytes.data(), 3), 0xFE);
    // 0xF1 + 0x10 + 0x80 + 0x90 wraps to 0x11.
    EXPECT_EQ(CSbepMessage::ComputeChecksum(bytes.data(), 5), 0xEE);
}

TEST(SbepMessageChecksum, ComparesTheLastByte)
{
    const struct {
        const char* name;
        Bytes bytes;
        bool valid;
    } cases[] = {
        {"good short", {0xF1, 0x10, 0xFE}, true},
        {"bad short", {0xF1, 0x10, 0xFF}, false},
        {"good extended", WithChecksum({0xFF, 0x23, 0x00, 0x02, 0x00}), true},
        {"trailing bytes ignored", {0xF1, 0x10, 0xFE, 0x55}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CSbepMessage::IsChecksumValid(c.bytes.data(), c.bytes.size()), c.valid);
    }
}

TEST(SbepMessageParse, ReadsBothFormsFromTheHeader)
{
    Bytes big = {0xFF, 0x87, 0x01, 0x05};  // L = 0x105: 260 data bytes
    const Bytes bigData = Sequence(260, 0);
    big.insert(big.end(), bigData.begin(), bigData.end());
    big = WithChecksum(big);
    Bytes largest = {0xFF, 0x87, 0x02, 0x09};  // 525 bytes in all
    largest.resize(524, 0x11);
    largest = WithChecksum(largest);
    const struct {
        const char* name;
        Bytes bytes;
        std::uint8_t opcode;
        std::uint16_t total;
        std::uint16_t dataLength;
        std::uint16_t offset;
        int form;
    } cases[] = {
        {"short", {0xF1, 0x10, 0xFE}, 0x10, 3, 0, 2, 1},
        {"short with data", WithChecksum({0xF3, 0x87, 0x00, 0x01}), 0x87, 5, 2, 2, 1},
        {"high nibble ignored, short", WithChecksum({0x13, 0x87, 0x00, 0x01}), 0x87, 5, 2, 2, 1},
        {"0x3F is extended", WithChecksum({0x3F, 0x87, 0x00, 0x02, 0x41}), 0x87, 6, 1, 4, 2},
        {"extended", WithChecksum({0xFF, 0x87, 0x00, 0x03, 0x41, 0x42}), 0x87, 7, 2, 4, 2},
        // The data length keeps the low byte of L - 1 only.
        {"high length byte", big, 0x87, 265, 4, 4, 2},
        {"largest frame", largest, 0x87, 525, 0x08, 4, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSbepMessage message;
        ASSERT_TRUE(message.Parse(c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(FrameOf(message), c.bytes);
        ExpectInfo(message, c.opcode, c.total, c.dataLength, c.offset, c.form);
    }
}

// Each case is exactly the bytes available, on the heap, so that a read past
// them is a fault. None of them is taken, whatever its checksum.
TEST(SbepMessageParse, RefusesFramesThatDoNotFit)
{
    Bytes oneTooLong = {0xFF, 0x87, 0x02, 0x0A};  // announces 526 bytes
    oneTooLong.resize(525, 0x00);
    Bytes huge = {0xFF, 0x87, 0xFF, 0xFF};  // announces 65539 bytes
    huge.resize(600, 0x22);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"short cut off", {0xF1, 0x10}},
        {"short data cut off", {0xF4, 0x87, 0x00}},
        {"extended header cut off", {0xFF, 0x87, 0x00}},
        {"extended body cut off", {0xFF, 0x87, 0x00, 0x05, 0x01, 0x02}},
        {"one byte longer than a frame", WithChecksum(oneTooLong)},
        {"far longer than a frame", huge},
        {"no opcode", {0xF0, 0x0F}},
        {"extended length zero", {0xFF, 0x18, 0x00, 0x00}},
    };
    CSbepMessage message;
    message.Build(0x18, Sequence(3).data(), 3);
    const Bytes before = FrameOf(message);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(CSbepMessage::IsChecksumValid(c.bytes.data(), c.bytes.size()));
        EXPECT_FALSE(message.Parse(c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(FrameOf(message), before);
        ExpectInfo(message, 0x18, 6, 3, 2, 1);
    }
}

TEST(SbepMessageParse, DoesNotTestTheChecksum)
{
    const Bytes bad = {0xF1, 0x10, 0xFF};
    CSbepMessage message;
    ASSERT_TRUE(message.Parse(bad.data(), bad.size()));
    EXPECT_EQ(FrameOf(message), bad);
}

TEST(SbepMessageCopy, CopyHasTheSameFactsAndBytes)
{
    CSbepMessage extended;
    extended.Build(0x18, Sequence(17).data(), 17);
    CSbepMessage parsed;
    const Bytes reply = WithChecksum({0xF3, 0x87, 0x00, 0x01});
    ASSERT_TRUE(parsed.Parse(reply.data(), reply.size()));

    for (const CSbepMessage* source : {&extended, &parsed}) {
        CSbepMessage copy;
        copy.BuildEmpty(0x55);
        copy.CopyFrom(*source);
        SbepMessageInfo want, got;
        source->GetInfo(want);
        copy.GetInfo(got);
        EXPECT_EQ(got.opcode, want.opcode);
        EXPECT_EQ(got.totalLength, want.totalLength);
        EXPECT_EQ(got.dataLength, want.dataLength);
        EXPECT_EQ(got.dataOffset, want.dataOffset);
        EXPECT_EQ(got.checksum, want.checksum);
        EXPECT_EQ(FrameOf(copy), FrameOf(*source));
        EXPECT_EQ(copy.GetForm(), source->GetForm());
    }
}

}  // namespace
