// One SBEP frame and the facts about it.
//
// Short form (0..13 data bytes):  Fn  op  data...  ck      n = 1 + data bytes
// Extended form:                  FF  op  Lhi Llo  data... ck   L = 1 + data bytes
// The checksum makes all bytes of a frame add up to 0xFF modulo 256.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kSbepFrameMax = 525;

struct SbepMessageInfo {
    std::uint8_t opcode = 0;
    std::uint16_t totalLength = 0;
    std::uint16_t dataLength = 0;
    std::uint16_t dataOffset = 0;
    std::uint8_t checksum = 0;
};

class CSbepMessage {
public:
    enum : int { kFormAuto = 0, kFormShort = 1, kFormExtended = 2 };

    CSbepMessage();
    virtual ~CSbepMessage() = default;

    // Frames a request. dataLength 0..254; a forced short form needs <= 13.
    void Build(std::uint8_t opcode, const std::uint8_t* data, std::uint16_t dataLength,
               int form = kFormAuto);
    void BuildEmpty(std::uint8_t opcode);

    // 0xFF minus the 8-bit sum of the first totalLength - 1 bytes.
    static std::uint8_t ComputeChecksum(const std::uint8_t* bytes, std::uint16_t totalLength);

    // The length a frame announces in its header (at least 1 byte needed;
    // 4 for the extended form). Zero when `available` is too short to tell.
    static std::size_t FrameLength(const std::uint8_t* bytes, std::size_t available);

    // True when the frame at `bytes` fits in `available` bytes and in the
    // 525-byte frame, and its last byte is its checksum. A frame that does not
    // fit is refused (false) without being read past `available`, and so is a
    // header that announces a frame too short to hold an opcode and a
    // checksum (short-form length nibble 0, extended length 0).
    static bool IsChecksumValid(const std::uint8_t* bytes, std::size_t available);

    // Takes over the frame at `bytes`. Refuses (false, message unchanged) a
    // frame that does not fit in `available` bytes or in the 525-byte frame,
    // or that is too short to hold an opcode and a checksum. The checksum is
    // not tested here.
    bool Parse(const std::uint8_t* bytes, std::size_t available);

    const std::uint8_t* GetFrame() const { return frame_; }
    void GetInfo(SbepMessageInfo& info) const;
    void CopyFrom(const CSbepMessage& other);
    int GetForm() const { return form_; }

private:
    std::uint16_t dataOffset_ = 0;
    std::uint16_t totalLength_ = 0;
    std::uint8_t dataLength_ = 0;
    std::uint8_t checksum_ = 0;
    std::uint8_t opcode_ = 0;
    std::uint8_t frame_[kSbepFrameMax];
    int form_ = 0;
};
