// The serial port against real pseudo-terminals: the test plays the radio
// and the interface box at the far end.
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "PtyFixture.h"
#include "platform/posix/PosixPaths.h"
#include "platform/posix/PosixSerial.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---------------------------------------------------------------------------
// Line settings

struct LineCase {
    unsigned baud;
    int parity;
    int stopBits;
    int charSize;
    speed_t speed;
    bool twoStopBits;  // as the terminal holds them (a pseudo-terminal keeps
                       // 8 data bits and no parity whatever is asked)
    int halfBits;     // one character on the line, in half bits
};

class LineSettingsTest : public PlatformTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineSettingsTest, OpenPortPutsARawBinaryLineInForce)
{
    const LineCase& c = GetParam();
    serial = platform.GetSerial();
    serial->SetConfig(c.baud, c.parity, c.stopBits, c.charSize);
    serial->OpenPort(kPort);

    termios t{};
    ASSERT_EQ(tcgetattr(pty.Far(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), c.speed);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStopBits);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | PARMRK), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    EXPECT_EQ(serial->GetBaud(), c.baud);
    EXPECT_EQ(serial->GetParity(), c.parity);
    EXPECT_EQ(serial->GetStopBits(), c.stopBits);
    EXPECT_EQ(serial->GetCharSize(), c.charSize);
    EXPECT_DOUBLE_EQ(serial->GetByteTime(), c.halfBits * 0.5 / c.baud);
}

INSTANTIATE_TEST_SUITE_P(
    Configs, LineSettingsTest,
    ::testing::Values(
        // The kit's line: 10 bit times, about 1.042 ms.
        LineCase{9600, kParityNone, kStopBitsOne, 8, B9600, false, 20},
        // 7 data bits, even parity, two stop bits: 11 bit times.
        LineCase{9600, kParityEven, kStopBitsTwo, 7, B9600, true, 22},
        LineCase{19200, kParityOdd, kStopBitsOne, 6, B19200, false, 18},
        // One and a half stop bits go out as two but are timed as 1.5.
        LineCase{1200, kParityNone, kStopBitsOneAndHalf, 5, B1200, true, 15}));

TEST_F(PlatformTest, SettersChangeTheOpenLineAndOpenPortRestoresTheConfiguredOne)
{
    CSerial& port = OpenSerial();
    pty.Send({1, 2, 3});
    port.SetBaud(300);
    port.SetStopBits(kStopBitsTwo);
    port.SetParity(kParityOdd);
    termios t{};
    ASSERT_EQ(tcgetattr(pty.Far(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B300));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(port.GetBaud(), 300u);
    EXPECT_EQ(port.GetParity(), kParityOdd);
    // Both queues were purged: nothing of the earlier input is left.
    EXPECT_EQ(Capture([&] { port.WaitForBytesUnless(1, 0); }).code, 2);

    port.OpenPort(kPort);
    ASSERT_EQ(tcgetattr(pty.Far(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(port.GetParity(), kParityNone);
}

TEST_F(PlatformTest, RefusedSettingsRaiseCode12AndKeepTheLineInForce)
{
    CSerial& port = OpenSerial();
    struct Case {
        std::function<void()> change;
        const char* text;
    } cases[] = {
        {[&] { port.SetBaud(12345); }, "CWinSerial::SetBaud: SetCommState returned false"},
        {[&] { port.SetCharSize(9); }, "CWinSerial::SetCharSize: SetCommState returned false"},
    };
    for (const Case& c : cases) {
        const Raised raised = Capture(c.change);
        EXPECT_EQ(raised.kind, "CCommError");
        EXPECT_EQ(raised.code, 12);
        EXPECT_EQ(raised.text, c.text);
    }
    EXPECT_EQ(port.GetBaud(), 9600u);
    EXPECT_EQ(port.GetCharSize(), 8);

    port.ClosePort();
    const Raised closed = Capture([&] { port.SetParity(kParityEven); });
    EXPECT_EQ(closed.code, 12);
    EXPECT_EQ(closed.text, "WinSerial::SetParity: SetCommState returned false");
}

TEST_F(PlatformTest, OpenPortRefusesALineOrADeviceItCannotSetUp)
{
    serial = platform.GetSerial();
    serial->SetConfig(12345, kParityNone, kStopBitsOne, 8);
    const Raised badBaud = Capture([&] { serial->OpenPort(kPort); });
    EXPECT_EQ(badBaud.code, 12);
    EXPECT_EQ(badBaud.text, "CWinSerial::OpenPort: SetCommState returned false");
    // The device stays held until ClosePort.
    EXPECT_EQ(serial->GetPortNumber(), kPort);

    BindPortDevice(kPort, "/dev/null");
    serial->SetConfig(9600, kParityNone, kStopBitsOne, 8);
    const Raised notATerminal = Capture([&] { serial->OpenPort(kPort); });
    EXPECT_EQ(notATerminal.code, 12);
    EXPECT_EQ(notATerminal.text, "CWinSerial::OpenPort: GetCommState returned false");
}

// ---------------------------------------------------------------------------
// Opening: the port map, missing and busy devices

TEST_F(PlatformTest, MissingDeviceRaisesCode1AndLogsWhy)
{
    BindPortDevice(7, "/nonexistent/ttyX");
    serial = platform.GetSerial();
    const Raised raised = Capture([&] { serial->OpenPort(7); });
    BindPortDevice(7, "");
    EXPECT_EQ(raised.kind, "CCommError");
    EXPECT_EQ(raised.code, 1);
    EXPECT_EQ(raised.text, "CWinSerial::Open: Unable to open com7");
    EXPECT_TRUE(Logged("/nonexistent/ttyX does not exist")) << platform.lines->back();
    EXPECT_EQ(serial->GetPortNumber(), 7u);
    serial->ClosePort();
    EXPECT_EQ(serial->GetPortNumber(), 0u);
}

TEST_F(PlatformTest, APortHeldByAnotherHolderIsRefused)
{
    OpenSerial();
    CPosixSerial other;
    other.SetConfig(9600, kParityNone, kStopBitsOne, 8);
    const Raised raised = Capture([&] { other.OpenPort(kPort); });
    EXPECT_EQ(raised.code, 1);
    EXPECT_EQ(raised.text, "CWinSerial::Open: Unable to open com3");
    EXPECT_TRUE(Logged("in use by another program"));

    // Once given back, the port can be had again.
    serial->ClosePort();
    other.OpenPort(kPort);
    EXPECT_EQ(other.GetPortNumber(), kPort);
}

TEST_F(PlatformTest, PermissionDeniedNamesTheGroupToJoin)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens every device";
    const std::string path = testing::TempDir() + "corvane_locked_device";
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    chmod(path.c_str(), 0);
    BindPortDevice(8, path);
    serial = platform.GetSerial();
    EXPECT_EQ(Capture([&] { serial->OpenPort(8); }).code, 1);
    BindPortDevice(8, "");
    std::remove(path.c_str());
    EXPECT_TRUE(Logged("the user must join the group"));
}

TEST(PortMapTest, BindingThenConfigLinkThenSerialDevice)
{
    const std::string saved = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    const std::filesystem::path config = std::filesystem::path(testing::TempDir()) / "corvane_xdg";
    std::filesystem::create_directories(config / "corvane");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(ConfigDirectory(), (config / "corvane").string());

    std::filesystem::remove(config / "corvane" / "com4");
    std::filesystem::create_symlink("/dev/ttyUSB0", config / "corvane" / "com4");
    EXPECT_EQ(PortDevicePath(4), (config / "corvane" / "com4").string());
    EXPECT_EQ(PortDevicePath(5), "/dev/ttyS4");
    EXPECT_EQ(PortDevicePath(0), "");
    BindPortDevice(4, "/dev/pts/99");
    EXPECT_EQ(PortDevicePath(4), "/dev/pts/99");
    BindPortDevice(4, "");
    EXPECT_EQ(PortDevicePath(4), (config / "corvane" / "com4").string());

    // A relative XDG_CONFIG_HOME is ignored.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(ConfigDirectory(), std::string(std::getenv("HOME")) + "/.config/corvane");

    std::filesystem::remove_all(config);
    if (saved.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

// ---------------------------------------------------------------------------
// Waiting for bytes and reading

struct WaitCase {
    unsigned count;
    unsigned timeoutMs;
    Bytes arriving;
    int code;
    const char* text;
    const char* allowance;  // the limit in character times, as logged
};

class WaitForBytesTest : public PlatformTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WaitForBytesTest, SilenceOfTheAllowanceEndsTheWait)
{
    const WaitCase& c = GetParam();
    CSerial& port = OpenSerial();
    if (!c.arriving.empty())
        pty.Send(c.arriving);
    const Raised raised = Capture([&] { port.WaitForBytesUnless(c.count, c.timeoutMs); });
    EXPECT_EQ(raised.kind, "CCommError");
    EXPECT_EQ(raised.code, c.code);
    EXPECT_EQ(raised.text, c.text);
    EXPECT_TRUE(Logged(std::string("Number of byteTime timeout = ") + c.allowance));
    // The comm timer was given back.
    EXPECT_NE(platform.GetCommTimer(), nullptr);
    platform.ReleaseCommTimer();
}

INSTANTIATE_TEST_SUITE_P(
    Allowance, WaitForBytesTest,
    ::testing::Values(
        // 110 ms are 105 character times: 5 bytes may be 21 apart, 1 byte 106.
        WaitCase{5, 110, {}, 2, "CWinSerial::WaitForBytesUnless: No data received when timeout", "21"},
        WaitCase{5, 110, {1, 2, 3}, 3, "CWinSerial::WaitForBytesUnless: Timeout after receiving 3 bytes", "21"},
        WaitCase{1, 110, {}, 2, "CWinSerial::WaitForBytesUnless: No data received when timeout", "106"},
        // A time-out of 0 still allows one character time.
        WaitCase{5, 0, {}, 2, "CWinSerial::WaitForBytesUnless: No data received when timeout", "1"}));

TEST_F(PlatformTest, ReadTakesExactlyTheBytesAlreadyWaitingWithoutDelay)
{
    CSerial& port = OpenSerial();
    pty.Send({0x10, 0x20, 0x30, 0x40, 0x50});
    unsigned char first[3] = {};
    port.Read(first, 3, 0);
    EXPECT_EQ(Bytes(first, first + 3), (Bytes{0x10, 0x20, 0x30}));
    unsigned char rest[2] = {};
    port.Read(rest, 2, 0);
    EXPECT_EQ(Bytes(rest, rest + 2), (Bytes{0x40, 0x50}));
}

TEST_F(PlatformTest, BytesTricklingInKeepTheWaitAlive)
{
    CSerial& port = OpenSerial();
    // One byte every 5 ms; 4000 ms for 4 bytes allow 960 character times
    // (1 s) between two bytes, far more than a busy machine holds them back.
    std::thread far([&] {
        for (unsigned char b = 1; b <= 4; ++b) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ASSERT_EQ(write(pty.Far(), &b, 1), 1);
        }
    });
    unsigned char got[4] = {};
    const Raised raised = Capture([&] { port.Read(got, 4, 4000); });
    far.join();
    EXPECT_EQ(raised.kind, "none") << raised.text;
    EXPECT_EQ(Bytes(got, got + 4), (Bytes{1, 2, 3, 4}));
}

struct TimeoutBoundCase {
    unsigned count;
    unsigned timeoutMs;
    bool accepted;
};

class ReadTimeoutBoundTest : public PlatformTest, public ::testing::WithParamInterface<TimeoutBoundCase> {};

TEST_P(ReadTimeoutBoundTest, LargestTimeoutIs60sOr250msPerByte)
{
    const TimeoutBoundCase& c = GetParam();
    CSerial& port = OpenSerial();
    pty.Send(Bytes(c.count, 0x5A));
    Bytes buffer(c.count);
    const Raised raised = Capture([&] { port.Read(buffer.data(), c.count, c.timeoutMs); });
    if (c.accepted) {
        EXPECT_EQ(raised.kind, "none") << raised.text;
        EXPECT_EQ(buffer, Bytes(c.count, 0x5A));
    } else {
        EXPECT_EQ(raised.kind, "CGenError");
        EXPECT_EQ(raised.code, 3);
        EXPECT_EQ(raised.text, "Timeout specified is too big");
        EXPECT_TRUE(Logged("Timeout is too big, timeout = " + std::to_string(c.timeoutMs)));
    }
}

INSTANTIATE_TEST_SUITE_P(Bounds, ReadTimeoutBoundTest,
                         ::testing::Values(TimeoutBoundCase{1, 60000, true}, TimeoutBoundCase{1, 60001, false},
                                           TimeoutBoundCase{241, 60250, true},
                                           TimeoutBoundCase{241, 60251, false}));

// ---------------------------------------------------------------------------
// Writing and the echo

TEST_F(PlatformTest, WriteSendsEveryByteAndChecksTheEchoInMode1)
{
    const Bytes frame{0x01, 0x02, 0x03, 0x04, 0x05};
    struct Case {
        Bytes echo;
        int code;
        const char* text;
    } cases[] = {
        {frame, 0, ""},
        {{0x01, 0x02, 0x03, 0x44, 0x55}, 11, "CWinSerial::Write: Echo byte 3 does not match transmitted character"},
        {{0x01, 0x02}, 3, "CWinSerial::WaitForBytesUnless: Timeout after receiving 2 bytes"},
    };
    CSerial& port = OpenSerial(1);
    for (const Case& c : cases) {
        // The interface box echoes ahead of the write; the write reads it back.
        pty.Send(c.echo);
        const Raised raised = Capture([&] { port.Write(frame.data(), frame.size(), 50); });
        EXPECT_EQ(raised.code, c.code);
        EXPECT_EQ(raised.text, c.text);
        EXPECT_EQ(pty.Drain(frame.size()), frame);
        port.FlushInput();
    }
}

TEST_F(PlatformTest, EchoModesOtherThan1ReadNoEcho)
{
    const Bytes frame{0xA5, 0x5A};
    for (unsigned char mode : {0, 2}) {
        CSerial& port = OpenSerial(mode);
        pty.Send({0x77});
        port.Write(frame.data(), frame.size(), 50);
        EXPECT_EQ(pty.Drain(frame.size()), frame);
        // What arrived is left for the next Read.
        unsigned char next = 0;
        port.Read(&next, 1, 0);
        EXPECT_EQ(next, 0x77);
        platform.ReleaseSerial();
        serial = nullptr;
    }
}

TEST_F(PlatformTest, WriteTimeoutTellsHowManyBytesWentOut)
{
    CSerial& port = OpenSerial();
    // Nobody reads the far end, so the buffers fill up.
    const Bytes lots(1 << 20, 0x33);
    const Raised raised = Capture([&] { port.Write(lots.data(), lots.size(), 100); });
    ASSERT_EQ(raised.code, 2);
    const std::string prefix = "CWinSerial::Write: Timeout after sending out ";
    ASSERT_EQ(raised.text.rfind(prefix, 0), 0u) << raised.text;
    const unsigned sent = std::stoul(raised.text.substr(prefix.size()));
    EXPECT_GT(sent, 0u);
    EXPECT_EQ(pty.Drain(sent).size(), sent);
}

// ---------------------------------------------------------------------------
// A device that goes away, a comm timer that cannot be had

TEST_F(PlatformTest, HangupDuringAReadEndsItPromptly)
{
    CSerial& port = OpenSerial();
    std::thread far([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pty.Hangup();
    });
    unsigned char byte = 0;
    const auto start = Clock::now();
    const Raised raised = Capture([&] { port.Read(&byte, 1, 20000); });
    far.join();
    EXPECT_LT(SecondsSince(start), 10.0);  // long before the 20 s time-out
    EXPECT_EQ(raised.kind, "CCommError");
    EXPECT_EQ(raised.code, 9);
    EXPECT_EQ(raised.text, "CPosixSerial::WaitForBytesUnless: Communication port com3 has gone away "
                           "(unplugged or hung up)");
}

TEST_F(PlatformTest, EveryOperationOnAHungUpDeviceFailsAtOnce)
{
    CSerial& port = OpenSerial();
    pty.Hangup();
    const unsigned char data[2] = {1, 2};
    unsigned char buffer[2] = {};
    const std::function<void()> operations[] = {
        [&] { port.Write(data, 2, 20000); },
        [&] { port.Read(buffer, 2, 20000); },
        [&] { port.WaitForBytesUnless(2, 20000); },
    };
    for (const auto& operation : operations) {
        const auto start = Clock::now();
        const Raised raised = Capture(operation);
        EXPECT_LT(SecondsSince(start), 10.0);  // long before the 20 s time-out
        EXPECT_EQ(raised.code, 9) << raised.text;
        EXPECT_NE(raised.text.find("has gone away"), std::string::npos) << raised.text;
    }
    EXPECT_NE(platform.GetCommTimer(), nullptr);
    platform.ReleaseCommTimer();
}

TEST_F(PlatformTest, RefusedCommTimerRaisesGenError1)
{
    CSerial& port = OpenSerial();
    ASSERT_NE(platform.GetCommTimer(), nullptr);
    const unsigned char data[1] = {1};
    unsigned char buffer[1] = {};
    const std::function<void()> operations[] = {
        [&] { port.WaitForBytesUnless(1, 10); },
        [&] { port.Read(buffer, 1, 10); },
        [&] { port.Write(data, 1, 10); },
    };
    for (const auto& operation : operations) {
        const Raised raised = Capture(operation);
        EXPECT_EQ(raised.kind, "CGenError");
        EXPECT_EQ(raised.code, 1);
        EXPECT_EQ(raised.text, "Unable to allocate timer object");
    }
    EXPECT_TRUE(Logged("CWinSerial::WaitForBytesUnless: Allocating timer to wait for bytes 1 bytes"));
    platform.ReleaseCommTimer();
}

// ---------------------------------------------------------------------------
// Line errors and the line probe

TEST(LineErrorTest, FirstMatchingErrorDecidesTheCode)
{
    struct Case {
        unsigned bits;
        int code;
        const char* text;
    } cases[] = {
        {kLineFrame | kLineParity, 7, "Framing error detected while accessing communication port"},
        {kLineBreak | kLineFrame, 10, "Break detected while accessing communication port"},
        {kLineOverrun | kLineParity, 8, "Overrun detected while accessing communication port"},
        {kLineParity | kLineRxOver, 6, "Parity error detected while accessing communication port"},
        {kLineRxOver, 5, "Communication port input buffer overflow"},
        {kLineTxFull, 4, "Communication port output buffer overflow"},
        {0x0200, 9, "Unknown IO error occured while accessing communication port"},
        {0, 0, ""},
    };
    for (const Case& c : cases) {
        const Raised raised = Capture([&] { CPosixSerial::RaiseCommError(c.bits); });
        EXPECT_EQ(raised.code, c.code) << c.bits;
        EXPECT_EQ(raised.text, c.text);
    }
}

TEST_F(PlatformTest, WaitForErrorOnAQuietLineTimesOut)
{
    CSerial& port = OpenSerial();
    EXPECT_FALSE(port.WaitForError(kLineFrame | kLineBreak, 10));
}

TEST_F(PlatformTest, ProbeLineListensAt300BaudAndRestoresTheRate)
{
    CSerial& port = OpenSerial();
    std::atomic<bool> heard{false};
    // Pulses every 10 ms until heard (for 10 s at most); each of the probe's
    // three listens lasts a second, however late a busy machine lets them come.
    std::thread far([&] {
        const unsigned char pulse = 0xF8;
        for (int i = 0; i < 1000 && !heard; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (write(pty.Far(), &pulse, 1) != 1)
                return;
        }
    });
    heard = port.ProbeLine(1000);
    far.join();
    EXPECT_TRUE(heard);
    EXPECT_EQ(port.GetBaud(), 9600u);

    const Raised raised = Capture([&] { port.ProbeLine(0); });
    EXPECT_EQ(raised.kind, "CGenError");
    EXPECT_EQ(raised.code, 3);
    EXPECT_EQ(raised.text, "General Communication Error");
    EXPECT_TRUE(Logged("CWinSerial::WaitForBytesUnless: No data received when timeout"));
    EXPECT_EQ(port.GetBaud(), 9600u);
}

}  // namespace
