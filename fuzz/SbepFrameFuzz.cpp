// SBEP frames over arbitrary bytes: the length a header announces, the
// checksum test and the parse of a received frame, and the frame built
// around arbitrary data read back again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>

#include "fuzz/FuzzCheck.h"
#include "sbep/SbepMessage.h"

namespace {

constexpr std::size_t kRequestDataMax = 254;

std::uint8_t ByteSum(const std::uint8_t* bytes, std::size_t length)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes, bytes + length, 0u));
}

bool SameInfo(const SbepMessageInfo& a, const SbepMessageInfo& b)
{
    return a.opcode == b.opcode && a.totalLength == b.totalLength && a.dataLength == b.dataLength &&
           a.dataOffset == b.dataOffset && a.checksum == b.checksum;
}

// The received bytes as the transport hands them over.
void CheckReceived(const std::uint8_t* data, std::size_t size)
{
    const bool valid = CSbepMessage::IsChecksumValid(data, size);
    CSbepMessage message;
    const bool parsed = message.Parse(data, size);
    FUZZ_CHECK(parsed || !valid);
    if (!parsed) return;

    SbepMessageInfo info;
    message.GetInfo(info);
    FUZZ_CHECK(info.totalLength == CSbepMessage::FrameLength(data, size));
    FUZZ_CHECK(info.totalLength <= size && info.totalLength <= kSbepFrameMax);
    FUZZ_CHECK(info.dataOffset < info.totalLength);
    FUZZ_CHECK(std::equal(data, data + info.totalLength, message.GetFrame()));
    FUZZ_CHECK(info.opcode == data[1] && info.checksum == data[info.totalLength - 1]);
    FUZZ_CHECK(valid == (ByteSum(data, info.totalLength) == 0xFF));

    CSbepMessage copy;
    copy.CopyFrom(message);
    SbepMessageInfo copied;
    copy.GetInfo(copied);
    FUZZ_CHECK(SameInfo(info, copied));
    FUZZ_CHECK(std::equal(data, data + info.totalLength, copy.GetFrame()));
}

// A request framed around the bytes after the first, which is the opcode.
void CheckBuilt(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return;
    const auto length = static_cast<std::uint16_t>(std::min(size - 1, kRequestDataMax));
    CSbepMessage request;
    request.Build(data[0], data + 1, length);
    SbepMessageInfo built;
    request.GetInfo(built);
    FUZZ_CHECK(built.dataLength == length);
    FUZZ_CHECK(std::equal(data + 1, data + 1 + length, request.GetFrame() + built.dataOffset));
    FUZZ_CHECK(CSbepMessage::IsChecksumValid(request.GetFrame(), built.totalLength));

    CSbepMessage reply;
    FUZZ_CHECK(reply.Parse(request.GetFrame(), built.totalLength));
    SbepMessageInfo parsed;
    reply.GetInfo(parsed);
    FUZZ_CHECK(SameInfo(built, parsed));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckReceived(data, size);
    CheckBuilt(data, size);
    return 0;
}
