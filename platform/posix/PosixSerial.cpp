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
#include "platform/CommTimerLoan.h"
#include "platform/SerialCommon.h"
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

void CPosixSerial::RaiseCommError(unsigned errors) { RaiseLineErrors(errors); }

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
    WaitForQueuedBytes(count, timeoutMs, GetByteTime(), [this] { return GetInQueue("WaitForBytesUnless"); });
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
    CCommTimerLoan timer;
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
    CCommTimerLoan timer;
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

bool CPosixSerial::ProbeLine(unsigned timeoutMs) { return ProbeLineAt300(*this, timeoutMs); }
