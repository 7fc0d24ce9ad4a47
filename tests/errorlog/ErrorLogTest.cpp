// The process-wide error log: when it makes its outputs, what reaches them,
// and texts and dumps longer than its buffers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ProcessObjects.h"

namespace {

struct Record {
    std::vector<int> madeKinds;        // MakeLog calls, in order
    std::vector<std::string> primary;  // lines that reached the primary output
};

class CRecordingLog : public CLog {
public:
    explicit CRecordingLog(std::vector<std::string>& lines) : lines_(lines) {}
    bool Clear() override { return true; }
    void WriteResourceLine(unsigned) override {}
    void WriteLine(const char* text) override
    {
        if (IsStarted())
            lines_.push_back(text);
    }

private:
    std::vector<std::string>& lines_;
};

// Makes a recording primary output (when `makesPrimary`) and no secondary.
class CLogOnlyPlatform : public CPlatform {
public:
    explicit CLogOnlyPlatform(Record& record) : record_(record) {}
    CLog* MakeLog(int kind) override
    {
        record_.madeKinds.push_back(kind);
        return kind == kPrimaryLog && makesPrimary ? new CRecordingLog(record_.primary) : nullptr;
    }
    void ReleaseTimer() override {}
    void ReleaseCommTimer() override {}
    CTimerCtrl* GetTimer() override { return nullptr; }
    CTimerCtrl* GetCommTimer() override { return nullptr; }
    CSerial* GetSerial() override { return nullptr; }
    CTimerCtrl* GetAuxTimer() override { return nullptr; }
    void ReleaseSerial() override {}
    void ReleaseAuxTimer() override {}

    bool makesPrimary = true;

private:
    Record& record_;
};

class ErrorLogTest : public ::testing::Test {
protected:
    ~ErrorLogTest() override { theErrorLog.SetPrimaryOutput(0); }

    Record record;
    CLogOnlyPlatform platform{record};
    CScopedPlatform scoped{&platform};
};

TEST_F(ErrorLogTest, NullFormatMakesAndWritesNothing)
{
    theErrorLog.Log(nullptr);
    EXPECT_TRUE(record.madeKinds.empty());
}

TEST_F(ErrorLogTest, FirstLineWithTheOutputOffLeavesOnlyStartLogging)
{
    theErrorLog.SetPrimaryOutput(0);
    theErrorLog.Log("CSbepComm::SendCommand: %s", "dropped");
    theErrorLog.LogHex(reinterpret_cast<const unsigned char*>("\x01"), 1);
    EXPECT_EQ(record.madeKinds, (std::vector<int>{kPrimaryLog, kSecondaryLog}));
    EXPECT_EQ(record.primary, (std::vector<std::string>{"Start Logging"}));
}

TEST_F(ErrorLogTest, WithTheOutputOnEachLineIsFormattedAndWritten)
{
    theErrorLog.SetPrimaryOutput(1);
    theErrorLog.Log("Number of byteTime timeout = %d", 21);
    theErrorLog.Log("com%u: %s", 3u, "gone");
    EXPECT_EQ(record.primary,
              (std::vector<std::string>{"Start Logging", "Number of byteTime timeout = 21", "com3: gone"}));
}

TEST_F(ErrorLogTest, WithoutAnOutputItAsksAgainOnTheNextLine)
{
    platform.makesPrimary = false;
    theErrorLog.Log("first");
    platform.makesPrimary = true;
    theErrorLog.SetPrimaryOutput(1);
    theErrorLog.Log("second");
    EXPECT_EQ(record.madeKinds, (std::vector<int>{kPrimaryLog, kSecondaryLog, kPrimaryLog, kSecondaryLog}));
    EXPECT_EQ(record.primary, (std::vector<std::string>{"Start Logging", "second"}));
}

TEST_F(ErrorLogTest, HexDumpIsUpperCaseDigitPairsCutAt511Bytes)
{
    theErrorLog.SetPrimaryOutput(1);
    const unsigned char bytes[] = {0x01, 0xAB, 0x00};
    const std::vector<unsigned char> large(600, 0xFE);
    theErrorLog.LogHex(bytes, 3);
    theErrorLog.LogHex(bytes, 0);
    theErrorLog.LogHex(nullptr, 5);
    theErrorLog.LogHex(large.data(), static_cast<unsigned>(large.size()));
    ASSERT_EQ(record.primary.size(), 5u);
    EXPECT_EQ(record.primary[1], "01AB00");
    EXPECT_EQ(record.primary[2], "");
    EXPECT_EQ(record.primary[3], "");
    std::string cut;
    for (int i = 0; i < 511; ++i)
        cut += "FE";
    EXPECT_EQ(record.primary[4], cut);
}

TEST_F(ErrorLogTest, TextBeyond511CharactersIsCut)
{
    theErrorLog.SetPrimaryOutput(1);
    const std::string longText(700, 'x');
    theErrorLog.Log("%s", longText.c_str());
    ASSERT_EQ(record.primary.size(), 2u);
    EXPECT_EQ(record.primary[1], std::string(511, 'x'));
}

}  // namespace
