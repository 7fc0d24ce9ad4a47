#include "sbep/SbepComm.h"

#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "platform/Platform.h"

namespace {
constexpr unsigned kBaud = 9600;
constexpr int kDataBits = 8;
// An extended header: the header byte, the opcode and two length bytes.
constexpr unsigned kExtendedHeader = 4;

// Gives the general timer back when it goes out of scope.
class CBorrowedTimer {
public:
    CBorrowedTimer() : timer_(thePlatform != nullptr ? thePlatform->GetTimer() : nullptr)
    {
        if (timer_ == nullptr)
            throw CGenError(1);
    }
    ~CBorrowedTimer() { thePlatform->ReleaseTimer(); }
    CBorrowedTimer(const CBorrowedTimer&) = delete;
    CBorrowedTimer& operator=(const CBorrowedTimer&) = delete;
    CTimerCtrl* operator->() const { return timer_; }

private:
    CTimerCtrl* timer_;
};
}  // namespace

CSbepComm::CSbepComm() = default;

CSbepComm::~CSbepComm()
{
    if (portNumber_ != 0)
        Close();
}

void CSbepComm::Open(unsigned portNumber, unsigned char echoType)
{
    serial_ = thePlatform != nullptr ? thePlatform->GetSerial() : nullptr;
    if (serial_ == nullptr)
        throw CGenError(2);
    portNumber_ = portNumber;
    try {
        serial_->SetEcho(echoType);
        serial_->SetConfig(kBaud, kParityNone, kStopBitsOne, kDataBits);
        serial_->OpenPort(portNumber);
    } catch (const CError& error) {
        theErrorLog.Log("%s", error.GetText());
        throw CGenError(3, "Unable to open communication port");
    }
}

void CSbepComm::Close()
{
    if (serial_ != nullptr) {
        serial_->ClosePort();
        thePlatform->ReleaseSerial();
        serial_ = nullptr;
    }
    portNumber_ = 0;
}

int CSbepComm::SendCommand(CSbepMessage& message, unsigned char expectReply)
{
    workingMessage_.CopyFrom(message);
    workingMessage_.GetInfo(requestInfo_);
    for (int attemptsLeft = retryCount; attemptsLeft > 0; --attemptsLeft) {
        if (attemptsLeft < retryCount)
            theErrorLog.Log("CSbepComm::SendCommand: Request failed! Retry number = %d",
                            retryCount - attemptsLeft);
        try {
            Attempt(expectReply);
            message.CopyFrom(workingMessage_);
            return kSbepOk;
        } catch (const CGenError&) {
            throw;
        } catch (const CError& error) {
            LogFailedAttempt(error);
            lastResult_ = dynamic_cast<const CCommError*>(&error) != nullptr ? kSbepPortFailure
                                                                             : error.GetCode();
        }
    }
    theErrorLog.Log("CSbepComm::SendCommand: Retry exhuasted, so exit request");
    return lastResult_;
}

void CSbepComm::Attempt(unsigned char expectReply)
{
    if (serial_ == nullptr)
        throw CGenError(2);
    serial_->FlushInput();

    stage_ = kStageWrite;
    const unsigned length = requestInfo_.totalLength;
    serial_->Write(workingMessage_.GetFrame(), length, length * unsigned(byteTimeout));

    stage_ = kStageAck;
    std::uint8_t ack = 0;
    serial_->Read(&ack, 1, unsigned(ackTimeout));
    if (ack == kSbepNakByte)
        throw CSbepError(kSbepNak, "Receive Negative Ack from external device");

    if (expectReply == 1)
        ReadReply();
    if (postDelay != 0)
        Pause();
}

void CSbepComm::ReadInto(std::size_t offset, unsigned count, unsigned timeoutMs)
{
    serial_->Read(receiveBuffer_ + offset, count, timeoutMs);
    receivedCount_ += count;
}

void CSbepComm::ReadReply()
{
    stage_ = kStageReply;
    receivedCount_ = 0;
    ReadInto(0, 1, unsigned(replyTimeout));

    const unsigned nibble = receiveBuffer_[0] & 0x0F;
    if (nibble != 0x0F) {
        const unsigned rest = nibble + 1;  // opcode, data and checksum
        ReadInto(1, rest, rest * unsigned(byteTimeout));
    } else {
        ReadInto(1, 3, 3 * unsigned(byteTimeout));  // opcode and the two length bytes
        const unsigned rest = receiveBuffer_[2] * 256u + receiveBuffer_[3];
        if (kExtendedHeader + rest > kSbepReceiveMax) {
            // The body would overrun the receive area: refuse it unread.
            theErrorLog.Log("CSbepComm::ReadReply: Reply announces %u bytes, more than the "
                            "receive area of %u bytes",
                            kExtendedHeader + rest, unsigned(kSbepReceiveMax));
            throw CSbepError(kSbepCorrupted, "The SBEP reply message is corrupted");
        }
        ReadInto(kExtendedHeader, rest, rest * unsigned(byteTimeout));
    }

    if (!CSbepMessage::IsChecksumValid(receiveBuffer_, receivedCount_) ||
        !workingMessage_.Parse(receiveBuffer_, receivedCount_))
        throw CSbepError(kSbepCorrupted, "The SBEP reply message is corrupted");
}

void CSbepComm::Pause()
{
    CBorrowedTimer timer;
    timer->Start();
    timer->Delay(postDelay * 0.001);
}

void CSbepComm::LogFailedAttempt(const CError& error)
{
    theErrorLog.Log("%s", error.GetText());
    switch (stage_) {
    case kStageWrite:
        theErrorLog.Log("CSbepComm::SendCommand: Encountered the above error while sending the "
                        "following message");
        theErrorLog.LogHex(workingMessage_.GetFrame(), requestInfo_.totalLength);
        break;
    case kStageAck:
        if (dynamic_cast<const CCommError*>(&error) != nullptr)
            theErrorLog.Log("CSbepComm::SendCommand: Encountered the above error while getting "
                            "ack");
        break;
    case kStageReply:
        theErrorLog.Log("CSbepComm::SendCommand: Encountered the above error while getting "
                        "reply");
        if (receivedCount_ != 0)
            theErrorLog.LogHex(receiveBuffer_, receivedCount_);
        break;
    default:
        break;
    }
}
