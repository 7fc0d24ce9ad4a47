#include "sbep/SbepComm.h"

#include <gtest/gtest.h>

#include "tests/support/Frames.h"
#include "tests/support/JobTexts.h"
#include "tests/support/TestPlatform.h"

using namespace testing_support;

namespace {

using Lines = std::vector<std::string>;

const Bytes kRequest = kStatusRequest;
const Bytes kReply = StatusReply(0, "ABC");  // F5 8B 00 41 42 43 B9

const std::string kTimeout = "CScriptedSerial::Read: Timeout after receiving 0 bytes";
const std::string kEchoMismatch = "CScriptedSerial::Write: Echo byte 0 does not match";

// The log of a run of attempts: each attempt's lines, the retry line before
// every attempt after the first, and the closing line when all failed.
std::vector<std::string> AttemptLog(const std::vector<std::vector<std::string>>& attempts,
                                    bool exhausted)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        if (i > 0)
            lines.push_back(RetryLine(int(i)));
        lines.insert(lines.end(), attempts[i].begin(), attempts[i].end());
    }
    if (exhausted)
        lines.push_back(kExhausted);
    return lines;
}

Bytes FrameOf(const CSbepMessage& message)
{
    SbepMessageInfo info;
    message.GetInfo(info);
    return Bytes(message.GetFrame(), message.GetFrame() + info.totalLength);
}

// An extended Radio Status reply whose header announces `announced` bytes
// after the four-byte header, all of them sent.
Bytes ExtendedReply(unsigned announced)
{
    Bytes frame{0xFF, 0x8B, std::uint8_t(announced >> 8), std::uint8_t(announced & 0xFF), 0x00};
    frame.resize(4 + announced - 1, 'A');
    return Framed(frame);
}

struct ExchangeCase {
    const char* name;
    std::vector<Answer> answers;
    unsigned char expectReply;
    int result;
    std::vector<std::string> log;
    Bytes messageAfter;  // the caller's message after the exchange
};

void PrintTo(const ExchangeCase& c, std::ostream* os) { *os << c.name; }

class ExchangeTest : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(ExchangeTest, ResultLogAndMessage)
{
    const ExchangeCase& c = GetParam();
    CTestEnvironment env;
    env.platform.serial.answers.assign(c.answers.begin(), c.answers.end());
    CSbepComm comm;
    comm.byteTimeout = 250;
    comm.retryCount = 4;
    comm.replyTimeout = 750;
    comm.postDelay = 10;
    comm.Open(1, 0);
    CSbepMessage message;
    const std::uint8_t item = 0;
    message.Build(0x23, &item, 1);

    EXPECT_EQ(comm.SendCommand(message, c.expectReply), c.result);
    EXPECT_EQ(env.Lines(), c.log);
    EXPECT_EQ(FrameOf(message), c.messageAfter);
    for (const Bytes& written : env.platform.serial.written)
        EXPECT_EQ(written, kRequest);
    // Every read stays within the receive area.
    for (unsigned count : env.platform.serial.reads)
        EXPECT_LE(count, kSbepReceiveMax - 4);
    comm.Close();
}

const Bytes kBadChecksum{0x00, 0xF5, 0x8B, 0x00, 0x41, 0x42, 0x43, 0xB8};

INSTANTIATE_TEST_SUITE_P(
    Transport, ExchangeTest,
    ::testing::Values(
        ExchangeCase{"Silence", Times(4, Silence()), 1, 5,
                     AttemptLog(Times<Lines>(4, {kTimeout, kWhileAck}), true), kRequest},
        ExchangeCase{"NakEveryAttempt", Times(4, Reply({0x60})), 1, 1,
                     AttemptLog(Times<Lines>(4, {kNakText}), true), kRequest},
        ExchangeCase{"BadChecksumEveryAttempt", Times(4, Reply(kBadChecksum)), 1, 4,
                     AttemptLog(Times<Lines>(4, {kCorruptedText, kWhileReply, "F58B00414243B8"}),
                                true),
                     kRequest},
        ExchangeCase{"ReplyStopsAfterHeader", Times(4, Reply({0x00, 0xF5})), 1, 5,
                     AttemptLog(Times<Lines>(4, {kTimeout, kWhileReply, "F5"}), true), kRequest},
        ExchangeCase{"WriteFails", Times(4, FailedWrite()), 1, 5,
                     AttemptLog(Times<Lines>(4, {kEchoMismatch, kWhileSending, "F22300EA"}), true),
                     kRequest},
        ExchangeCase{"FirstFailsThenSucceeds", {Silence(), Reply(Acked(kReply))}, 1, 0,
                     AttemptLog({{kTimeout, kWhileAck}, {}}, false), kReply},
        ExchangeCase{"StaleBytesAreDiscarded", {Reply({0x60, 0x99, 0x99}), Reply(Acked(kReply))},
                     1, 0, AttemptLog({{kNakText}, {}}, false), kReply},
        ExchangeCase{"NoReplyExpected", {Reply({0x00})}, 0, 0, {}, kRequest},
        ExchangeCase{"OversizedExtendedReplyRefusedUnread",
                     Times(4, Reply(Acked(ExtendedReply(509)))), 1, 4,
                     AttemptLog(Times<Lines>(4, {"CSbepComm::ReadReply: Reply announces 513 "
                                                 "bytes, more than the receive area of 512 bytes",
                                          kCorruptedText, kWhileReply, "FF8B01FD"}),
                                true),
                     kRequest},
        ExchangeCase{"LargestExtendedReplyFits", {Reply(Acked(ExtendedReply(508)))}, 1, 0, {},
                     ExtendedReply(508)}),
    [](const auto& info) { return std::string(info.param.name); });

class TransportTest : public ::testing::Test {
protected:
    CTestEnvironment env;
    CScriptedSerial& serial = env.platform.serial;
};

TEST_F(TransportTest, OpenConfiguresThePortAndCloseGivesItBack)
{
    for (unsigned char echo : {0, 1}) {
        CSbepComm comm;
        comm.Open(3, echo);
        EXPECT_TRUE(comm.IsOpen());
        EXPECT_EQ(serial.GetEcho(), echo);
        EXPECT_EQ(serial.openedPort, 3u);
        EXPECT_EQ(serial.configuredBaud, 9600u);
        EXPECT_EQ(serial.configuredParity, kParityNone);
        EXPECT_EQ(serial.configuredStopBits, kStopBitsOne);
        EXPECT_EQ(serial.configuredCharSize, 8);
        EXPECT_EQ(env.platform.GetSerial(), nullptr) << "the port is lent while open";
        comm.Close();
        EXPECT_FALSE(comm.IsOpen());
        EXPECT_EQ(serial.openedPort, 0u);
        ASSERT_EQ(env.platform.GetSerial(), &serial);
        env.platform.ReleaseSerial();
    }
}

TEST_F(TransportTest, FailedOpenRaisesAndCloseStillGivesThePortBack)
{
    serial.failOpen = true;
    CSbepComm comm;
    try {
        comm.Open(7, 1);
        FAIL() << "Open succeeded";
    } catch (const CGenError& e) {
        EXPECT_EQ(e.GetCode(), 3);
        EXPECT_STREQ(e.GetText(), "Unable to open communication port");
    }
    EXPECT_EQ(env.Lines(), std::vector<std::string>{"CScriptedSerial::Open: Unable to open com7"});
    EXPECT_EQ(env.platform.GetSerial(), nullptr);
    comm.Close();
    EXPECT_EQ(env.platform.GetSerial(), &serial);
}

TEST_F(TransportTest, RefusedPortObjectRaisesWithoutTakingAnotherHoldersLoan)
{
    ASSERT_EQ(env.platform.GetSerial(), &serial);  // someone else holds it
    CSbepComm comm;
    try {
        comm.Open(1, 1);
        FAIL() << "Open succeeded";
    } catch (const CGenError& e) {
        EXPECT_EQ(e.GetCode(), 2);
        EXPECT_STREQ(e.GetText(), "Unable to allocate serial comm object");
    }
    comm.Close();
    EXPECT_EQ(env.platform.GetSerial(), nullptr) << "Close gave back a loan it never had";
}

TEST_F(TransportTest, DestructorClosesAnOpenPort)
{
    {
        CSbepComm comm;
        comm.Open(2, 0);
    }
    EXPECT_EQ(env.platform.GetSerial(), &serial);
}

TEST_F(TransportTest, UsesTheTimeoutsOfItsSettingsAndPausesAfterSuccess)
{
    serial.answers = {Reply(Acked(kReply))};
    CSbepComm comm;
    comm.byteTimeout = 250;
    comm.ackTimeout = 100;
    comm.replyTimeout = 750;
    comm.postDelay = 10;
    comm.Open(1, 0);
    CSbepMessage message;
    message.BuildEmpty(0x10);
    ASSERT_EQ(comm.SendCommand(message, 1), 0);
    // ack, the reply's header byte, then opcode, item, text and checksum
    EXPECT_EQ(serial.reads, (std::vector<unsigned>{1, 1, 6}));
    EXPECT_EQ(serial.readTimeouts, (std::vector<unsigned>{100, 750, 6 * 250}));
    EXPECT_EQ(env.platform.generalTimer.delays, std::vector<double>{0.010});
    ASSERT_NE(env.platform.GetTimer(), nullptr) << "the timer was given back";
    env.platform.ReleaseTimer();
    comm.Close();
}

TEST_F(TransportTest, GeneralErrorsLeaveAtOnceWithoutRetryOrLog)
{
    CSbepComm comm;
    comm.retryCount = 4;
    comm.byteTimeout = 250;
    comm.Open(1, 0);
    CSbepMessage message;
    message.BuildEmpty(0x10);

    serial.answers = {GenErrorOnRead()};
    EXPECT_THROW(comm.SendCommand(message, 1), CGenError);
    EXPECT_EQ(serial.written.size(), 1u);
    EXPECT_TRUE(env.Lines().empty());

    // A refused timer: the pause after a good exchange cannot be made.
    ASSERT_NE(env.platform.GetTimer(), nullptr);
    serial.answers = {Reply({0x00})};
    try {
        comm.SendCommand(message, 0);
        FAIL() << "SendCommand succeeded";
    } catch (const CGenError& e) {
        EXPECT_EQ(e.GetCode(), 1);
        EXPECT_STREQ(e.GetText(), "Unable to allocate timer object");
    }
    EXPECT_EQ(env.platform.GetTimer(), nullptr) << "the other holder's loan was given back";
    env.platform.ReleaseTimer();

    // The transport stays usable.
    serial.answers = {Reply({0x00})};
    EXPECT_EQ(comm.SendCommand(message, 0), 0);
    comm.Close();
}

}  // namespace
