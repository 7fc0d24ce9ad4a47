#include "sbep/SbepMessage.h"

#include <cstring>

namespace {

constexpr std::uint8_t kExtendedMark = 0x0F;
constexpr std::uint16_t kShortOffset = 2;
constexpr std::uint16_t kExtendedOffset = 4;
constexpr std::uint16_t kShortDataMax = 13;

bool IsExtendedHeader(std::uint8_t header) { return (header & 0x0F) == kExtendedMark; }

// The shortest frame of each form: header, opcode, (length,) checksum.
std::size_t MinimumLength(std::uint8_t header)
{
    return IsExtendedHeader(header) ? kExtendedOffset + 1u : kShortOffset + 1u;
}

// The length of the frame at `bytes` as its header tells it: zero when the
// header is cut short, announces a frame without an opcode and checksum, or
// the frame does not fit in `available` bytes or in the 525-byte frame.
std::size_t FittingLength(const std::uint8_t* bytes, std::size_t available)
{
    const std::size_t length = CSbepMessage::FrameLength(bytes, available);
    if (length == 0 || length > available || length > kSbepFrameMax) return 0;
    if (length < MinimumLength(bytes[0])) return 0;
    return length;
}

}  // namespace

CSbepMessage::CSbepMessage() { std::memset(frame_, 0, sizeof frame_); }

void CSbepMessage::Build(std::uint8_t opcode, const std::uint8_t* data, std::uint16_t dataLength,
                         int form)
{
    opcode_ = opcode;
    dataLength_ = static_cast<std::uint8_t>(dataLength);
    if (form == kFormAuto) form = dataLength <= kShortDataMax ? kFormShort : kFormExtended;
    form_ = form;

    frame_[1] = opcode;
    if (form == kFormShort) {
        frame_[0] = static_cast<std::uint8_t>(0xF0 | (dataLength_ + 1));
        dataOffset_ = kShortOffset;
        totalLength_ = static_cast<std::uint16_t>(dataLength_ + 3);
    } else {
        frame_[0] = 0xFF;
        frame_[2] = 0x00;
        frame_[3] = static_cast<std::uint8_t>(dataLength_ + 1);
        dataOffset_ = kExtendedOffset;
        totalLength_ = static_cast<std::uint16_t>(dataLength_ + 5);
    }
    if (dataLength_ != 0) std::memcpy(frame_ + dataOffset_, data, dataLength_);
    checksum_ = ComputeChecksum(frame_, totalLength_);
    frame_[totalLength_ - 1] = checksum_;
}

void CSbepMessage::BuildEmpty(std::uint8_t opcode) { Build(opcode, nullptr, 0, kFormShort); }

std::uint8_t CSbepMessage::ComputeChecksum(const std::uint8_t* bytes, std::uint16_t totalLength)
{
    std::uint8_t sum = 0;
    for (std::uint16_t i = 0; i + 1 < totalLength; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    return static_cast<std::uint8_t>(0xFF - sum);
}

std::size_t CSbepMessage::FrameLength(const std::uint8_t* bytes, std::size_t available)
{
    if (available < 1) return 0;
    if (!IsExtendedHeader(bytes[0])) return (bytes[0] & 0x0F) + 2u;
    if (available < kExtendedOffset) return 0;
    return bytes[2] * 256u + bytes[3] + 4u;
}

bool CSbepMessage::IsChecksumValid(const std::uint8_t* bytes, std::size_t available)
{
    const std::size_t length = FittingLength(bytes, available);
    if (length == 0) return false;
    const auto total = static_cast<std::uint16_t>(length);
    return bytes[length - 1] == ComputeChecksum(bytes, total);
}

bool CSbepMessage::Parse(const std::uint8_t* bytes, std::size_t available)
{
    const std::size_t length = FittingLength(bytes, available);
    if (length == 0) return false;

    std::memcpy(frame_, bytes, length);
    totalLength_ = static_cast<std::uint16_t>(length);
    opcode_ = frame_[1];
    checksum_ = frame_[length - 1];
    if (IsExtendedHeader(frame_[0])) {
        form_ = kFormExtended;
        dataOffset_ = kExtendedOffset;
        dataLength_ = static_cast<std::uint8_t>(frame_[3] - 1);
    } else {
        form_ = kFormShort;
        dataOffset_ = kShortOffset;
        dataLength_ = static_cast<std::uint8_t>((frame_[0] & 0x0F) - 1);
    }
    return true;
}

void CSbepMessage::GetInfo(SbepMessageInfo& info) const
{
    info.opcode = opcode_;
    info.totalLength = totalLength_;
    info.dataLength = dataLength_;
    info.dataOffset = dataOffset_;
    info.checksum = checksum_;
}

void CSbepMessage::CopyFrom(const CSbepMessage& other)
{
    SbepMessageInfo info;
    other.GetInfo(info);
    opcode_ = info.opcode;
    totalLength_ = info.totalLength;
    dataLength_ = static_cast<std::uint8_t>(info.dataLength);
    dataOffset_ = info.dataOffset;
    checksum_ = info.checksum;
    form_ = dataLength_ <= kShortDataMax ? kFormShort : kFormExtended;
    std::memcpy(frame_, other.frame_, totalLength_);
}
