// The operating-system services that the radio logic uses: the serial port,
// timers and log outputs, reached through one lender, `thePlatform`.
//
// The platform owns one serial port and three timers and lends each to one
// holder at a time; a Get... on a lent object returns null. Holders never
// delete what they borrowed and give it back on every path. Logs are made new
// on every request and belong to the caller.
#pragma once

// A log output. Writes nothing before StartLogging.
class CLog {
public:
    virtual ~CLog() = default;
    // Empties the log; returns true.
    virtual bool Clear() = 0;
    // Writes the string resource `stringId` as one line (nothing if unknown).
    virtual void WriteResourceLine(unsigned stringId) = 0;
    virtual void WriteLine(const char* text) = 0;

    bool IsStarted() const { return started_ != 0; }
    void StartLogging()
    {
        started_ = 1;
        WriteLine("Start Logging");
    }

protected:
    unsigned char started_ = 0;
};

// A timer that measures elapsed time and waits precisely. Durations are
// seconds.
class CTimerCtrl {
public:
    virtual ~CTimerCtrl() = default;
    // Length of one period for WaitPeriods.
    virtual void SetPeriod(double seconds) = 0;
    // Now becomes the start of measurement and the current deadline.
    virtual void Start() = 0;
    // Waits `seconds` from the moment of the call; start and deadline stay.
    virtual void Delay(double seconds) = 0;
    // Seconds since the last Start.
    virtual double GetElapsed() = 0;
    // Waits until deadline + n periods; that instant becomes the deadline.
    virtual void WaitPeriods(unsigned n) = 0;
};

// Parity codes and stop-bit codes of the serial port.
enum : int { kParityNone = 0, kParityOdd = 1, kParityEven = 2 };
enum : int { kStopBitsOne = 0, kStopBitsOneAndHalf = 1, kStopBitsTwo = 2 };

// The serial port. Time-outs are milliseconds. Every failure is raised:
// CCommError for the port and the line, CGenError for a refused timer or a
// time-out out of range.
class CSerial {
public:
    virtual void FlushInput() = 0;
    // Seconds that one character takes with the current settings.
    virtual double GetByteTime() = 0;
    virtual ~CSerial() = default;
    // Echo checking is on when the mode is exactly 1.
    virtual unsigned char GetEcho() { return echoMode_; }
    virtual void SetEcho(unsigned char mode) { echoMode_ = mode; }
    virtual void OpenPort(unsigned port) = 0;
    virtual void ClosePort() = 0;
    virtual unsigned GetPortNumber() = 0;
    // Receives exactly `count` bytes or raises.
    virtual void Read(unsigned char* buffer, unsigned count, unsigned timeoutMs) = 0;
    // Sends `count` bytes; with echo mode 1 reads back and compares the echo.
    virtual void Write(const unsigned char* data, unsigned count, unsigned timeoutMs) = 0;
    virtual bool WaitForError(unsigned mask, unsigned timeoutMs) = 0;
    virtual bool ProbeLine(unsigned timeoutMs) = 0;
    // Waits until `count` bytes wait in the receive queue.
    virtual void WaitForBytesUnless(unsigned count, unsigned timeoutMs) = 0;
    // Records the settings that the next OpenPort applies.
    virtual void SetConfig(unsigned baud, int parity, int stopBits, int charSize) = 0;
    virtual int GetStopBits() = 0;
    virtual void SetStopBits(int code) = 0;
    virtual int GetCharSize() = 0;
    virtual void SetCharSize(int bits) = 0;
    virtual int GetParity() = 0;
    virtual void SetParity(int code) = 0;
    virtual unsigned GetBaud() = 0;
    virtual void SetBaud(unsigned baud) = 0;

protected:
    unsigned char echoMode_ = 0;
};

// Log kinds for MakeLog.
enum : int { kPrimaryLog = 0, kSecondaryLog = 1 };

class CPlatform {
public:
    virtual void ReleaseTimer() = 0;
    virtual void ReleaseCommTimer() = 0;
    virtual CTimerCtrl* GetTimer() = 0;
    virtual CTimerCtrl* GetCommTimer() = 0;
    virtual ~CPlatform() = default;
    // A new log output of `kind`, owned by the caller, or null.
    virtual CLog* MakeLog(int kind) = 0;
    virtual CSerial* GetSerial() = 0;
    virtual CTimerCtrl* GetAuxTimer() = 0;
    // Gives the serial port back and closes it.
    virtual void ReleaseSerial() = 0;
    virtual void ReleaseAuxTimer() = 0;
};

// The lending rules shared by every real platform: one serial port and three
// timers owned by the derived platform, each lent to one holder at a time.
class CLendingPlatform : public CPlatform {
public:
    void ReleaseTimer() override;
    void ReleaseCommTimer() override;
    CTimerCtrl* GetTimer() override;
    CTimerCtrl* GetCommTimer() override;
    CSerial* GetSerial() override;
    CTimerCtrl* GetAuxTimer() override;
    void ReleaseSerial() override;
    void ReleaseAuxTimer() override;

protected:
    // The derived platform hands over the objects it owns (they must outlive
    // the lending) from its constructor.
    void Attach(CSerial& serial, CTimerCtrl& auxTimer, CTimerCtrl& generalTimer,
                CTimerCtrl& commTimer);

private:
    int generalTimerLent_ = 0;
    int commTimerLent_ = 0;
    CSerial* serial_ = nullptr;
    CTimerCtrl* auxTimer_ = nullptr;
    CTimerCtrl* generalTimer_ = nullptr;
    CTimerCtrl* commTimer_ = nullptr;
    unsigned serialLent_ = 0;
    unsigned auxTimerLent_ = 0;
};

// Made once by the platform implementation that is linked in; later calls
// return the same object. Null if it cannot be made.
CPlatform* GetPlatform();
