// The serial port on a POSIX terminal device.
//
// COM port n is the device that the port map names: a binding made for this
// run with BindPortDevice, else the symbolic link `com<n>` in the kit's
// configuration directory, else /dev/ttyS<n-1>.
//
// One holder at a time: the device is locked (flock) and put in exclusive
// mode while open; a port held elsewhere is refused like a missing one, and
// the error log says which it was. Line errors (break, framing, parity,
// overrun, input overflow) are known where the driver counts them, as UARTs
// and most USB adapters do; pseudo-terminals report none. A device that goes
// away while open (unplugged, or the far end of a pseudo-terminal closed)
// ends the operation at once with code 9 and a text that says so.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/SerialCommon.h"

class CTimerCtrl;

// Binds COM port `port` to the device `path` for the rest of the run (an
// empty path removes the binding). The command-line kit binds its --device
// this way, tests bind pseudo-terminals.
void BindPortDevice(unsigned port, std::string path);

// The device path that OpenPort(port) opens; empty for port 0 when unbound.
std::string PortDevicePath(unsigned port);

class CPosixSerial : public CSerial {
public:
    CPosixSerial();
    ~CPosixSerial() override;
    CPosixSerial(const CPosixSerial&) = delete;
    CPosixSerial& operator=(const CPosixSerial&) = delete;

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
    int GetStopBits() override { return line_.stopBits; }
    void SetStopBits(int code) override;
    int GetCharSize() override { return line_.charSize; }
    void SetCharSize(int bits) override;
    int GetParity() override { return line_.parity; }
    void SetParity(int code) override;
    unsigned GetBaud() override { return line_.baud; }
    void SetBaud(unsigned baud) override;

    // Raises the CCommError for the line error bits `errors` (the first
    // that matches: break, framing, overrun, parity, input overflow, output
    // overflow, anything else). Zero bits raise nothing.
    static void RaiseCommError(unsigned errors);

private:
    // The line settings in force: the codes as the getters report them.
    struct LineSettings {
        unsigned baud = 9600;
        int parity = kParityNone;
        int stopBits = kStopBitsOne;
        int charSize = 8;
    };

    bool IsOpen() const { return fd_ >= 0; }
    // Opens and locks the device; raises code 1 after logging the reason.
    void OpenDevice(unsigned port);
    // Writes line_ to the device; false when the device refuses it.
    bool ApplyLine();
    // Puts `wanted` in force on the open port and purges both queues; when
    // refused, raises code 12 with `failure` and keeps the settings in force.
    void ChangeLine(const LineSettings& wanted, const char* failure);
    // Bytes waiting in the receive queue. Line errors reported meanwhile are
    // dropped. Raises when the device has gone away.
    // `operation` names the caller in error texts.
    unsigned GetInQueue(const char* operation);
    // Line error bits reported since the last call. Raises when the device
    // has gone away.
    unsigned TakeLineErrors(const char* operation);
    // Polls the line every 2 ms until (errors & mask) != 0 equals `wanted`.
    bool WaitForLineState(unsigned mask, bool wanted, unsigned timeoutMs);
    // Raises code 9 for a failed system call: the port is not open, the
    // device has gone away, or something else went wrong.
    [[noreturn]] void RaiseIoError(const char* operation, int error);

    LineSettings configured_;
    LineSettings line_;
    int fd_ = -1;
    unsigned portNumber_ = 0;
    std::string devicePath_;
    // Error counters of the driver at the last look, where it keeps them.
    struct Counters {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    } counters_;
};
