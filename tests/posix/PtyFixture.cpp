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
    // Opened before the kit opens (and locks) the device: it only looks at
    // the device's input queue.
    queueWatch_ = open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (queueWatch_ < 0)
        throw std::runtime_error("cannot open " + devicePath_);
}

CPty::~CPty()
{
    Hangup();
    close(queueWatch_);
}

void CPty::Hangup()
{
    if (far_ >= 0)
        close(far_);
    far_ = -1;
}

namespace {

// How long the test waits for bytes on their way through the terminal; a
// busy machine can take a while, and every wait ends once they are there.
constexpr auto kPatience = std::chrono::seconds(10);

}  // namespace

void CPty::Send(const Bytes& bytes)
{
    int before = 0;
    ioctl(queueWatch_, FIONREAD, &before);
    ASSERT_EQ(write(far_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    // The bytes reach the device's input queue a moment later.
    const auto limit = std::chrono::steady_clock::now() + kPatience;
    for (int waiting = before; waiting < before + static_cast<int>(bytes.size()) &&
                               std::chrono::steady_clock::now() < limit;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (ioctl(queueWatch_, FIONREAD, &waiting) != 0)
            break;
    }
}

Bytes CPty::Drain(std::size_t expected)
{
    Bytes all;
    unsigned char chunk[4096];
    const auto limit = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        // Patient until the expected bytes are in, then only while more follow at once.
        const bool patient = all.size() < expected && std::chrono::steady_clock::now() < limit;
        pollfd ready{far_, POLLIN, 0};
        if (poll(&ready, 1, patient ? 100 : 20) <= 0 || !(ready.revents & POLLIN)) {
            if (patient)
                continue;
            break;
        }
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
