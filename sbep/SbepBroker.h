// The SBEP broker: the radio operations of the Program job as SBEP exchanges.
// It builds each request, hands it to its transport and turns the result code
// and the reply into the operation's result or a CSbepError. A CGenError from
// the transport passes through unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sbep/SbepComm.h"
#include "sbep/SbepMessage.h"

// Opcodes of requests and replies.
enum : std::uint8_t {
    kSbepEndOfJobRequest = 0x10,
    kSbepUpdateSerialRequest = 0x18,
    kSbepRadioStatusRequest = 0x23,
    kSbepUnsupportedOpcodeReply = 0x86,
    kSbepUpdateSerialReply = 0x87,
    kSbepRadioStatusReply = 0x8B,
};

// Items of the radio's information: the sales model number is read as item 0
// and written as item 2.
enum : std::uint8_t { kSbepItemModelRead = 0, kSbepItemModelWrite = 2 };

// Longest text an Update Serial No. Request carries after its item byte.
inline constexpr std::size_t kSbepSerialInfoMax = 51;

// Set when the user answers the recovery prompt with OK, respectively CANCEL.
// Once set they stay set while the program runs.
extern bool recoverRequested;
extern bool recoveryCancelled;
// Clears both flags (tests, and a tool that runs several jobs as if each were
// a fresh program).
void ResetRecoveryFlags();

class CSbepBroker {
public:
    // Sets the transport to 4 attempts, 100 ms for the acknowledgement, 750 ms
    // for the reply's first byte, 250 ms per further byte and a 10 ms pause.
    CSbepBroker();
    // Closes the port if the form left it open.
    virtual ~CSbepBroker();
    CSbepBroker(const CSbepBroker&) = delete;
    CSbepBroker& operator=(const CSbepBroker&) = delete;

    // Reads `item` into `text` (capacity bytes, at least 1), ended by a NUL and
    // cut to capacity - 1 characters. Raises CSbepError.
    void RadioStatusRequest(std::uint8_t item, char* text, std::size_t capacity);
    // Writes `length` bytes (at most 51) as `item`. Returns when the radio
    // reports success; raises CSbepError otherwise, and CGenError, with
    // nothing sent, for a text longer than 51 bytes.
    void UpdateSerialInfo(std::uint8_t item, const std::uint8_t* data, std::size_t length);
    // UpdateSerialInfo with item 2 and the NUL-terminated text.
    void UpdateModelNumber(const char* text);
    // Sends the end-of-job request; only its acknowledgement is awaited.
    void SendEndOfJobRequest();

    const SbepMessageInfo& GetReplyInfo() const { return replyInfo_; }

    CSbepComm comm;
    unsigned char portOpen = 0;

private:
    // Sends `message_`, records the reply's facts and applies CheckResult.
    void Exchange(unsigned char expectReply);
    void CheckResult(std::uint8_t opcode, int result);
    // The first data byte of the reply, when it has one.
    bool FirstDataByte(std::uint8_t& value) const;
    // Logs `text` with its origin and the frame, then raises code 3.
    [[noreturn]] void RefuseReply(const char* origin, const char* text);

    SbepMessageInfo replyInfo_;
    CSbepMessage message_;
};
