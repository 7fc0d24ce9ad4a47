#include "sbep/SbepBroker.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/Frames.h"
#include "tests/support/JobTexts.h"
#include "tests/support/TestPlatform.h"

using namespace testing_support;

namespace {


// A broker on an open port of a test platform with product line `line`.
class BrokerTest : public ::testing::Test {
protected:
    explicit BrokerTest(int line = 0) : env(line) {}
    void SetUp() override
    {
        ResetRecoveryFlags();
        broker.comm.Open(1, 1);
        broker.portOpen = 1;
    }
    void TearDown() override { ResetRecoveryFlags(); }

    void Script(std::vector<Answer> answers)
    {
        env.platform.serial.answers.assign(answers.begin(), answers.end());
    }
    std::string ReadModel(std::size_t capacity = 17)
    {
        std::vector<char> text(capacity, 'x');
        broker.RadioStatusRequest(0, text.data(), capacity);
        return std::string(text.data());
    }
    // Runs `operation`, expecting a CSbepError; returns its code and text.
    template <class F> std::pair<int, std::string> SbepErrorOf(F operation)
    {
        try {
            operation();
        } catch (const CSbepError& e) {
            return {e.GetCode(), e.GetText()};
        }
        ADD_FAILURE() << "no CSbepError";
        return {0, ""};
    }
    const std::vector<Bytes>& Written() const { return env.platform.serial.written; }

    CTestEnvironment env;
    CSbepBroker broker;
};

TEST_F(BrokerTest, ConstructorSetsTheTransportSettings)
{
    CSbepBroker fresh;
    EXPECT_EQ(fresh.comm.retryCount, 4);
    EXPECT_EQ(fresh.comm.ackTimeout, 100);
    EXPECT_EQ(fresh.comm.replyTimeout, 750);
    EXPECT_EQ(fresh.comm.byteTimeout, 250);
    EXPECT_EQ(fresh.comm.postDelay, 10);
    EXPECT_EQ(fresh.portOpen, 0);
}

TEST_F(BrokerTest, DestructorClosesThePortTheFormLeftOpen)
{
    auto other = std::make_unique<CSbepBroker>();
    broker.comm.Close();
    other->comm.Open(1, 0);
    other->portOpen = 1;
    other.reset();
    EXPECT_EQ(env.platform.GetSerial(), &env.platform.serial);
    env.platform.ReleaseSerial();
    broker.comm.Open(1, 1);
}

TEST_F(BrokerTest, RadioStatusRequestReadsTheModelNumber)
{
    Script({Reply(Acked({0xF5, 0x8B, 0x00, 0x41, 0x42, 0x43, 0xB9}))});
    EXPECT_EQ(ReadModel(), "ABC");
    EXPECT_EQ(Written(), (std::vector<Bytes>{{0xF2, 0x23, 0x00, 0xEA}}));
}

TEST_F(BrokerTest, RadioStatusTextIsCutToTheCapacity)
{
    Script({Reply(Acked(StatusReply(0, "ABCDEFGHIJKLMNOPQRST")))});
    EXPECT_EQ(ReadModel(5), "ABCD");
    Script({Reply(Acked(StatusReply(0, "ABCDEFGHIJKLMNOPQRST")))});
    EXPECT_EQ(ReadModel(17), "ABCDEFGHIJKLMNOP");
}

struct FailureCase {
    const char* name;
    std::vector<Answer> answers;
    int code;
    std::string text;
    std::vector<std::string> brokerLog;  // lines the broker adds at the end
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class RadioStatusFailureTest : public BrokerTest,
                               public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RadioStatusFailureTest, RaisesTheCodeAndText)
{
    const FailureCase& c = GetParam();
    Script(c.answers);
    EXPECT_EQ(SbepErrorOf([&] { ReadModel(); }), std::make_pair(c.code, c.text));
    const auto lines = env.Lines();
    ASSERT_GE(lines.size(), c.brokerLog.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - long(c.brokerLog.size()), lines.end()),
              c.brokerLog);
    EXPECT_TRUE(env.boxes.shown.empty());
}

std::vector<Answer> Four(const Answer& a) { return Times(4, a); }

INSTANTIATE_TEST_SUITE_P(
    Broker, RadioStatusFailureTest,
    ::testing::Values(
        FailureCase{"UnsupportedOpcode", {Reply(Acked(ShortFrame(0x86, {})))}, 2,
                    "Received Unsupported Opcode reply from external device", {}},
        FailureCase{"Nak", Four(Reply({0x60})), 1, "Received NACK from external device", {}},
        FailureCase{"Checksum",
                    Four(Reply({0x00, 0xF5, 0x8B, 0x00, 0x41, 0x42, 0x43, 0xB8})), 4,
                    "Reply from external device contained checksum error", {}},
        FailureCase{"Silence", Four(Silence()), 5, kTimeoutText,
                    {kExhausted}},
        FailureCase{"WrongItem", {Reply(Acked(StatusReply(1, "ABC")))}, 3, kBadStatusText,
                    {"CSbepBroker::RadioStatusRequest: " + kBadStatusText, "F58B01414243B8"}},
        FailureCase{"WrongOpcode", {Reply(Acked(ShortFrame(0x8C, {0x00, 0x41})))}, 3,
                    kBadStatusText,
                    {"CSbepBroker::RadioStatusRequest: " + kBadStatusText,
                     Hex(ShortFrame(0x8C, {0x00, 0x41}))}},
        FailureCase{"NoItemByte", {Reply(Acked(ShortFrame(0x8B, {})))}, 3, kBadStatusText,
                    {"CSbepBroker::RadioStatusRequest: " + kBadStatusText, "F18B83"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Product lines 3 and 4 turn a time-out into the recovery prompt.
struct RecoveryCase {
    int line;
    MbAnswer answer;
};

class RecoveryTest : public BrokerTest, public ::testing::WithParamInterface<RecoveryCase> {
protected:
    RecoveryTest() : BrokerTest(GetParam().line) {}
};

TEST_P(RecoveryTest, TimeOutShowsThePromptAndSetsTheFlag)
{
    const RecoveryCase& c = GetParam();
    env.boxes.answers = {c.answer};
    Script(Four(Silence()));
    EXPECT_EQ(ReadModel(), "");
    ASSERT_EQ(env.boxes.shown.size(), 1u);
    const MessageBoxRequest& box = env.boxes.shown[0];
    EXPECT_EQ(box.caption, "Professional Corvane");
    EXPECT_EQ(box.text, kRecoveryText);
    EXPECT_EQ(box.icon, MbIcon::Error);
    EXPECT_EQ(box.buttons, MbButtons::OkCancel);
    EXPECT_EQ(recoverRequested, c.answer == MbAnswer::Ok);
    EXPECT_EQ(recoveryCancelled, c.answer == MbAnswer::Cancel);

    // From now on a reply that is not good passes without an error.
    Script({Reply(Acked(StatusReply(5, "XYZ")))});
    EXPECT_EQ(ReadModel(), "XYZ");

    // The update has no such exception: the prompt, then its own error.
    env.boxes.answers = {c.answer};
    Script(Four(Silence()));
    EXPECT_EQ(SbepErrorOf([&] { broker.UpdateModelNumber("ABC"); }),
              std::make_pair(3, kBadUpdateText));
    EXPECT_EQ(env.boxes.shown.size(), 2u);

    // The end-of-job request returns normally after the prompt.
    Script(Four(Silence()));
    EXPECT_NO_THROW(broker.SendEndOfJobRequest());
    EXPECT_EQ(env.boxes.shown.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Broker, RecoveryTest,
                         ::testing::Values(RecoveryCase{3, MbAnswer::Ok},
                                           RecoveryCase{3, MbAnswer::Cancel},
                                           RecoveryCase{4, MbAnswer::Ok},
                                           RecoveryCase{4, MbAnswer::Cancel}),
                         [](const auto& info) {
                             return "Line" + std::to_string(info.param.line) +
                                    (info.param.answer == MbAnswer::Ok ? "Ok" : "Cancel");
                         });

TEST_F(BrokerTest, CancelledRecoveryLetsBadRepliesPassOnAnyLine)
{
    recoveryCancelled = true;
    Script({Reply(Acked(StatusReply(5, "XYZ")))});
    EXPECT_EQ(ReadModel(), "XYZ");
    // The OK flag alone counts only on lines 3 and 4.
    ResetRecoveryFlags();
    recoverRequested = true;
    Script({Reply(Acked(StatusReply(5, "XYZ")))});
    EXPECT_EQ(SbepErrorOf([&] { ReadModel(); }).first, 3);
}

TEST_F(BrokerTest, UpdateModelNumberSendsItemTwoAndTheText)
{
    Script({Reply(Acked(ShortFrame(0x87, {0x00})))});
    broker.UpdateModelNumber("ABC123");
    EXPECT_EQ(Written(),
              (std::vector<Bytes>{{0xF8, 0x18, 0x02, 0x41, 0x42, 0x43, 0x31, 0x32, 0x33, 0x91}}));
}

TEST_F(BrokerTest, SixteenCharacterNumberGoesInTheExtendedForm)
{
    Script({Reply(Acked(ShortFrame(0x87, {0x00})))});
    broker.UpdateModelNumber("ABCDEFGHIJKLMNO ");
    ASSERT_EQ(Written().size(), 1u);
    const Bytes& frame = Written()[0];
    ASSERT_EQ(frame.size(), 22u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 5), (Bytes{0xFF, 0x18, 0x00, 0x12, 0x02}));
    EXPECT_EQ(std::string(frame.begin() + 5, frame.end() - 1), "ABCDEFGHIJKLMNO ");
}

TEST_F(BrokerTest, UpdateIsRefusedUnlessTheRadioReportsSuccess)
{
    const Bytes extendedRefusal = Framed({0xFF, 0x87, 0x00, 0x02, 0x01});
    for (const Bytes& reply : {ShortFrame(0x87, {0x01}), ShortFrame(0x8B, {0x00}),
                               ShortFrame(0x87, {}), extendedRefusal}) {
        Script({Reply(Acked(reply))});
        EXPECT_EQ(SbepErrorOf([&] { broker.UpdateModelNumber("ABC"); }),
                  std::make_pair(3, kBadUpdateText));
        EXPECT_EQ(env.Lines().at(env.Lines().size() - 2),
                  "CSbepBroker::UpdateSerialInfo: " + kBadUpdateText);
    }
    Script({Reply(Acked(Framed({0xFF, 0x87, 0x00, 0x02, 0x00})))});
    EXPECT_NO_THROW(broker.UpdateModelNumber("ABC"));
}

TEST_F(BrokerTest, UpdateTextLongerThan51BytesIsRefusedUnsent)
{
    const std::string longest(51, 'A');
    Script({Reply(Acked(ShortFrame(0x87, {0x00})))});
    broker.UpdateModelNumber(longest.c_str());
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0].size(), 52u + 5u);

    const std::string tooLong(52, 'A');
    try {
        broker.UpdateModelNumber(tooLong.c_str());
        FAIL() << "a 52-byte text was accepted";
    } catch (const CGenError& e) {
        EXPECT_EQ(e.GetCode(), 3);
        EXPECT_STREQ(e.GetText(),
                     "The new text is 52 bytes long, more than the 51 bytes the radio accepts; "
                     "nothing was sent");
    }
    EXPECT_EQ(Written().size(), 1u);
}

TEST_F(BrokerTest, EndOfJobRequestAwaitsOnlyTheAcknowledgement)
{
    Script({Reply({0x00, 0x55})});
    broker.SendEndOfJobRequest();
    EXPECT_EQ(Written(), (std::vector<Bytes>{{0xF1, 0x10, 0xFE}}));
    EXPECT_EQ(env.platform.serial.reads, std::vector<unsigned>{1});
    EXPECT_EQ(broker.GetReplyInfo().opcode, 0x10);

    Script(Four(Reply({0x60})));
    EXPECT_EQ(SbepErrorOf([&] { broker.SendEndOfJobRequest(); }).first, 1);
    Script(Four(Silence()));
    EXPECT_EQ(SbepErrorOf([&] { broker.SendEndOfJobRequest(); }).first, 5);
}

TEST_F(BrokerTest, GeneralErrorsPassThroughUnchanged)
{
    Script({GenErrorOnRead()});
    try {
        ReadModel();
        FAIL() << "no error";
    } catch (const CGenError& e) {
        EXPECT_EQ(e.GetCode(), 3);
        EXPECT_STREQ(e.GetText(), "Timeout specified is too big");
    }
}

}  // namespace
