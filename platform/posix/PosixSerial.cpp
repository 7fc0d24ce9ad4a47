#include "platform/posix/PosixSerial.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/serial.h>
#endif

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "platform/posix/PosixPaths.h"

// ---------------------------------------------------------------------------
// Port map

namespace {

std::map<unsigned, std::string>& PortBindings()
{
    static std::map<unsigned, std::string> bindings;
    return bindings;
}

}  // namespace

void BindPortDevice(unsigned port, std::string path)
{
    if (path.empty())
        PortBindings().erase(port);
    else
        PortBindings()[port] = std::move(path);
}

std::string PortDevicePath(unsigned port)
{
    const auto bound = PortBindings().find(port);
    if (bound != PortBindings().end())
        return bound->second;
    const std::string link = ConfigDirectory() + "/com" + std::to_string(port);
    struct stat info{};
    if (lstat(link.c_str(), &info) == 0)
        return link;
    if (port == 0)
        return {};
    return "/dev/ttyS" + std::to_string(port - 1);
}

// ---------------------------------------------------------------------------
// Helpers

namespace {

// The comm timer, borrowed from the platform for one operation and given
// back when the operation ends, on every path.
class CCommTimerLoan {
public:
    // Raises "Unable to allocate timer object" when `timer` is null.
    explicit CCommTimerLoan(CTimerCtrl* timer) : timer_(timer), lender_(thePlatform)
    {
        if (timer_ == nullptr)
            throw CGenError(1);
    }
    ~CCommTimerLoan() { Release(); }
    CCommTimerLoan(const CCommTimerLoan&) = delete;
    CCommTimerLoan& operator=(const CCommTimerLoan&) = delete;

    CTimerCtrl* operator->() const { return timer_; }
    void Release()
    {
        if (timer_ != nullptr)
            lender_->ReleaseCommTimer();
        timer_ = nullptr;
    }

private:
    CTimerCtrl* timer_;
    CPlatform* lender_;
};

CTimerCtrl* TryBorrowCommTimer()
{
    return thePlatform != nullptr ? thePlatform->GetCommTimer() : nullptr;
}

int ParityCode(int parity) { return parity == kParityOdd || parity == kParityEven ? parity : kParityNone; }

int StopBitsCode(int stopBits)
{
    return stopBits == kStopBitsOneAndHalf || stopBits == kStopBitsTwo ? stopBits : kStopBitsOne;
}

struct BaudConstant {
    unsigned baud;
    speed_t speed;
};

constexpr BaudConstant kBaudConstants[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400},
#if defined(B460800)
    {460800, B460800}, {500000, B500000}, {576000, B576000}, {921600, B921600},
    {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000},
#endif
};

bool SpeedOf(unsigned baud, speed_t& speed)
{
    for (const BaudConstant& entry : kBaudConstants) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

tcflag_t CharSizeFlag(int bits)
{
    switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

// Why the device could not be opened, in words for the log.
std::string OpenFailureReason(const std::string& path, int error)
{
    if (path.empty())
        return "no device is assigned to this port";
    switch (error) {
    case ENOENT:
        return "the device " + path + " does not exist";
    case ENXIO:
    case ENODEV:
        return "no hardware answers behind " + path;
    case EBUSY:
    case EWOULDBLOCK:
        return "the device " + path + " is in use by another program";
    case EACCES:
    case EPERM: {
        struct stat info{};
        std::string owner = "that owns it";
        if (stat(path.c_str(), &info) == 0) {
            const group* entry = getgrgid(info.st_gid);
            owner = entry != nullptr ? std::string("'") + entry->gr_name + "'"
                                     : "with id " + std::to_string(info.st_gid);
        }
        return "permission denied on " + path + "; the user must join the group " + owner +
               " that owns the device (then log in again)";
    }
    default:
        return path + ": " + std::strerror(error);
    }
}

// Errors by which the device says that it is gone: unplugged, or the far end
// of a pseudo-terminal closed.
bool IsGone(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

}  // namespace

// ---------------------------------------------------------------------------
// Life and line settings

CPosixSerial::CPosixSerial() = default;

CPosixSerial::~CPosixSerial()
{
    if (IsOpen() || portNumber_ != 0)
        ClosePort();
}

void CPosixSerial::SetConfig(unsigned baud, int parity, int stopBits, int charSize)
{
    configured_ = {baud, ParityCode(parity), StopBitsCode(stopBits), charSize};
}

double CPosixSerial::GetByteTime()
{
    int halfBits = 2 * (1 + line_.charSize + (line_.parity == kParityNone ? 0 : 1));
    halfBits += line_.stopBits == kStopBitsOneAndHalf ? 3 : line_.stopBits == kStopBitsTwo ? 4 : 2;
    return halfBits * 0.5 / line_.baud;
}

// Raw binary line: no flow control of any kind, no character processing,
// the modem lines ignored, reads that return at once with what has arrived.
// One and a half stop bits are sent as two.
bool CPosixSerial::ApplyLine()
{
    termios settings{};
    speed_t speed = B0;
    if (tcgetattr(fd_, &settings) != 0 || !SpeedOf(line_.baud, speed) || line_.charSize < 5 ||
        line_.charSize > 8)
        return false;
    cfmakeraw(&settings);
    settings.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR | IGNBRK | BRKINT);
    const tcflag_t lineBits = CSIZE | PARENB | PARODD | CSTOPB;
    settings.c_cflag &= ~(lineBits | CRTSCTS | HUPCL);
    settings.c_cflag |= CLOCAL | CREAD | CharSizeFlag(line_.charSize);
    if (line_.parity != kParityNone)
        settings.c_cflag |= PARENB | (line_.parity == kParityOdd ? PARODD : 0);
    if (line_.stopBits != kStopBitsOne)
        settings.c_cflag |= CSTOPB;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0 ||
        tcsetattr(fd_, TCSANOW, &settings) != 0)
        return false;
    // A driver may take part of the settings only: a rate it cannot do counts
    // as refused. (Pseudo-terminals always keep 8 data bits and no parity.)
    termios applied{};
    return tcgetattr(fd_, &applied) == 0 && cfgetospeed(&applied) == speed;
}

// The setters change the open port only; the next OpenPort applies the
// configured values again. A refused change leaves the settings in force.
void CPosixSerial::ChangeLine(const LineSettings& wanted, const char* failure)
{
    const LineSettings previous = line_;
    line_ = wanted;
    if (!IsOpen() || !ApplyLine()) {
        line_ = previous;
        throw CCommError(12, "%s", failure);
    }
    tcflush(fd_, TCIOFLUSH);
}

void CPosixSerial::SetStopBits(int code)
{
    LineSettings wanted = line_;
    wanted.stopBits = StopBitsCode(code);
    ChangeLine(wanted, "CWinSerial::SetStopBits: SetCommState returned false");
}

void CPosixSerial::SetCharSize(int bits)
{
    LineSettings wanted = line_;
    wanted.charSize = bits;
    ChangeLine(wanted, "CWinSerial::SetCharSize: SetCommState returned false");
}

void CPosixSerial::SetParity(int code)
{
    LineSettings wanted = line_;
    wanted.parity = ParityCode(code);
    ChangeLine(wanted, "WinSerial::SetParity: SetCommState returned false");
}

void CPosixSerial::SetBaud(unsigned baud)
{
    LineSettings wanted = line_;
    wanted.baud = baud;
    ChangeLine(wanted, "CWinSerial::SetBaud: SetCommState returned false");
}

// ---------------------------------------------------------------------------
// Opening and closing

void CPosixSerial::OpenDevice(unsigned port)
{
    devicePath_ = PortDevicePath(port);
    int fd = -1;
    int error = ENOENT;
    if (!devicePath_.empty()) {
        fd = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        error = errno;
    }
    // One holder at a time: a lock that every copy of the kit takes, and the
    // terminal's exclusive mode against other programs.
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        theErrorLog.Log("CPosixSerial::OpenPort: Unable to open com%u: %s", port,
                        OpenFailureReason(devicePath_, error).c_str());
        throw CCommError(1, "CWinSerial::Open: Unable to open com%u", port);
    }
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
}

void CPosixSerial::OpenPort(unsigned port)
{
    ClosePort();
    portNumber_ = port;
    OpenDevice(port);

    termios current{};
    if (tcgetattr(fd_, &current) != 0)
        throw CCommError(12, "CWinSerial::OpenPort: GetCommState returned false");
    ChangeLine(configured_, "CWinSerial::OpenPort: SetCommState returned false");
    // DTR and RTS off where the driver has them (pseudo-terminals do not).
    const int modemLines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd_, TIOCMBIC, &modemLines);
    TakeLineErrors("OpenPort");  // what the line reported before is not ours
}

void CPosixSerial::ClosePort()
{
    if (IsOpen()) {
        ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
    portNumber_ = 0;
    devicePath_.clear();
}

void CPosixSerial::FlushInput()
{
    if (IsOpen())
        tcflush(fd_, TCIFLUSH);
}

// ---------------------------------------------------------------------------
// Line errors and the receive queue

void CPosixSerial::RaiseCommError(unsigned errors)
{
    struct Row {
        unsigned bit;
        int code;
        const char* text;
    };
    static constexpr Row kRows[] = {
        {kLineBreak, 10, "Break detected while accessing communication port"},
        {kLineFrame, 7, "Framing error detected while accessing communication port"},
        {kLineOverrun, 8, "Overrun detected while accessing communication port"},
        {kLineParity, 6, "Parity error detected while accessing communication port"},
        {kLineRxOver, 5, "Communication port input buffer overflow"},
        {kLineTxFull, 4, "Communication port output buffer overflow"},
    };
    if (errors == 0)
        return;
    for (const Row& row : kRows) {
        if (errors & row.bit)
            throw CCommError(row.code, "%s", row.text);
    }
    throw CCommError(9, "Unknown IO error occured while accessing communication port");
}

void CPosixSerial::RaiseIoError(const char* operation, int error)
{
    if (!IsOpen() || error == EBADF)
        throw CCommError(9, "CPosixSerial::%s: The communication port is not open", operation);
    if (IsGone(error))
        throw CCommError(9, "CPosixSerial::%s: Communication port com%u has gone away (unplugged or hung up)",
                         operation, portNumber_);
    throw CCommError(9, "Unknown IO error occured while accessing communication port");
}

// The driver counts line errors where the hardware reports them (most UARTs
// and USB adapters); pseudo-terminals have no line and count nothing. A
// character that arrived with a framing or parity error is delivered as is.
unsigned CPosixSerial::TakeLineErrors(const char* operation)
{
#if defined(TIOCGICOUNT)
    serial_icounter_struct now{};
    if (!IsOpen())
        return 0;
    if (ioctl(fd_, TIOCGICOUNT, &now) != 0) {
        if (IsGone(errno))
            RaiseIoError(operation, errno);
        return 0;
    }
    unsigned errors = 0;
    errors |= now.frame != counters_.frame ? kLineFrame : 0u;
    errors |= now.overrun != counters_.overrun ? kLineOverrun : 0u;
    errors |= now.parity != counters_.parity ? kLineParity : 0u;
    errors |= now.brk != counters_.brk ? kLineBreak : 0u;
    errors |= now.buf_overrun != counters_.bufOverrun ? kLineRxOver : 0u;
    counters_ = {now.frame, now.overrun, now.parity, now.brk, now.buf_overrun};
    return errors;
#else
    (void)operation;
    return 0;
#endif
}

unsigned CPosixSerial::GetInQueue(const char* operation)
{
    TakeLineErrors(operation);  // dropped, as while polling the queue
    int waiting = 0;
    if (ioctl(fd_, FIONREAD, &waiting) != 0)
        RaiseIoError(operation, errno);
    // A hung-up terminal may still answer FIONREAD; poll tells.
    pollfd state{fd_, POLLIN, 0};
    if (waiting == 0 && poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)))
        RaiseIoError(operation, EIO);
    return static_cast<unsigned>(waiting);
}

// ---------------------------------------------------------------------------
// Waiting, reading and writing

void CPosixSerial::WaitForBytesUnless(unsigned count, unsigned timeoutMs)
{
    if (count == 0)
        return;
    // The time-out becomes an allowance of character times without a new
    // byte; each new byte starts the allowance again.
    const double byteTime = GetByteTime();
    const double charTimes = timeoutMs * 0.001 / byteTime;
    const std::uint64_t steps = charTimes < 4294967295.0 ? static_cast<std::uint64_t>(charTimes) : 0xFFFFFFFFu;
    unsigned limit = static_cast<unsigned>((steps + 1) / count);
    if (limit == 0)
        limit = 1;

    CTimerCtrl* borrowed = TryBorrowCommTimer();
    if (borrowed == nullptr)
        theErrorLog.Log("CWinSerial::WaitForBytesUnless: Allocating timer to wait for bytes %d bytes",
                        static_cast<int>(count));
    CCommTimerLoan timer(borrowed);
    timer->SetPeriod(byteTime);
    timer->Start();

    unsigned previous = 0;
    unsigned current = 0;
    do {
        current = GetInQueue("WaitForBytesUnless");
        for (unsigned k = 0; current == previous; ++k) {
            if (k >= limit) {
                timer.Release();
                theErrorLog.Log("Number of byteTime timeout = %d", static_cast<int>(limit));
                if (current == 0)
                    throw CCommError(2, "CWinSerial::WaitForBytesUnless: No data received when timeout");
                throw CCommError(3, "CWinSerial::WaitForBytesUnless: Timeout after receiving %d bytes",
                                 static_cast<int>(current));
            }
            timer->WaitPeriods(1);
            current = GetInQueue("WaitForBytesUnless");
        }
        previous = current;
    } while (current < count);
}

void CPosixSerial::Read(unsigned char* buffer, unsigned count, unsigned timeoutMs)
{
    if (timeoutMs > std::uint64_t{count} * 250 && timeoutMs > 60000) {
        theErrorLog.Log("Timeout is too big, timeout = %d", static_cast<int>(timeoutMs));
        throw CGenError(3, "Timeout specified is too big");
    }
    if (count == 0)
        return;
    WaitForBytesUnless(count, timeoutMs);
    unsigned received = 0;
    while (received < count) {
        const ssize_t n = ::read(fd_, buffer + received, count - received);
        if (n > 0) {
            received += static_cast<unsigned>(n);
            continue;
        }
        // End of file on a terminal means it hung up.
        const int error = n == 0 ? EIO : errno;
        if (error == EINTR)
            continue;
        RaiseCommError(TakeLineErrors("Read"));
        RaiseIoError("Read", error);
    }
}

// One write per byte, retried while the driver's buffer is full, until the
// time limit of the whole write runs out.
void CPosixSerial::Write(const unsigned char* data, unsigned count, unsigned timeoutMs)
{
    if (TakeLineErrors("Write") & kLineBreak) {
        if (!WaitForLineState(kLineBreak, false, timeoutMs))
            throw CCommError(10, "CWinSerial::Write: Timeout while waiting for break condition to terminate");
        FlushInput();
    }
    int unsent = 0;
    if (IsOpen() && ioctl(fd_, TIOCOUTQ, &unsent) == 0 && unsent != 0)
        tcflush(fd_, TCOFLUSH);

    const double limit = timeoutMs * 0.001;
    CCommTimerLoan timer(TryBorrowCommTimer());
    timer->Start();
    for (unsigned sent = 0; sent < count;) {
        const ssize_t n = ::write(fd_, data + sent, 1);
        if (n == 1) {
            ++sent;
            continue;
        }
        const int error = n < 0 ? errno : EAGAIN;
        if (error == EINTR)
            continue;
        if (error != EAGAIN && error != EWOULDBLOCK)
            RaiseIoError("Write", error);
        if (timer->GetElapsed() > limit)
            throw CCommError(2, "CWinSerial::Write: Timeout after sending out %d bytes", static_cast<int>(sent));
        pollfd room{fd_, POLLOUT, 0};
        poll(&room, 1, 1);
    }
    const double remainingMs = timeoutMs - timer->GetElapsed() * 1000;
    timer.Release();

    if (echoMode_ != 1)
        return;
    // The echo read gets what is left of the time, at least one character
    // time when nothing is left.
    std::vector<unsigned char> echo(count);
    Read(echo.data(), count, remainingMs > 0 ? static_cast<unsigned>(remainingMs) : 0);
    for (unsigned k = 0; k < count; ++k) {
        if (echo[k] != data[k])
            throw CCommError(11, "CWinSerial::Write: Echo byte %d does not match transmitted character",
                             static_cast<int>(k));
    }
}

bool CPosixSerial::WaitForLineState(unsigned mask, bool wanted, unsigned timeoutMs)
{
    const double limit = timeoutMs * 0.001;
    CCommTimerLoan timer(TryBorrowCommTimer());
    timer->Start();
    for (;;) {
        if (((TakeLineErrors("WaitForError") & mask) != 0) == wanted)
            return true;
        timer->Delay(0.002);
        if (timer->GetElapsed() > limit)
            return false;
    }
}

bool CPosixSerial::WaitForError(unsigned mask, unsigned timeoutMs)
{
    return WaitForLineState(mask, true, timeoutMs);
}

// Listens at 300 baud: a short low pulse on the line reads as one of these
// bytes (the start bit and 7, 6, 4, 3 or 2 more low bits, then ones).
bool CPosixSerial::ProbeLine(unsigned timeoutMs)
{
    static constexpr unsigned char kPulses[] = {0xC0, 0xE0, 0xF8, 0xFC, 0xFE};
    const unsigned saved = GetBaud();
    SetBaud(300);
    try {
        for (int attempt = 0; attempt < 3; ++attempt) {
            FlushInput();
            unsigned char byte = 0;
            Read(&byte, 1, timeoutMs);
            for (unsigned char pulse : kPulses) {
                if (byte == pulse) {
                    SetBaud(saved);
                    return true;
                }
            }
        }
    } catch (const CError& error) {
        try {
            SetBaud(saved);
        } catch (const CError&) {
            // The port is failing already; the first error is the one to tell.
        }
        theErrorLog.Log("%s", error.GetText());
        throw CGenError(3, "General Communication Error");
    }
    SetBaud(saved);
    return false;
}
