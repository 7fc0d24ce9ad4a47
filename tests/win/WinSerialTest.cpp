// The COM port under test is COM5; the test runner joins it to COM6, the far
// end, with a null-modem cable of two pseudo-terminals.
//
// Wine on a pseudo-terminal differs from a real COM port in ways these tests
// do not assert: a second open of a port succeeds (no exclusive access), DTR
// and RTS read back wrong, and a port whose device is missing still opens
// (its configuration calls then fail).
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "platform/win/WinSerial.h"
#include "tests/win/FarEnd.h"

namespace {

using Bytes = std::vector<unsigned char>;

template <class Error>
void ExpectRaises(const std::function<void()>& operation, int code, const std::string& text)
{
    try {
        operation();
        ADD_FAILURE() << "nothing raised; expected code " << code << " " << text;
    } catch (const Error& error) {
        EXPECT_EQ(error.GetCode(), code);
        EXPECT_EQ(std::string(error.GetText()), text);
    }
}

// Every operation gives the comm timer back on every path, also when it
// raises; each test ends by checking that the timer is free.
class CommTimerFreeAfterwards : public ::testing::Test {
protected:
    void TearDown() override
    {
        CTimerCtrl* timer = thePlatform->GetCommTimer();
        EXPECT_NE(timer, nullptr) << "the comm timer was not given back";
        if (timer != nullptr)
            thePlatform->ReleaseCommTimer();
    }
};

class WinSerialOnCable : public CommTimerFreeAfterwards {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(farEnd.IsOpen()) << "COM6 missing: run through scripts/wine-run.sh --null-modem";
        port.SetConfig(9600, kParityNone, kStopBitsOne, 8);
        port.OpenPort(5);
    }

    CFarEnd farEnd;
    CWinSerial port;
};

TEST_F(WinSerialOnCable, OpensWithTheConfiguredLineAndFixedSettings)
{
    EXPECT_EQ(port.GetPortNumber(), 5u);
    EXPECT_STREQ(port.GetDeviceName(), "COM5");
    EXPECT_EQ(port.GetBaud(), 9600u);
    EXPECT_EQ(port.GetParity(), kParityNone);
    EXPECT_EQ(port.GetStopBits(), kStopBitsOne);
    EXPECT_EQ(port.GetCharSize(), 8);
    const DCB& dcb = port.GetDcb();
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 0u);
    const unsigned flowAndReplacement = dcb.fOutxCtsFlow | dcb.fOutxDsrFlow | dcb.fDsrSensitivity |
                                        dcb.fTXContinueOnXoff | dcb.fOutX | dcb.fInX | dcb.fErrorChar |
                                        dcb.fNull | dcb.fAbortOnError;
    EXPECT_EQ(flowAndReplacement, 0u);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
    EXPECT_EQ(dcb.EofChar, 10);
    EXPECT_EQ(dcb.XonChar | dcb.XoffChar | dcb.ErrorChar | dcb.EvtChar, 0);
    EXPECT_EQ(dcb.XonLim | dcb.XoffLim, 0);
}

TEST_F(WinSerialOnCable, CloseForgetsTheNumberAndTheNameAndTheSettingsSurvive)
{
    port.SetEcho(1);
    port.ClosePort();
    EXPECT_EQ(port.GetPortNumber(), 0u);
    EXPECT_EQ(std::memcmp(port.GetDeviceName(), "\0\0\0\0\0\0\0\0\0\0", 10), 0);
    port.OpenPort(5);
    EXPECT_EQ(port.GetEcho(), 1);
    EXPECT_EQ(port.GetBaud(), 9600u);
}

TEST_F(WinSerialOnCable, GivingThePlatformsPortBackClosesIt)
{
    port.ClosePort();
    CSerial* lent = thePlatform->GetSerial();
    ASSERT_NE(lent, nullptr);
    lent->SetConfig(9600, kParityNone, kStopBitsOne, 8);
    lent->OpenPort(5);
    EXPECT_EQ(lent->GetPortNumber(), 5u);
    thePlatform->ReleaseSerial();
    EXPECT_EQ(lent->GetPortNumber(), 0u);
}

TEST_F(WinSerialOnCable, EveryByteValueCrossesTheLineUnchangedBothWays)
{
    Bytes all(256);
    for (unsigned i = 0; i < all.size(); ++i)
        all[i] = static_cast<unsigned char>(i);

    port.Write(all.data(), static_cast<unsigned>(all.size()), 2000);
    EXPECT_EQ(farEnd.Receive(all.size()), all);

    farEnd.Send(all);
    Bytes got(all.size());
    port.Read(got.data(), static_cast<unsigned>(got.size()), 2000);
    EXPECT_EQ(got, all);
}

TEST_F(WinSerialOnCable, ReadRefusesTimeOutsAboveSixtySecondsOrAQuarterSecondPerByte)
{
    const struct {
        unsigned count;
        unsigned timeoutMs;
        bool accepted;
    } cases[] = {{1, 60000, true}, {1, 60001, false}, {241, 60250, true}, {241, 60251, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " bytes, " + std::to_string(c.timeoutMs) + " ms");
        Bytes got(c.count);
        if (!c.accepted) {
            ExpectRaises<CGenError>([&] { port.Read(got.data(), c.count, c.timeoutMs); }, 3,
                                    "Timeout specified is too big");
            continue;
        }
        const Bytes sent(c.count, 0x5A);
        farEnd.Send(sent);
        port.Read(got.data(), c.count, c.timeoutMs);
        EXPECT_EQ(got, sent);
    }
}

struct WaitCase {
    const char* name;
    unsigned waiting;  // bytes the far end has sent before the wait
    unsigned count;
    unsigned timeoutMs;
    int code;  // 0: the wait succeeds
    const char* text;
};

class WinSerialWait : public WinSerialOnCable, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WinSerialWait, EndsWhenTheBytesAreThereOrTheLineFallsSilent)
{
    const WaitCase& c = GetParam();
    farEnd.Send(Bytes(c.waiting, 0x41));
    CFarEnd::Settle();
    if (c.code == 0) {
        port.WaitForBytesUnless(c.count, c.timeoutMs);
        return;
    }
    const DWORD start = GetTickCount();
    ExpectRaises<CCommError>([&] { port.WaitForBytesUnless(c.count, c.timeoutMs); }, c.code, c.text);
    EXPECT_LT(GetTickCount() - start, 5000u);
}

// 5 bytes in 110 ms at 9600 baud: a silence of 21 character times (22 ms)
// ends the wait. A time-out of 0 still allows one character time.
INSTANTIATE_TEST_SUITE_P(
    Cases, WinSerialWait,
    ::testing::Values(
        WaitCase{"AlreadyWaiting", 5, 5, 0, 0, ""},
        WaitCase{"MoreThanAsked", 7, 5, 110, 0, ""},
        WaitCase{"NothingReceived", 0, 5, 110, 2, "CWinSerial::WaitForBytesUnless: No data received when timeout"},
        WaitCase{"NothingWithTimeOutZero", 0, 1, 0, 2,
                 "CWinSerial::WaitForBytesUnless: No data received when timeout"},
        WaitCase{"ThreeOfFive", 3, 5, 110, 3, "CWinSerial::WaitForBytesUnless: Timeout after receiving 3 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

struct EchoCase {
    const char* name;
    unsigned char echoMode;
    Bytes echo;  // what the far end sends back before the write
    int code;    // 0: the write succeeds
    const char* text;
};

class WinSerialEcho : public WinSerialOnCable, public ::testing::WithParamInterface<EchoCase> {};

TEST_P(WinSerialEcho, WriteChecksTheEchoOnlyInEchoModeOne)
{
    const EchoCase& c = GetParam();
    const Bytes data = {0x01, 0x02, 0x03, 0x04, 0x05};
    port.SetEcho(c.echoMode);
    farEnd.Send(c.echo);
    CFarEnd::Settle();
    if (c.code == 0)
        port.Write(data.data(), static_cast<unsigned>(data.size()), 500);
    else
        ExpectRaises<CCommError>([&] { port.Write(data.data(), static_cast<unsigned>(data.size()), 500); },
                                 c.code, c.text);
    EXPECT_EQ(farEnd.Receive(data.size()), data);

    // Without echo checking nothing was read: what the far end sent is still
    // there. With it, the echo was taken.
    if (c.echoMode != 1 && !c.echo.empty()) {
        Bytes left(c.echo.size());
        port.Read(left.data(), static_cast<unsigned>(left.size()), 500);
        EXPECT_EQ(left, c.echo);
    } else if (c.code == 0) {
        ExpectRaises<CCommError>([&] { port.WaitForBytesUnless(1, 20); }, 2,
                                 "CWinSerial::WaitForBytesUnless: No data received when timeout");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WinSerialEcho,
    ::testing::Values(
        EchoCase{"EchoMatches", 1, {0x01, 0x02, 0x03, 0x04, 0x05}, 0, ""},
        EchoCase{"FourthEchoByteDiffers", 1, {0x01, 0x02, 0x03, 0x44, 0x05}, 11,
                 "CWinSerial::Write: Echo byte 3 does not match transmitted character"},
        EchoCase{"NoEchoArrives", 1, {}, 2, "CWinSerial::WaitForBytesUnless: No data received when timeout"},
        EchoCase{"ModeZeroReadsNoEcho", 0, {0x77, 0x78}, 0, ""},
        EchoCase{"ModeTwoReadsNoEcho", 2, {0x77, 0x78}, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinSerialOnCable, SetBaudChangesTheOpenLineAndPurgesButOpenUsesTheConfiguredRateAgain)
{
    farEnd.Send({0x10, 0x20, 0x30});
    CFarEnd::Settle();
    port.SetBaud(300);
    EXPECT_EQ(port.GetBaud(), 300u);
    ExpectRaises<CCommError>([&] { port.WaitForBytesUnless(1, 0); }, 2,
                             "CWinSerial::WaitForBytesUnless: No data received when timeout");
    port.OpenPort(5);
    EXPECT_EQ(port.GetBaud(), 9600u);
}

TEST_F(WinSerialOnCable, CharacterTimeFollowsTheLineSettings)
{
    const struct {
        int parity;
        int stopBits;
        int charSize;
        double bitTimes;
    } cases[] = {
        {kParityNone, kStopBitsOne, 8, 10},
        {kParityEven, kStopBitsTwo, 7, 11},
        {kParityOdd, kStopBitsOne, 8, 11},
    };
    for (const auto& c : cases) {
        port.SetConfig(9600, c.parity, c.stopBits, c.charSize);
        port.OpenPort(5);
        EXPECT_DOUBLE_EQ(port.GetByteTime(), c.bitTimes / 9600) << c.bitTimes << " bit times";
        EXPECT_EQ(port.GetParity(), c.parity);
        EXPECT_EQ(port.GetStopBits(), c.stopBits);
        EXPECT_EQ(port.GetCharSize(), c.charSize);
    }
}

TEST_F(WinSerialOnCable, WaitForErrorIsFalseWhenTheLineReportsNothing)
{
    EXPECT_FALSE(port.WaitForError(CE_FRAME | CE_BREAK, 20));
}

struct ProbeCase {
    const char* name;
    int sends;  // how often the far end sends `byte`, every 30 ms
    unsigned char byte;
    int outcome;  // 1 found, 0 not found, -1 raises
};

class WinSerialProbe : public WinSerialOnCable, public ::testing::WithParamInterface<ProbeCase> {};

TEST_P(WinSerialProbe, ListensAtThreeHundredBaudAndRestoresTheRate)
{
    const ProbeCase& c = GetParam();
    // The probe purges the queue before each attempt, so the far end speaks
    // only once the probe listens.
    std::thread speaker([&] {
        for (int i = 0; i < c.sends; ++i) {
            Sleep(30);
            farEnd.Send({c.byte});
        }
    });
    if (c.outcome < 0)
        ExpectRaises<CGenError>([&] { port.ProbeLine(100); }, 3, "General Communication Error");
    else
        EXPECT_EQ(port.ProbeLine(1000), c.outcome == 1);
    speaker.join();
    EXPECT_EQ(port.GetBaud(), 9600u);
}

INSTANTIATE_TEST_SUITE_P(Cases, WinSerialProbe,
                         ::testing::Values(ProbeCase{"PulseHeard", 1, 0xE0, 1},
                                           ProbeCase{"ThreeOtherBytes", 12, 0x55, 0},
                                           ProbeCase{"Silence", 0, 0, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommTimerFreeAfterwards, OpeningAPortThatDoesNotExistRaisesCodeOneAndKeepsTheNumber)
{
    CWinSerial port;
    port.SetConfig(9600, kParityNone, kStopBitsOne, 8);
    ExpectRaises<CCommError>([&] { port.OpenPort(250); }, 1, "CWinSerial::Open: Unable to open com250");
    EXPECT_EQ(port.GetPortNumber(), 250u);
    port.ClosePort();
    EXPECT_EQ(port.GetPortNumber(), 0u);
}

TEST_F(CommTimerFreeAfterwards, SettersOnAPortThatIsNotOpenRaiseCodeTwelve)
{
    CWinSerial port;
    const struct {
        std::function<void()> set;
        const char* text;
    } cases[] = {
        {[&] { port.SetStopBits(kStopBitsTwo); }, "CWinSerial::SetStopBits: SetCommState returned false"},
        {[&] { port.SetCharSize(7); }, "CWinSerial::SetCharSize: SetCommState returned false"},
        {[&] { port.SetParity(kParityEven); }, "WinSerial::SetParity: SetCommState returned false"},
        {[&] { port.SetBaud(300); }, "CWinSerial::SetBaud: SetCommState returned false"},
    };
    for (const auto& c : cases)
        ExpectRaises<CCommError>(c.set, 12, c.text);
}

TEST_F(CommTimerFreeAfterwards, ARefusedCommTimerIsAGeneralErrorOne)
{
    CWinSerial port;
    unsigned char buffer[4] = {1, 2, 3, 4};
    const std::function<void()> operations[] = {
        [&] { port.Read(buffer, 4, 100); },
        [&] { port.Write(buffer, 4, 100); },
        [&] { port.WaitForBytesUnless(4, 100); },
        [&] { port.WaitForError(CE_FRAME, 100); },
    };
    ASSERT_NE(thePlatform->GetCommTimer(), nullptr);
    for (const auto& operation : operations)
        ExpectRaises<CGenError>(operation, 1, "Unable to allocate timer object");
    thePlatform->ReleaseCommTimer();
}

TEST(WinSerialLineErrors, TheFirstMatchingBitDecidesTheError)
{
    const struct {
        DWORD bits;
        int code;
        const char* text;
    } cases[] = {
        {CE_BREAK | CE_FRAME, 10, "Break detected while accessing communication port"},
        {CE_FRAME | CE_RXPARITY, 7, "Framing error detected while accessing communication port"},
        {CE_OVERRUN | CE_RXPARITY, 8, "Overrun detected while accessing communication port"},
        {CE_RXPARITY, 6, "Parity error detected while accessing communication port"},
        {CE_RXOVER | CE_TXFULL, 5, "Communication port input buffer overflow"},
        {CE_TXFULL, 4, "Communication port output buffer overflow"},
        {CE_MODE, 9, "Unknown IO error occured while accessing communication port"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        ExpectRaises<CCommError>([&] { CWinSerial::RaiseCommError(c.bits); }, c.code, c.text);
    }
    EXPECT_NO_THROW(CWinSerial::RaiseCommError(0));
}

}  // namespace
