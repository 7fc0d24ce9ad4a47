#include "sbep/SbepBroker.h"

#include <cstring>

#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "errors/Error.h"

bool recoverRequested = false;
bool recoveryCancelled = false;

void ResetRecoveryFlags()
{
    recoverRequested = false;
    recoveryCancelled = false;
}

namespace {
// The two product lines whose time-outs lead to the recovery prompt.
bool IsRecoveryLine()
{
    return theApp.productLine == 3 || theApp.productLine == 4;
}

void ShowRecoveryPrompt()
{
    const MbAnswer answer = AppMessageBox(
        "Error detected.\nPlease press OK to recover the radio or press CANCEL to exit the "
        "recovery function.\nIf problem still persists, please send the radio to service center.",
        MbIcon::Error, MbButtons::OkCancel);
    if (answer == MbAnswer::Ok)
        recoverRequested = true;
    else
        recoveryCancelled = true;
}
}  // namespace

CSbepBroker::CSbepBroker()
{
    comm.retryCount = 4;
    comm.ackTimeout = 100;
    comm.replyTimeout = 750;
    comm.byteTimeout = 250;
    comm.postDelay = 10;
}

CSbepBroker::~CSbepBroker()
{
    if (portOpen == 1)
        comm.Close();
    portOpen = 0;
}

void CSbepBroker::CheckResult(std::uint8_t opcode, int result)
{
    switch (result) {
    case kSbepOk:
        if (opcode == kSbepUnsupportedOpcodeReply)
            throw CSbepError(2, "Received Unsupported Opcode reply from external device");
        return;
    case kSbepNak:
        throw CSbepError(1, "Received NACK from external device");
    case kSbepCorrupted:
        throw CSbepError(4, "Reply from external device contained checksum error");
    case kSbepPortFailure:
        if (IsRecoveryLine()) {
            ShowRecoveryPrompt();
            return;
        }
        throw CSbepError(5, "Timeout occurred while sending SBEP command");
    default:
        throw CSbepError(result);
    }
}

void CSbepBroker::Exchange(unsigned char expectReply)
{
    const int result = comm.SendCommand(message_, expectReply);
    message_.GetInfo(replyInfo_);
    CheckResult(replyInfo_.opcode, result);
}

bool CSbepBroker::FirstDataByte(std::uint8_t& value) const
{
    if (replyInfo_.dataLength == 0)
        return false;
    value = message_.GetFrame()[replyInfo_.dataOffset];
    return true;
}

void CSbepBroker::RefuseReply(const char* origin, const char* text)
{
    theErrorLog.Log("CSbepBroker::%s: %s", origin, text);
    theErrorLog.LogHex(message_.GetFrame(), replyInfo_.totalLength);
    throw CSbepError(3, "%s", text);
}

void CSbepBroker::RadioStatusRequest(std::uint8_t item, char* text, std::size_t capacity)
{
    message_.Build(kSbepRadioStatusRequest, &item, 1);
    Exchange(1);

    std::uint8_t echoedItem = 0;
    const bool good = replyInfo_.opcode == kSbepRadioStatusReply && FirstDataByte(echoedItem) &&
                      echoedItem == item;
    const bool letPass = (IsRecoveryLine() && recoverRequested) || recoveryCancelled;
    if (!good && !letPass)
        RefuseReply("RadioStatusRequest",
                    "Did not receive good Radio Status reply for SBEP Radio Status Request");

    if (text == nullptr || capacity == 0)
        return;
    std::size_t n = replyInfo_.dataLength == 0 ? 0 : replyInfo_.dataLength - 1u;
    if (n > capacity - 1)
        n = capacity - 1;
    std::memcpy(text, message_.GetFrame() + replyInfo_.dataOffset + 1, n);
    text[n] = '\0';
}

void CSbepBroker::UpdateSerialInfo(std::uint8_t item, const std::uint8_t* data,
                                   std::size_t length)
{
    if (length > kSbepSerialInfoMax) {
        theErrorLog.Log("CSbepBroker::UpdateSerialInfo: Text of %u bytes refused, at most %u "
                        "bytes fit a request",
                        unsigned(length), unsigned(kSbepSerialInfoMax));
        throw CGenError(3, "The new text is %u bytes long, more than the %u bytes the radio "
                           "accepts; nothing was sent",
                        unsigned(length), unsigned(kSbepSerialInfoMax));
    }
    std::uint8_t block[1 + kSbepSerialInfoMax];
    block[0] = item;
    if (length != 0)
        std::memcpy(block + 1, data, length);
    message_.Build(kSbepUpdateSerialRequest, block, std::uint16_t(length + 1));
    Exchange(1);

    std::uint8_t status = 1;
    if (replyInfo_.opcode != kSbepUpdateSerialReply || !FirstDataByte(status) || status != 0)
        RefuseReply("UpdateSerialInfo", "Did not receive good Update Serial Number reply for "
                                        "SBEP Update Serial No. Request");
}

void CSbepBroker::UpdateModelNumber(const char* text)
{
    UpdateSerialInfo(kSbepItemModelWrite, reinterpret_cast<const std::uint8_t*>(text),
                     std::strlen(text));
}

void CSbepBroker::SendEndOfJobRequest()
{
    message_.BuildEmpty(kSbepEndOfJobRequest);
    Exchange(0);
}
