#include "workflow/UpgradeWorkflow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "res/StringTable.h"
#include "tests/config/ConfigTestSupport.h"
#include "tests/support/JobTexts.h"
#include "tests/support/Frames.h"
#include "tests/support/TestPlatform.h"

using namespace testing_support;

namespace {

// ---- the form's start-up checks -------------------------------------------

struct StartCase {
    const char* name;
    const char* config;  // null: no patcher.dat; "" : a file that cannot be loaded
    int productLine;
    std::deque<MbAnswer> answers;
    bool read;
    std::string title, description;
    std::vector<Box> boxes;
    bool quit;
};

const std::string kHeader = "PATCH-D01.01.05\nThe title\nThe description\n";

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartChecksTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartChecksTest, TextsBoxesAndQuit)
{
    const StartCase& c = GetParam();
    CTestEnvironment env(c.productLine);
    env.boxes.answers = c.answers;
    CScopedTempDir start;
    if (c.config != nullptr && c.config[0] == '\0')
        WriteFile("patcher.dat", "12345");
    else if (c.config != nullptr)
        WriteConfig(c.config);
    const auto elsewhere = start.Path() / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    std::filesystem::current_path(elsewhere);

    CUpgradeWorkflow workflow;
    EXPECT_EQ(workflow.OnInitialUpdate(start.Path().string()), c.read);
    EXPECT_EQ(std::filesystem::current_path(), elsewhere) << "current directory not restored";
    EXPECT_EQ(workflow.Title(), c.title);
    EXPECT_EQ(workflow.Description(), c.description);
    ExpectBoxes(env.boxes.shown, c.boxes);
    EXPECT_EQ(workflow.QuitRequested(), c.quit);
    EXPECT_EQ(workflow.QuitExitCode(), 0);
    std::filesystem::current_path(start.Path());
}

const Box kUnknownLine{"Error", "Unknown product line in configuration file. Press OK to exit.",
                       MbIcon::Error};
const Box kTesting{"Warning", ResString(IDS_TESTING_WARNING), MbIcon::Warning};

INSTANTIATE_TEST_SUITE_P(
    Workflow, StartChecksTest,
    ::testing::Values(
        StartCase{"NoConfigFile", nullptr, 6, {}, false, "", "",
                  {AppBox("Unable to open configuration file")}, false},
        StartCase{"ConfigCannotBeLoaded", "", 6, {}, false, "", "",
                  {AppBox("Unable to read configuration file")}, false},
        StartCase{"GoodConfig", "PATCH-D01.01.05\nThe title\nThe description\nPRODUCT_LINE\n"
                                "BASIC\nRADIO_GROUP_REGION\nNorth America\nRelease\n",
                  0, {}, true, "The title", "The description", {}, false},
        StartCase{"SectionsMissing", "nothing here\n", 0, {}, true, "", "", {}, false},
        StartCase{"UnknownLineEndsTheProgram", "PATCH-D01.01.05\nT\nD\n", 6, {}, true, "T", "D",
                  {kUnknownLine}, true},
        StartCase{"TestingVersionAccepted",
                  "PATCH-D01.01.05\nT\nD\nRADIO_GROUP_REGION\nEurope\ntesting\n", 1,
                  {MbAnswer::Ok}, true, "T", "D", {kTesting}, false},
        StartCase{"TestingVersionRefused",
                  "PATCH-D01.01.05\nT\nD\nRADIO_GROUP_REGION\nEurope\nTest\n", 1,
                  {MbAnswer::Cancel}, true, "T", "D", {kTesting}, true},
        StartCase{"UnknownLineAndTestingBothAsk",
                  "PATCH-D01.01.05\nT\nD\nRADIO_GROUP_REGION\nEurope\nT\n", 6,
                  {MbAnswer::Ok, MbAnswer::Ok}, true, "T", "D", {kUnknownLine, kTesting}, true},
        StartCase{"ReleaseIsNoTestingVersion",
                  "PATCH-D01.01.05\nT\nD\nRADIO_GROUP_REGION\nEurope\nRelease t\n", 1, {}, true,
                  "T", "D", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the Program job ------------------------------------------------------

const Bytes kEndOfJob = kEndOfJobRequest;
const Answer kAck = Reply({0x00});
const Answer kUpdated = Reply(Acked(ShortFrame(0x87, {0x00})));

Answer Status(const std::string& number) { return Reply(Acked(StatusReply(0, number))); }

struct JobCase {
    const char* name;
    int productLine;
    std::vector<Answer> radio;
    std::deque<MbAnswer> user;
    std::vector<Bytes> frames;  // what the radio received
    std::vector<Box> boxes;
    bool good;
    std::vector<std::string> logTail;  // the last lines logged
    bool failOpen = false;
};

void PrintTo(const JobCase& c, std::ostream* os) { *os << c.name; }

class ProgramTest : public ::testing::TestWithParam<JobCase> {
protected:
    void SetUp() override { ResetRecoveryFlags(); }
    void TearDown() override { ResetRecoveryFlags(); }
};

TEST_P(ProgramTest, FramesBoxesLogAndPortGivenBack)
{
    const JobCase& c = GetParam();
    CTestEnvironment env(c.productLine);
    env.platform.serial.answers.assign(c.radio.begin(), c.radio.end());
    env.platform.serial.failOpen = c.failOpen;
    env.boxes.answers = c.user;

    CUpgradeWorkflow workflow;
    EXPECT_EQ(workflow.OnProgram(1, 1), c.good);
    EXPECT_EQ(workflow.ErrorShown(), !c.good);
    EXPECT_EQ(env.platform.serial.written, c.frames);
    ExpectBoxes(env.boxes.shown, c.boxes);
    const auto lines = env.Lines();
    ASSERT_GE(lines.size(), c.logTail.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - long(c.logTail.size()), lines.end()),
              c.logTail);
    EXPECT_EQ(workflow.Broker().portOpen, 0);
    EXPECT_EQ(env.platform.serial.openedPort, 0u);
    EXPECT_EQ(env.platform.GetSerial(), &env.platform.serial) << "the port was not given back";
}

INSTANTIATE_TEST_SUITE_P(
    Workflow, ProgramTest,
    ::testing::Values(
        JobCase{"ValidNumber", 0, {Status("ABC123"), kAck}, {},
                {kStatusRequest, kEndOfJob},
                {ValidBox("ABC123")},
                true, {}},
        JobCase{"DigitFirstRepaired", 0, {Status("1ABC"), kUpdated, kAck}, {MbAnswer::Yes},
                {kStatusRequest, UpdateRequest("ABC"), kEndOfJob},
                {ConfirmBox("1ABC"), CompletedBox("1ABC", "ABC")}, true, {}},
        JobCase{"RepairDeclined", 0, {Status("1ABC"), kAck}, {MbAnswer::No},
                {kStatusRequest, kEndOfJob}, {ConfirmBox("1ABC")}, true, {}},
        JobCase{"SixteenCharacters", 0, {Status("1234567890ABCDEF"), kUpdated, kAck},
                {MbAnswer::Yes},
                {kStatusRequest, UpdateRequest("234567890ABCDEF "), kEndOfJob},
                {ConfirmBox("1234567890ABCDEF"),
                 CompletedBox("1234567890ABCDEF", "234567890ABCDEF")},
                true, {}},
        JobCase{"LowerCaseFirstLetter", 0, {Status("abc1"), kUpdated, kAck}, {MbAnswer::Yes},
                {kStatusRequest, UpdateRequest("bc1"), kEndOfJob},
                {ConfirmBox("abc1"), CompletedBox("abc1", "bc1")}, true, {}},
        JobCase{"TrailingBlanks", 0, {Status("1ABC \t "), kUpdated, kAck}, {MbAnswer::Yes},
                {kStatusRequest, UpdateRequest("ABC \t "), kEndOfJob},
                {ConfirmBox("1ABC"), CompletedBox("1ABC", "ABC")}, true, {}},
        JobCase{"PortCannotBeOpened", 0, {}, {}, {},
                {{"Error", "Unable to open communication port", MbIcon::Error}}, false,
                {"CScriptedSerial::Open: Unable to open com1"}, true},
        JobCase{"RadioSilent", 0, Times(4, Silence()), {}, Times(4, kStatusRequest),
                {AppBox(kTimeoutText)}, false,
                {kTimeoutText, kJobFailedLine}},
        JobCase{"UpdateRefused", 0, {Status("1ABC"), Reply(Acked(ShortFrame(0x87, {0x01})))},
                {MbAnswer::Yes}, {kStatusRequest, UpdateRequest("ABC")},
                {ConfirmBox("1ABC"), AppBox("Did not receive good Update Serial Number reply for "
                                           "SBEP Update Serial No. Request")},
                false,
                {"Did not receive good Update Serial Number reply for SBEP Update Serial No. "
                 "Request",
                 kJobFailedLine}},
        JobCase{"EndOfJobRefused", 0,
                Concat<Answer>({{Status("ABC123")}, Times(4, Reply({0x60}))}),
                {}, Concat<Bytes>({{kStatusRequest}, Times(4, kEndOfJob)}),
                {ValidBox("ABC123"), AppBox("Received NACK from external device")},
                false, {"Received NACK from external device"}},
        JobCase{"GeneralErrorInTheJob", 0, {GenErrorOnRead()}, {}, {kStatusRequest},
                {AppBox("Timeout specified is too big")}, false,
                {"Timeout specified is too big", kJobFailedLine}},
        JobCase{"RecoveryWithoutNumberWritesNothing", 3, Times(4, Silence()),
                {MbAnswer::Ok, MbAnswer::Ok},
                Concat<Bytes>({Times(4, kStatusRequest), Times(4, kEndOfJob)}),
                {kRecoveryPromptBox, kNoModelNumberBox, kRecoveryPromptBox}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
