#include "platform/win/WinSerial.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "platform/CommTimerLoan.h"
#include "platform/SerialCommon.h"

namespace {

// The largest time-out Read accepts: 60 s, or 250 ms per byte when more.
constexpr unsigned kReadTimeoutFloorMs = 60000;
constexpr unsigned kReadTimeoutPerByteMs = 250;
constexpr unsigned kEchoBufferSize = 1024;
constexpr double kErrorPollSeconds = 0.002;

void PutParity(DCB& dcb, int code)
{
    dcb.Parity = code == kParityOdd ? ODDPARITY : code == kParityEven ? EVENPARITY : NOPARITY;
    dcb.fParity = dcb.Parity != NOPARITY;
}

void PutStopBits(DCB& dcb, int code)
{
    dcb.StopBits = code == kStopBitsOneAndHalf ? ONE5STOPBITS : code == kStopBitsTwo ? TWOSTOPBITS : ONESTOPBIT;
}

// Binary mode, no flow control of any kind, DTR and RTS off, no character
// replacement; the parity flag stays as the port reported it.
void PutFixedLine(DCB& dcb)
{
    const DWORD parityFlag = dcb.fParity;
    const DWORD length = dcb.DCBlength;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = length;
    dcb.fBinary = 1;
    dcb.fParity = parityFlag;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.EofChar = 10;
}

}  // namespace

CWinSerial::CWinSerial() { dcb_.DCBlength = sizeof dcb_; }

CWinSerial::~CWinSerial()
{
    if (portNumber_ != 0)
        ClosePort();
}

void CWinSerial::SetConfig(unsigned baud, int parity, int stopBits, int charSize)
{
    baud_ = baud;
    parity_ = parity;
    stopBits_ = stopBits;
    charSize_ = charSize;
}

// ---------------------------------------------------------------------------
// Opening and closing

void CWinSerial::OpenPort(unsigned port)
{
    if (portNumber_ != 0)
        ClosePort();
    portNumber_ = port;
    std::snprintf(name_, sizeof name_, "COM%u", port);

    const HANDLE handle = CreateFileA(name_, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw CCommError(1, "CWinSerial::Open: Unable to open com%u", port);
    handle_ = handle;

    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;  // ReadFile returns at once
    if (!SetCommTimeouts(handle_, &timeouts))
        throw CCommError(12, "CWinSerial::OpenPort: SetCommTimeouts returned false");
    if (!GetCommState(handle_, &dcb_))
        throw CCommError(12, "CWinSerial::OpenPort: GetCommState returned false");
    PutFixedLine(dcb_);
    dcb_.BaudRate = baud_;
    PutParity(dcb_, parity_);
    PutStopBits(dcb_, stopBits_);
    dcb_.ByteSize = static_cast<BYTE>(charSize_);
    if (!SetCommState(handle_, &dcb_))
        throw CCommError(12, "CWinSerial::OpenPort: SetCommState returned false");
    PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

void CWinSerial::ClosePort()
{
    if (handle_ != nullptr)
        CloseHandle(handle_);
    handle_ = nullptr;
    portNumber_ = 0;
    std::memset(name_, 0, sizeof name_);
}

void CWinSerial::FlushInput() { PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR); }

// ---------------------------------------------------------------------------
// Line settings of the open port

// A setting the port refuses is not kept: the getters go on reporting the
// line in force.
void CWinSerial::ApplyState(const DCB& wanted, const char* failure)
{
    DCB state = wanted;
    if (!SetCommState(handle_, &state))
        throw CCommError(12, "%s", failure);
    dcb_ = state;
    PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void CWinSerial::SetStopBits(int code)
{
    DCB wanted = dcb_;
    PutStopBits(wanted, code);
    ApplyState(wanted, "CWinSerial::SetStopBits: SetCommState returned false");
}

void CWinSerial::SetCharSize(int bits)
{
    DCB wanted = dcb_;
    wanted.ByteSize = static_cast<BYTE>(bits);
    ApplyState(wanted, "CWinSerial::SetCharSize: SetCommState returned false");
}

void CWinSerial::SetParity(int code)
{
    DCB wanted = dcb_;
    PutParity(wanted, code);
    ApplyState(wanted, "WinSerial::SetParity: SetCommState returned false");
}

void CWinSerial::SetBaud(unsigned baud)
{
    DCB wanted = dcb_;
    wanted.BaudRate = baud;
    ApplyState(wanted, "CWinSerial::SetBaud: SetCommState returned false");
}

int CWinSerial::GetStopBits()
{
    return dcb_.StopBits == ONE5STOPBITS ? kStopBitsOneAndHalf
           : dcb_.StopBits == TWOSTOPBITS ? kStopBitsTwo
                                          : kStopBitsOne;
}

int CWinSerial::GetParity()
{
    return dcb_.Parity == ODDPARITY ? kParityOdd : dcb_.Parity == EVENPARITY ? kParityEven : kParityNone;
}

int CWinSerial::GetCharSize() { return dcb_.ByteSize; }

unsigned CWinSerial::GetBaud() { return dcb_.BaudRate; }

double CWinSerial::GetByteTime()
{
    const bool parity = dcb_.Parity == ODDPARITY || dcb_.Parity == EVENPARITY;
    int halfBits = 2 * (1 + dcb_.ByteSize + (parity ? 1 : 0));
    halfBits += dcb_.StopBits == ONE5STOPBITS ? 3 : dcb_.StopBits == TWOSTOPBITS ? 4 : 2;
    return halfBits * 0.5 / dcb_.BaudRate;
}

// ---------------------------------------------------------------------------
// Line errors and the receive queue

// The Win32 error bits are the line error bits every port knows.
static_assert(CE_RXOVER == kLineRxOver && CE_OVERRUN == kLineOverrun && CE_RXPARITY == kLineParity &&
              CE_FRAME == kLineFrame && CE_BREAK == kLineBreak && CE_TXFULL == kLineTxFull);

void CWinSerial::RaiseCommError(DWORD errors) { RaiseLineErrors(errors); }

DWORD CWinSerial::GetInQueue()
{
    DWORD errors = 0;
    COMSTAT status{};
    ClearCommError(handle_, &errors, &status);
    return status.cbInQue;
}

bool CWinSerial::WaitForLineErrors(unsigned mask, bool present, unsigned timeoutMs)
{
    const double limit = timeoutMs * 0.001;
    CCommTimerLoan timer;
    timer->Start();
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        ClearCommError(handle_, &errors, &status);
        if (((errors & mask) != 0) == present)
            return true;
        timer->Delay(kErrorPollSeconds);
        if (timer->GetElapsed() > limit)
            return false;
    }
}

bool CWinSerial::WaitForError(unsigned mask, unsigned timeoutMs) { return WaitForLineErrors(mask, true, timeoutMs); }

bool CWinSerial::WaitWhileError(unsigned mask, unsigned timeoutMs)
{
    return WaitForLineErrors(mask, false, timeoutMs);
}

// ---------------------------------------------------------------------------
// Waiting, reading and writing

void CWinSerial::WaitForBytesUnless(unsigned count, unsigned timeoutMs)
{
    WaitForQueuedBytes(count, timeoutMs, GetByteTime(), [this] { return static_cast<unsigned>(GetInQueue()); });
}

void CWinSerial::Read(unsigned char* buffer, unsigned count, unsigned timeoutMs)
{
    if (timeoutMs > static_cast<unsigned long long>(count) * kReadTimeoutPerByteMs &&
        timeoutMs > kReadTimeoutFloorMs) {
        theErrorLog.Log("Timeout is too big, timeout = %d", static_cast<int>(timeoutMs));
        throw CGenError(3, "Timeout specified is too big");
    }
    WaitForBytesUnless(count, timeoutMs);
    DWORD received = 0;
    if (ReadFile(handle_, buffer, count, &received, nullptr) && received == count)
        return;
    // Fewer bytes than were waiting, or a failure the line does not explain,
    // must not pass for a complete read.
    DWORD errors = 0;
    ClearCommError(handle_, &errors, nullptr);
    RaiseCommError(errors);
    throw CCommError(9, "Unknown IO error occured while accessing communication port");
}

void CWinSerial::Write(const unsigned char* data, unsigned count, unsigned timeoutMs)
{
    DWORD errors = 0;
    COMSTAT status{};
    ClearCommError(handle_, &errors, &status);
    if (errors & CE_BREAK) {
        if (!WaitWhileError(CE_BREAK, timeoutMs))
            throw CCommError(10, "CWinSerial::Write: Timeout while waiting for break condition to terminate");
        FlushInput();
    }
    if (status.cbOutQue != 0)
        PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);

    const double limit = timeoutMs * 0.001;
    CCommTimerLoan timer;
    timer->Start();
    for (unsigned i = 0; i < count; ++i) {
        while (!TransmitCommChar(handle_, static_cast<char>(data[i]))) {
            if (timer->GetElapsed() > limit) {
                timer.Release();
                throw CCommError(2, "CWinSerial::Write: Timeout after sending out %d bytes", static_cast<int>(i));
            }
        }
    }
    const double remainingMs = timeoutMs - timer->GetElapsed() * 1000;
    timer.Release();

    if (echoMode_ != 1)
        return;
    // When the sending used up the whole time, the echo still gets one
    // character time (a time-out of 0). The echo buffer grows for writes
    // longer than the usual 1024 bytes instead of overflowing.
    std::vector<unsigned char> echo(count > kEchoBufferSize ? count : kEchoBufferSize);
    Read(echo.data(), count, remainingMs > 0 ? static_cast<unsigned>(remainingMs) : 0);
    for (unsigned k = 0; k < count; ++k) {
        if (echo[k] != data[k])
            throw CCommError(11, "CWinSerial::Write: Echo byte %d does not match transmitted character",
                             static_cast<int>(k));
    }
}

bool CWinSerial::ProbeLine(unsigned timeoutMs) { return ProbeLineAt300(*this, timeoutMs); }
