// The serial port on a Win32 COM port.
//
// Reads never block: the port's read time-outs make ReadFile return at once
// with what has arrived, and all waiting is done by polling the receive queue
// at character-time steps on the comm timer. Every byte is sent with
// TransmitCommChar.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

class CWinSerial : public CSerial {
public:
    CWinSerial();
    ~CWinSerial() override;
    CWinSerial(const CWinSerial&) = delete;
    CWinSerial& operator=(const CWinSerial&) = delete;

    void FlushInput() override;
    double GetByteTime() override;
    void OpenPort(unsigned port) override;
    void ClosePort() override;
    unsigned GetPortNumber() override { return portNumber_; }
    void Read(unsigned char* buffer, unsigned count, unsigned timeoutMs) override;
    void Write(const unsigned char* data, unsigned count, unsigned timeoutMs) override;
    bool WaitForError(unsigned mask, unsigned timeoutMs) override;
    bool ProbeLine(unsigned timeoutMs) override;
    void WaitForBytesUnless(unsigned count, unsigned timeoutMs) override;
    void SetConfig(unsigned baud, int parity, int stopBits, int charSize) override;
    int GetStopBits() override;
    void SetStopBits(int code) override;
    int GetCharSize() override;
    void SetCharSize(int bits) override;
    int GetParity() override;
    void SetParity(int code) override;
    unsigned GetBaud() override;
    void SetBaud(unsigned baud) override;

    // Raises the CCommError for the ClearCommError bits `errors`: the first
    // of break, framing, overrun, parity, input overflow, output overflow
    // that is set, else code 9 for any other bit. Zero raises nothing.
    static void RaiseCommError(DWORD errors);

    // The device control block as last read and written.
    const DCB& GetDcb() const { return dcb_; }
    const char* GetDeviceName() const { return name_; }

private:
    // The bytes waiting in the receive queue; the line errors that the call
    // reports (and clears) are dropped.
    DWORD GetInQueue();
    // Polls the line errors every 2 ms until some bit of `mask` is reported
    // (`present`) or none is (not `present`); false after `timeoutMs`.
    bool WaitForLineErrors(unsigned mask, bool present, unsigned timeoutMs);
    bool WaitWhileError(unsigned mask, unsigned timeoutMs);
    // Writes `wanted` to the port, keeps it as the device control block and
    // purges both queues; raises code 12 with `failure` when the port
    // refuses it.
    void ApplyState(const DCB& wanted, const char* failure);

    int parity_ = 0;
    int stopBits_ = 0;
    int charSize_ = 0;
    unsigned baud_ = 0;
    DCB dcb_{};
    HANDLE handle_ = nullptr;
    unsigned portNumber_ = 0;
    char name_[10] = {};
};
