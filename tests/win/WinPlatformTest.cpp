#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "app/ProcessObjects.h"
#include "platform/win/WinFileLog.h"
#include "platform/win/WinPlatform.h"
#include "res/StringTable.h"
#include "tests/errors/RecordingBoxes.h"

namespace {

const std::regex kStamped(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d  )");

// A fresh start directory for each test, with the presenter that records
// the boxes shown meanwhile.
class WinFileLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        directory_ = std::string(base) + "corvane-log-" + std::to_string(GetCurrentProcessId()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(directory_.c_str(), nullptr);
        theStartDirectory = directory_;
    }
    void TearDown() override
    {
        theErrorLog.DropOutputs();
        theStartDirectory.clear();
        DeleteFileA(Path().c_str());
        RemoveDirectoryA(directory_.c_str());
    }
    std::string Path() const { return directory_ + "\\cvErrlog.txt"; }
    std::string Contents() const
    {
        std::ifstream file(Path(), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    // The file's lines with their time stamps checked and taken off.
    std::string Unstamped() const
    {
        std::string text = Contents();
        std::string lines;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            if (end == std::string::npos) {
                ADD_FAILURE() << "a line without CR LF: " << text.substr(at);
                break;
            }
            const std::string line = text.substr(at, end - at);
            EXPECT_TRUE(line.size() >= 19 && std::regex_match(line.substr(0, 19), kStamped)) << line;
            lines += line.substr(line.size() < 19 ? line.size() : 19) + "|";
            at = end + 2;
        }
        return lines;
    }

    std::string directory_;
    CRecordingBoxes boxes_;
    CScopedMessageBoxes presenter_{&boxes_};
};

TEST_F(WinFileLogTest, OpeningEmptiesTheFileAndStartingWritesTheFirstLine)
{
    std::ofstream(Path()) << "lines of an earlier run\r\n";
    CwFileLog log("cvErrlog.txt");
    EXPECT_EQ(std::string(log.GetPath()), Path());
    EXPECT_EQ(Contents(), "");
    log.WriteLine("before start");
    EXPECT_EQ(Contents(), "");
    log.StartLogging();
    EXPECT_TRUE(log.IsStarted());
    EXPECT_EQ(Unstamped(), "Start Logging|");
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(WinFileLogTest, EveryLineIsInTheFileWhenWriteReturnsAndClearStartsOver)
{
    CwFileLog log("cvErrlog.txt");
    log.StartLogging();
    log.WriteLine("second");
    log.WriteResourceLine(IDS_APP_TITLE);
    log.WriteResourceLine(1);  // no such string: nothing
    EXPECT_EQ(Unstamped(), "Start Logging|second|Professional Corvane|");
    EXPECT_TRUE(log.Clear());
    log.WriteLine("after clear");
    EXPECT_EQ(Unstamped(), "after clear|");
}

TEST_F(WinFileLogTest, AFileThatCannotBeOpenedIsReportedOnceAndThenIgnored)
{
    const std::string cases[] = {directory_ + "\\no such directory", std::string(300, 'd')};
    for (const std::string& directory : cases) {
        boxes_.shown.clear();
        theStartDirectory = directory;
        CwFileLog log("cvErrlog.txt");
        EXPECT_FALSE(log.IsOpen());
        log.StartLogging();
        log.WriteLine("lost");
        log.WriteResourceLine(IDS_APP_TITLE);
        EXPECT_TRUE(log.Clear());
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text, "Unable to open Log file for writing");
        EXPECT_EQ(boxes_.shown[0].buttons, MbButtons::Ok);
    }
}

TEST_F(WinFileLogTest, WithoutAStartDirectoryTheFileIsInTheCurrentDirectory)
{
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    SetCurrentDirectoryA(directory_.c_str());
    theStartDirectory.clear();
    {
        CwFileLog log("cvErrlog.txt");
        EXPECT_EQ(std::string(log.GetPath()), "cvErrlog.txt");
        log.StartLogging();
    }
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(Unstamped(), "Start Logging|");
}

TEST_F(WinFileLogTest, TheErrorLogWritesOnlyTheFirstLineWhileItsFileOutputIsOff)
{
    theErrorLog.DropOutputs();
    theErrorLog.SetPrimaryOutput(0);
    theErrorLog.Log("CSbepComm::SendCommand: %s", "dropped");
    EXPECT_EQ(Unstamped(), "Start Logging|");
    theErrorLog.SetPrimaryOutput(1);
    theErrorLog.Log("kept %d", 2);
    theErrorLog.LogHex(reinterpret_cast<const unsigned char*>("\x01\xAB"), 2);
    theErrorLog.SetPrimaryOutput(0);
    EXPECT_EQ(Unstamped(), "Start Logging|kept 2|01AB|");
}

TEST(WinPlatform, IsTheOneProcessPlatformAndMakesOnlyTheFileLog)
{
    EXPECT_NE(thePlatform, nullptr);
    EXPECT_EQ(GetPlatform(), thePlatform);
    EXPECT_NE(dynamic_cast<CWinPlatform*>(thePlatform), nullptr);

    CRecordingBoxes boxes;
    CScopedMessageBoxes presenter(&boxes);
    std::unique_ptr<CLog> first(thePlatform->MakeLog(kPrimaryLog));
    std::unique_ptr<CLog> second(thePlatform->MakeLog(kPrimaryLog));
    EXPECT_NE(dynamic_cast<CwFileLog*>(first.get()), nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(thePlatform->MakeLog(kSecondaryLog), nullptr);
}

TEST(WinPlatform, GivingBackAClosedPortLeavesItClosedAndLendsItAgain)
{
    CSerial* serial = thePlatform->GetSerial();
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(thePlatform->GetSerial(), nullptr);
    thePlatform->ReleaseSerial();
    EXPECT_EQ(serial->GetPortNumber(), 0u);
    EXPECT_EQ(thePlatform->GetSerial(), serial);
    thePlatform->ReleaseSerial();
}

}  // namespace
