#include "workflow/UpgradeWorkflow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "res/StringTable.h"
#include "tests/config/ConfigTestSupport.h"
#include "tests/support/Frames.h"
#include "tests/support/TestPlatform.h"

using namespace testing_support;

namespace {

const char kAppTitle[] = "Professional Corvane";

struct Box {
    std::string caption;
    std::string text;
    MbIcon icon;
};

std::vector<Box> Shown(const CScriptedBoxes& boxes)
{
    std::vector<Box> out;
    for (const auto& b : boxes.shown)
        out.push_back({b.caption, b.text, b.icon});
    return out;
}

void ExpectBoxes(const CScriptedBoxes& boxes, const std::vector<Box>& expected)
{
    const auto shown = Shown(boxes);
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(shown[i].caption, expected[i].caption) << "box " << i;
        EXPECT_EQ(shown[i].text, expected[i].text) << "box " << i;
        EXPECT_EQ(shown[i].icon, expected[i].icon) << "box " << i;
    }
}

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
    ExpectBoxes(env.boxes, c.boxes);
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
                  {{kAppTitle, "Unable to open configuration file", MbIcon::Warning}}, false},
        StartCase{"ConfigCannotBeLoaded", "", 6, {}, false, "", "",
                  {{kAppTitle, "Unable to read configuration file", MbIcon::Warning}}, false},
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

const Bytes kStatusRequest{0xF2, 0x23, 0x00, 0xEA};
const Bytes kEndOfJob{0xF1, 0x10, 0xFE};
const Answer kAck = Reply({0x00});
const Answer kUpdated = Reply(Acked(ShortFrame(0x87, {0x00})));

Answer Status(const std::string& number) { return Reply(Acked(StatusReply(0, number))); }

Bytes UpdateFrame(const std::string& number)
{
    CSbepMessage message;
    std::vector<std::uint8_t> data{0x02};
    data.insert(data.end(), number.begin(), number.end());
    message.Build(0x18, data.data(), std::uint16_t(data.size()));
    SbepMessageInfo info;
    message.GetInfo(info);
    return Bytes(message.GetFrame(), message.GetFrame() + info.totalLength);
}

std::string Question(const std::string& number)
{
    return "Are you sure you want to fix the invalid sales model number of " + number + "?";
}

Box Confirm(const std::string& number) { return {"Confirm", Question(number), MbIcon::Question}; }
Box Completed(const std::string& from, const std::string& to)
{
    return {"Process completed", "From: " + from + " to " + to, MbIcon::Information};
}
Box AppError(const std::string& text) { return {kAppTitle, text, MbIcon::Warning}; }

const Box kRecoveryPrompt{
    kAppTitle,
    "Error detected.\nPlease press OK to recover the radio or press CANCEL to exit the recovery "
    "function.\nIf problem still persists, please send the radio to service center.",
    MbIcon::Error};
const Box kNoNumber = AppError("The radio did not report a sales model number, so it cannot be "
                               "repaired. Nothing was written to the radio.");
const std::string kJobFailed = "CRadioInfo::UpdateModelNo: Update Model No. failed";

template <class T> std::vector<T> Four(const T& t) { return {t, t, t, t}; }

template <class T = Bytes> std::vector<T> Concat(std::vector<std::vector<T>> parts)
{
    std::vector<T> all;
    for (auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

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
    ExpectBoxes(env.boxes, c.boxes);
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
                {{"Info", "ABC123 appears to be a valid sales model number, no weird character "
                          "found at the first character",
                  MbIcon::Information}},
                true, {}},
        JobCase{"DigitFirstRepaired", 0, {Status("1ABC"), kUpdated, kAck}, {MbAnswer::Yes},
                {kStatusRequest, UpdateFrame("ABC"), kEndOfJob},
                {Confirm("1ABC"), Completed("1ABC", "ABC")}, true, {}},
        JobCase{"RepairDeclined", 0, {Status("1ABC"), kAck}, {MbAnswer::No},
                {kStatusRequest, kEndOfJob}, {Confirm("1ABC")}, true, {}},
        JobCase{"SixteenCharacters", 0, {Status("1234567890ABCDEF"), kUpdated, kAck},
                {MbAnswer::Yes},
                {kStatusRequest, UpdateFrame("234567890ABCDEF "), kEndOfJob},
                {Confirm("1234567890ABCDEF"), Completed("1234567890ABCDEF", "234567890ABCDEF")},
                true, {}},
        JobCase{"LowerCaseFirstLetter", 0, {Status("abc1"), kUpdated, kAck}, {MbAnswer::Yes},
                {kStatusRequest, UpdateFrame("bc1"), kEndOfJob},
                {Confirm("abc1"), Completed("abc1", "bc1")}, true, {}},
        JobCase{"TrailingBlanks", 0, {Status("1ABC \t "), kUpdated, kAck}, {MbAnswer::Yes},
                {kStatusRequest, UpdateFrame("ABC \t "), kEndOfJob},
                {Confirm("1ABC"), Completed("1ABC", "ABC")}, true, {}},
        JobCase{"PortCannotBeOpened", 0, {}, {}, {},
                {{"Error", "Unable to open communication port", MbIcon::Error}}, false,
                {"CScriptedSerial::Open: Unable to open com1"}, true},
        JobCase{"RadioSilent", 0, Four(Silence()), {}, Four(kStatusRequest),
                {AppError("Timeout occurred while sending SBEP command")}, false,
                {"Timeout occurred while sending SBEP command", kJobFailed}},
        JobCase{"UpdateRefused", 0, {Status("1ABC"), Reply(Acked(ShortFrame(0x87, {0x01})))},
                {MbAnswer::Yes}, {kStatusRequest, UpdateFrame("ABC")},
                {Confirm("1ABC"), AppError("Did not receive good Update Serial Number reply for "
                                           "SBEP Update Serial No. Request")},
                false,
                {"Did not receive good Update Serial Number reply for SBEP Update Serial No. "
                 "Request",
                 kJobFailed}},
        JobCase{"EndOfJobRefused", 0,
                Concat<Answer>({{Status("ABC123")}, Four(Reply({0x60}))}),
                {}, Concat({{kStatusRequest}, Four(kEndOfJob)}),
                {{"Info", "ABC123 appears to be a valid sales model number, no weird character "
                          "found at the first character",
                  MbIcon::Information},
                 AppError("Received NACK from external device")},
                false, {"Received NACK from external device"}},
        JobCase{"GeneralErrorInTheJob", 0, {GenErrorOnRead()}, {}, {kStatusRequest},
                {AppError("Timeout specified is too big")}, false,
                {"Timeout specified is too big", kJobFailed}},
        JobCase{"RecoveryWithoutNumberWritesNothing", 3, Four(Silence()),
                {MbAnswer::Ok, MbAnswer::Ok}, Concat({Four(kStatusRequest), Four(kEndOfJob)}),
                {kRecoveryPrompt, kNoNumber, kRecoveryPrompt}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
