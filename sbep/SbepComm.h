// The SBEP transport: carries one request to the radio over the serial port
// and brings its reply back, repeating a failed attempt a set number of times.
//
// An exchange ends in a result code, not an error: 0 success, 1 negative
// acknowledgement, 4 corrupted reply, 5 port failure or time-out. Every failed
// attempt is written to the error log. The only error that leaves SendCommand
// is a CGenError raised below it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sbep/SbepMessage.h"

class CError;
class CSerial;

// Result codes of an exchange (the CSbepError codes).
enum : int {
    kSbepOk = 0,
    kSbepNak = 1,
    kSbepCorrupted = 4,
    kSbepPortFailure = 5,
};

// The byte by which the radio refuses a request; any other byte read in its
// place is the acknowledgement.
inline constexpr std::uint8_t kSbepNakByte = 0x60;

// The raw reply area.
inline constexpr std::size_t kSbepReceiveMax = 512;

class CSbepComm {
public:
    // Step of the current attempt.
    enum : int { kStageNone = 0, kStageWrite = 1, kStageAck = 2, kStageReply = 3 };

    CSbepComm();
    virtual ~CSbepComm();
    CSbepComm(const CSbepComm&) = delete;
    CSbepComm& operator=(const CSbepComm&) = delete;

    // Borrows the serial port and opens COM<portNumber> at 9600 baud, 8 data
    // bits, no parity, one stop bit, with echo checking when echoType is 1.
    // Raises CGenError: 2 when the port object is refused, 3 "Unable to open
    // communication port" when opening fails. Call Close afterwards on every
    // path, a failed Open included.
    void Open(unsigned portNumber, unsigned char echoType);
    // Gives the port back. Safe on a closed transport.
    void Close();

    // Sends the request held in `message`; with expectReply 1 reads the reply
    // frame that follows the acknowledgement. On success `message` becomes the
    // parsed reply (or stays the request without a reply); on failure it is
    // left as it was. Returns the result code.
    int SendCommand(CSbepMessage& message, unsigned char expectReply);

    unsigned GetPortNumber() const { return portNumber_; }
    bool IsOpen() const { return portNumber_ != 0; }
    int GetStage() const { return stage_; }
    int GetLastResult() const { return lastResult_; }

    // Settings; the owner may change them between exchanges. Milliseconds,
    // except retryCount, the number of attempts (at least 1).
    int byteTimeout = 0;
    int retryCount = 1;
    int ackTimeout = 100;
    int replyTimeout = 500;
    int postDelay = 5;

private:
    void Attempt(unsigned char expectReply);
    void ReadReply();
    void ReadInto(std::size_t offset, unsigned count, unsigned timeoutMs);
    void Pause();
    void LogFailedAttempt(const CError& error);

    CSerial* serial_ = nullptr;
    unsigned receivedCount_ = 0;
    std::uint8_t receiveBuffer_[kSbepReceiveMax] = {};
    SbepMessageInfo requestInfo_;
    CSbepMessage workingMessage_;
    unsigned portNumber_ = 0;
    int stage_ = kStageNone;
    int lastResult_ = kSbepOk;
};
