#include "PtyFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/posix/PosixSerial.h"

CPty::CPty()
{
    far_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (far_ < 0 || grantpt(far_) != 0 || unlockpt(far_) != 0 || ptsname(far_) == nullptr)
        throw std::runtime_error("no pseudo-terminal");
    devicePath_ = ptsname(far_);
}

CPty::~CPty() { Hangup(); }

void CPty::Hangup()
{
    if (far_ >= 0)
        close(far_);
    far_ = -1;
}

void CPty::Send(const Bytes& bytes)
{
    ASSERT_EQ(write(far_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    // The bytes reach the device's queue shortly after.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

Bytes CPty::Drain()
{
    Bytes all;
    unsigned char chunk[4096];
    pollfd ready{far_, POLLIN, 0};
    while (poll(&ready, 1, 20) > 0 && (ready.revents & POLLIN)) {
        const ssize_t n = read(far_, chunk, sizeof chunk);
        if (n <= 0)
            break;
        all.insert(all.end(), chunk, chunk + n);
    }
    return all;
}

PlatformTest::PlatformTest()
{
    theErrorLog.SetPrimaryOutput(1);
    BindPortDevice(kPort, pty.DevicePath());
}

PlatformTest::~PlatformTest()
{
    if (serial != nullptr)
        platform.ReleaseSerial();
    BindPortDevice(kPort, "");
    theErrorLog.SetPrimaryOutput(0);
}

bool PlatformTest::Logged(const std::string& part) const
{
    for (const std::string& line : *platform.lines) {
        if (line.find(part) != std::string::npos)
            return true;
    }
    return false;
}

CSerial& PlatformTest::OpenSerial(unsigned char echo)
{
    serial = platform.GetSerial();
    serial->SetEcho(echo);
    serial->SetConfig(9600, kParityNone, kStopBitsOne, 8);
    serial->OpenPort(kPort);
    return *serial;
}
