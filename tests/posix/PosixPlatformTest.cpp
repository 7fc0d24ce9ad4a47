// Lending rules of the platform and the process-wide platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "PtyFixture.h"
#include "platform/posix/PosixFileLog.h"

namespace {

TEST(PosixPlatformTest, EachTimerIsLentToOneHolderAtATime)
{
    CPosixPlatform platform;
    struct Timer {
        std::function<CTimerCtrl*()> get;
        std::function<void()> release;
    } timers[] = {
        {[&] { return platform.GetTimer(); }, [&] { platform.ReleaseTimer(); }},
        {[&] { return platform.GetCommTimer(); }, [&] { platform.ReleaseCommTimer(); }},
        {[&] { return platform.GetAuxTimer(); }, [&] { platform.ReleaseAuxTimer(); }},
    };
    std::vector<CTimerCtrl*> lent;
    for (const Timer& timer : timers) {
        CTimerCtrl* first = timer.get();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(timer.get(), nullptr);
        timer.release();
        EXPECT_EQ(timer.get(), first);
        lent.push_back(first);
    }
    // Three distinct timers.
    EXPECT_NE(lent[0], lent[1]);
    EXPECT_NE(lent[1], lent[2]);
    EXPECT_NE(lent[0], lent[2]);
}

TEST_F(PlatformTest, ReleaseSerialClosesThePortAndLendsItAgain)
{
    CSerial& port = OpenSerial();
    EXPECT_EQ(platform.GetSerial(), nullptr);
    platform.ReleaseSerial();
    serial = nullptr;
    EXPECT_EQ(port.GetPortNumber(), 0u);
    // The device is free again for another holder.
    CPosixSerial other;
    other.SetConfig(9600, kParityNone, kStopBitsOne, 8);
    other.OpenPort(kPort);

    CSerial* again = platform.GetSerial();
    EXPECT_EQ(again, &port);
    platform.ReleaseSerial();  // on a closed port: stays closed
    EXPECT_EQ(port.GetPortNumber(), 0u);
}

TEST(PosixPlatformTest, MakeLogGivesANewFileLogForKind0Only)
{
    const std::string saved = theStartDirectory;
    theStartDirectory = testing::TempDir();
    CPosixPlatform platform;
    std::unique_ptr<CLog> first(platform.MakeLog(kPrimaryLog));
    std::unique_ptr<CLog> second(platform.MakeLog(kPrimaryLog));
    theStartDirectory = saved;
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(dynamic_cast<CPosixFileLog*>(first.get()), nullptr);
    EXPECT_EQ(platform.MakeLog(kSecondaryLog), nullptr);
    EXPECT_EQ(platform.MakeLog(7), nullptr);
    std::filesystem::remove(std::filesystem::path(testing::TempDir()) / "cvErrlog.txt");
}

TEST(PosixPlatformTest, GetPlatformIsTheProcessWidePlatform)
{
    CPlatform* platform = GetPlatform();
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(GetPlatform(), platform);
    EXPECT_EQ(thePlatform, platform);
    EXPECT_NE(dynamic_cast<CPosixPlatform*>(platform), nullptr);
}

}  // namespace
