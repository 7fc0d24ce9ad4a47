// The Program job against the simulated radio on a pseudo-terminal, through
// the real serial port, with the RIB echoing and not.
#include <gtest/gtest.h>

#include <algorithm>

#include "RadioFixture.h"
#include "tests/support/JobTexts.h"
#include "tests/support/Frames.h"
#include "workflow/UpgradeWorkflow.h"

using namespace testing_support;
using sbepsim::SimFault;

namespace {

struct Fault {
    std::uint8_t opcode;
    unsigned attempt;  // 0: every attempt
    SimFault fault;
};

struct JobCase {
    const char* name;
    std::string model;
    int productLine;
    std::vector<Fault> faults;
    std::deque<MbAnswer> user;
    std::vector<Bytes> frames;  // what the radio received, in order
    std::vector<Box> boxes;
    std::string finalModel;
    std::vector<std::string> log;  // lines that must be logged, in order
};


const auto kStatusOnly = std::vector<Bytes>{kStatusRequest};
const auto kFourStatus = Times(4, kStatusRequest);

const std::vector<JobCase> kCases = {
    // The job's own cases.
    {"ValidNumber", "ABC123", 0, {}, {}, {kStatusRequest, kEndOfJobRequest},
     {ValidBox("ABC123")}, "ABC123", {}},
    {"DigitFirst", "1ABC", 0, {}, {MbAnswer::Yes},
     {kStatusRequest, UpdateRequest("ABC"), kEndOfJobRequest},
     {ConfirmBox("1ABC"), CompletedBox("1ABC", "ABC")}, "ABC", {}},
    {"SixteenCharacters", "9ABCDEFGHIJKLMNO", 0, {}, {MbAnswer::Yes},
     {kStatusRequest, UpdateRequest("ABCDEFGHIJKLMNO "), kEndOfJobRequest},
     {ConfirmBox("9ABCDEFGHIJKLMNO"), CompletedBox("9ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO")},
     "ABCDEFGHIJKLMNO ", {}},
    {"LowerCaseFirstLetter", "xYZ9", 0, {}, {MbAnswer::Yes},
     {kStatusRequest, UpdateRequest("YZ9"), kEndOfJobRequest},
     {ConfirmBox("xYZ9"), CompletedBox("xYZ9", "YZ9")}, "YZ9", {}},
    {"TrailingBlanks", "1ABC  ", 0, {}, {MbAnswer::Yes},
     {kStatusRequest, UpdateRequest("ABC  "), kEndOfJobRequest},
     {ConfirmBox("1ABC"), CompletedBox("1ABC", "ABC")}, "ABC  ", {}},
    {"RepairDeclined", "1ABC", 0, {}, {MbAnswer::No}, {kStatusRequest, kEndOfJobRequest},
     {ConfirmBox("1ABC")}, "1ABC", {}},

    // Faults of the radio.
    {"Silence", "1ABC", 0, {{0x23, 0, SimFault::Silence}}, {}, kFourStatus, {AppBox(kTimeoutText)},
     "1ABC",
     {kWhileAck, RetryLine(1), kWhileAck, RetryLine(2), kWhileAck, RetryLine(3), kWhileAck,
      kExhausted,
      kTimeoutText, kJobFailedLine}},
    {"NakEveryAttempt", "1ABC", 0, {{0x23, 0, SimFault::Nak}}, {}, kFourStatus,
     {AppBox("Received NACK from external device")}, "1ABC",
     {kNakText, RetryLine(1), kNakText, RetryLine(2), kNakText, RetryLine(3), kNakText,
      kExhausted}},
    {"BadChecksum", "1ABC", 0, {{0x23, 0, SimFault::BadChecksum}}, {}, kFourStatus,
     {AppBox("Reply from external device contained checksum error")}, "1ABC",
     {kCorruptedText, kWhileReply, RetryLine(1), RetryLine(2), RetryLine(3),
      kExhausted}},
    {"FirstAttemptFailsThenSucceeds", "1ABC", 0, {{0x23, 1, SimFault::Silence}},
     {MbAnswer::Yes}, {kStatusRequest, kStatusRequest, UpdateRequest("ABC"), kEndOfJobRequest},
     {ConfirmBox("1ABC"), CompletedBox("1ABC", "ABC")}, "ABC", {kWhileAck, RetryLine(1)}},
    {"UnsupportedOpcode", "1ABC", 0, {{0x23, 0, SimFault::Unsupported}}, {}, kStatusOnly,
     {AppBox("Received Unsupported Opcode reply from external device")}, "1ABC",
     {"Received Unsupported Opcode reply from external device", kJobFailedLine}},
    {"WrongItem", "1ABC", 0, {{0x23, 0, SimFault::WrongItem}}, {}, kStatusOnly,
     {AppBox(kBadStatusText)}, "1ABC",
     {"CSbepBroker::RadioStatusRequest: " + kBadStatusText, Hex(StatusReply(1, "1ABC")),
      kBadStatusText,
      kJobFailedLine}},
    {"UpdateRefused", "1ABC", 0, {{0x18, 0, SimFault::UpdateRefused}}, {MbAnswer::Yes},
     {kStatusRequest, UpdateRequest("ABC")}, {ConfirmBox("1ABC"), AppBox(kBadUpdateText)}, "1ABC",
     {"CSbepBroker::UpdateSerialInfo: " + kBadUpdateText, kBadUpdateText, kJobFailedLine}},
    {"EndOfJobNak", "ABC123", 0, {{0x10, 0, SimFault::Nak}}, {},
     Concat<Bytes>({kStatusOnly, Times(4, kEndOfJobRequest)}),
     {ValidBox("ABC123"), AppBox("Received NACK from external device")}, "ABC123",
     {kExhausted, "Received NACK from external device"}},

    // The recovery prompt of product lines 3 and 4: no number, nothing written.
    {"RecoveryLine3Ok", "1ABC", 3,
     {{0x23, 0, SimFault::Silence}, {0x10, 0, SimFault::Silence}}, {MbAnswer::Ok, MbAnswer::Ok},
     Concat<Bytes>({kFourStatus, Times(4, kEndOfJobRequest)}),
     {kRecoveryPromptBox, kNoModelNumberBox, kRecoveryPromptBox}, "1ABC",
     {kExhausted, "CUpgradeForm::OnProgram: No sales model number was read, nothing written",
      kExhausted}},
    {"RecoveryLine4Cancel", "1ABC", 4,
     {{0x23, 0, SimFault::Silence}, {0x10, 0, SimFault::Silence}},
     {MbAnswer::Cancel, MbAnswer::Cancel},
     Concat<Bytes>({kFourStatus, Times(4, kEndOfJobRequest)}),
     {kRecoveryPromptBox, kNoModelNumberBox, kRecoveryPromptBox}, "1ABC", {kExhausted}},
    {"RecoveryLine3OkRadioAnswersLater", "1ABC", 3, {{0x23, 0, SimFault::Silence}},
     {MbAnswer::Ok}, Concat<Bytes>({kFourStatus, {kEndOfJobRequest}}),
     {kRecoveryPromptBox, kNoModelNumberBox}, "1ABC", {}},
};

void PrintTo(const JobCase& c, std::ostream* os) { *os << c.name; }

// True when the radio is silent to every request of the case.
bool SilentToEveryRequest(const JobCase& c)
{
    return std::all_of(c.frames.begin(), c.frames.end(), [&](const Bytes& frame) {
        return std::any_of(c.faults.begin(), c.faults.end(), [&](const Fault& f) {
            return f.fault == SimFault::Silence && f.attempt == 0 && f.opcode == frame[1];
        });
    });
}

// A busy machine can hold the simulated radio back longer than the 100 ms to
// acknowledge and the 250 ms for each echoed byte that a real one gets.
// Echoes and replies never time out in these cases, so they are waited for
// patiently. The echo brings the acknowledgement with it, so only a line
// without echo has to wait for the radio itself: where the radio answers some
// request there, the acknowledgement is waited for long enough that a late
// one is not taken for silence (each silent attempt then costs that long). A
// radio silent to everything keeps the real time-out, which keeps the case
// short.
void BePatientWhereTheRadioAnswers(CSbepComm& comm, const JobCase& c, bool echo)
{
    comm.byteTimeout = 2000;  // times the frame's length: within the port's 60 s for these frames
    comm.replyTimeout = 5000;
    if (!echo && !SilentToEveryRequest(c))
        comm.ackTimeout = 2000;
}

class JobTest : public ::testing::TestWithParam<std::tuple<JobCase, bool>> {};

TEST_P(JobTest, FramesBoxesLogModelAndPort)
{
    const auto& [c, echo] = GetParam();
    e2e::RadioFixture radio(c.model, echo, c.productLine);
    for (const Fault& f : c.faults)
        radio.simulator->Arm(f.opcode, f.attempt, f.fault);
    radio.boxes.answers = c.user;

    bool good = false;
    {
        CUpgradeWorkflow workflow;
        BePatientWhereTheRadioAnswers(workflow.Broker().comm, c, echo);
        good = workflow.OnProgram(1, echo ? 1 : 0);
        EXPECT_EQ(workflow.Broker().portOpen, 0);
    }
    radio.simulator->WaitForFrames(c.frames.size(), 10000);  // the last may still be on its way
    EXPECT_EQ(radio.simulator->Frames(), c.frames);
    ExpectBoxes(radio.boxes.shown, c.boxes);
    EXPECT_TRUE(e2e::ContainsInOrder(radio.Lines(), c.log));
    EXPECT_EQ(radio.simulator->Model(), c.finalModel);
    const bool errorExpected = std::any_of(c.boxes.begin(), c.boxes.end(), [](const Box& b) {
        return b.caption == kAppTitle && b.icon == MbIcon::Warning;
    });
    EXPECT_EQ(good, !errorExpected);
    EXPECT_TRUE(radio.PortGivenBack());
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, JobTest, ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "_Echo" : "_NoEcho");
    });

TEST(EndToEnd, PortThatCannotBeOpenedIsGivenBack)
{
    e2e::RadioFixture radio("1ABC", true, 0);
    BindPortDevice(1, "/nonexistent/tty");
    {
        CUpgradeWorkflow workflow;
        EXPECT_FALSE(workflow.OnProgram(1, 1));
    }
    ExpectBoxes(radio.boxes.shown,
                {{"Error", "Unable to open communication port", MbIcon::Error}});
    EXPECT_TRUE(radio.simulator->Frames().empty());
    EXPECT_TRUE(radio.PortGivenBack());
}

}  // namespace
