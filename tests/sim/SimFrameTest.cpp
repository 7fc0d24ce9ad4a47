#include "SimFrame.h"

#include <gtest/gtest.h>

using namespace sbepsim;

namespace {

struct FrameCase {
  const char* name;
  std::uint8_t opcode;
  Bytes data;
  Bytes frame;
};

class Frames : public testing::TestWithParam<FrameCase> {};

TEST_P(Frames, BuildMeasureAndCheck) {
  const FrameCase& c = GetParam();
  const Bytes frame = BuildFrame(c.opcode, c.data);
  ASSERT_EQ(frame, c.frame);
  EXPECT_EQ(FrameLength(frame), frame.size());
  EXPECT_TRUE(ChecksumOk(frame));
  EXPECT_EQ(FrameData(frame), c.data);
}

Bytes Counting(std::uint8_t count) {
  Bytes bytes;
  for (std::uint8_t i = 0; i < count; ++i) bytes.push_back(i);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Sbep, Frames,
    testing::Values(
        FrameCase{"NoData", 0x10, {}, {0xF1, 0x10, 0xFE}},
        FrameCase{"OneByte", 0x23, {0x00}, {0xF2, 0x23, 0x00, 0xEA}},
        FrameCase{"Update", 0x18, {0x02, 0x41, 0x42, 0x43, 0x31, 0x32, 0x33},
                  {0xF8, 0x18, 0x02, 0x41, 0x42, 0x43, 0x31, 0x32, 0x33, 0x91}},
        FrameCase{"LongestShort", 0x55, Counting(13),
                  {0xFE, 0x55, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,
                   0x0C, 0x5E}},
        FrameCase{"ShortestExtended", 0x55, Counting(14),
                  {0xFF, 0x55, 0x00, 0x0F, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                   0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x41}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameLength, FromTheFirstBytes) {
  EXPECT_EQ(FrameLength({}), 0u);
  EXPECT_EQ(FrameLength({0xF2}), 4u);
  EXPECT_EQ(FrameLength({0x32}), 4u);  // the high nibble is not examined
  EXPECT_EQ(FrameLength({0xFF, 0x8B, 0x01}), 0u);  // the extended length is not there yet
  EXPECT_EQ(FrameLength({0x3F, 0x8B, 0x01, 0x02}), 0x0102u + 4);
}

TEST(Checksum, WrongLastByteFails) {
  EXPECT_TRUE(ChecksumOk({0xF1, 0x10, 0xFE}));
  EXPECT_FALSE(ChecksumOk({0xF1, 0x10, 0xFF}));
  EXPECT_FALSE(ChecksumOk({}));
  EXPECT_EQ(Checksum(nullptr, 0), 0xFF);
}

TEST(Hex, SpacedUpperCase) {
  EXPECT_EQ(Hex({0xF2, 0x0A, 0x00}), "F2 0A 00");
  EXPECT_EQ(Hex({}), "");
}

}  // namespace
