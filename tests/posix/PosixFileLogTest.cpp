// The file log: its line format, the open-and-empty rule and a file that
// cannot be opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "platform/posix/PosixFileLog.h"
#include "platform/posix/PosixPlatform.h"
#include "res/StringTable.h"

namespace {

namespace fs = std::filesystem;

class RecordingBoxes : public IMessageBoxes {
public:
    MbAnswer Show(const MessageBoxRequest& box) override
    {
        shown.push_back(box);
        return MbAnswer::Ok;
    }
    std::vector<MessageBoxRequest> shown;
};

// Each test logs into a directory of its own as the start directory.
class FileLogTest : public ::testing::Test {
protected:
    FileLogTest()
    {
        fs::create_directories(dir);
        theStartDirectory = dir.string();
    }
    ~FileLogTest() override
    {
        theStartDirectory = saved;
        fs::remove_all(dir);
    }

    std::string Contents() const
    {
        std::ifstream in(dir / "cvErrlog.txt", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The file holds exactly these texts, one time-stamped line each.
    void ExpectLines(const std::vector<std::string>& texts) const
    {
        std::string pattern;
        for (const std::string& text : texts)
            pattern += R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d  )" + text + "\r\n";
        EXPECT_TRUE(std::regex_match(Contents(), std::regex(pattern))) << Contents();
    }

    fs::path dir = fs::path(testing::TempDir()) / ("corvane_log_" + std::to_string(::getpid()));
    std::string saved = theStartDirectory;
};

TEST_F(FileLogTest, OpeningEmptiesTheFileAndStartLoggingWritesTheOpeningLine)
{
    std::ofstream(dir / "cvErrlog.txt") << "an old run\r\n";
    CPosixFileLog log("cvErrlog.txt");
    EXPECT_EQ(Contents(), "");
    log.WriteLine("before the start");
    log.StartLogging();
    EXPECT_TRUE(log.IsStarted());
    ExpectLines({"Start Logging"});
}

TEST_F(FileLogTest, EachLineIsInTheFileWhenWriteLineReturns)
{
    CPosixFileLog log("cvErrlog.txt");
    log.StartLogging();
    log.WriteLine("first");
    ExpectLines({"Start Logging", "first"});
    log.WriteResourceLine(IDS_APP_TITLE);
    log.WriteResourceLine(1);  // no such string: nothing
    ExpectLines({"Start Logging", "first", ResString(IDS_APP_TITLE)});
}

TEST_F(FileLogTest, ClearThenWriteLineLeavesOnlyThatLine)
{
    CPosixFileLog log("cvErrlog.txt");
    log.StartLogging();
    log.WriteLine("dropped");
    EXPECT_TRUE(log.Clear());
    log.WriteLine("kept");
    ExpectLines({"kept"});
}

TEST_F(FileLogTest, AFileThatCannotBeOpenedIsToldOnceAndWritesNothing)
{
    RecordingBoxes boxes;
    CScopedMessageBoxes scoped(&boxes);
    theStartDirectory = (dir / "missing").string();
    CPosixFileLog log("cvErrlog.txt");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Unable to open Log file for writing");
    EXPECT_EQ(boxes.shown[0].buttons, MbButtons::Ok);
    log.StartLogging();
    log.WriteLine("lost");
    log.WriteResourceLine(IDS_APP_TITLE);
    EXPECT_TRUE(log.Clear());
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_F(FileLogTest, WithoutAStartDirectoryTheFileIsInTheCurrentDirectory)
{
    theStartDirectory.clear();
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    {
        CPosixFileLog log("cvErrlog.txt");
        log.StartLogging();
    }
    fs::current_path(previous);
    ExpectLines({"Start Logging"});
}

TEST_F(FileLogTest, TheErrorLogWritesOnlyTheOpeningLineWhileItsOutputIsOff)
{
    CPosixPlatform platform;
    CScopedPlatform scoped(&platform);
    theErrorLog.SetPrimaryOutput(0);
    theErrorLog.Log(nullptr);
    EXPECT_FALSE(fs::exists(dir / "cvErrlog.txt"));
    theErrorLog.Log("CSbepComm::SendCommand: Retry exhuasted, so exit request");
    theErrorLog.LogHex(reinterpret_cast<const unsigned char*>("\x01\xAB"), 2);
    ExpectLines({"Start Logging"});
}

}  // namespace
