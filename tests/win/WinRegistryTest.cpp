// The settings accessor on the real registry, under a key of this test run's
// own below SOFTWARE\Halvorn.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/CommSettings.h"
#include "app/ProcessObjects.h"
#include "platform/Registry.h"

namespace {

class WinRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedAppName_ = theAppName;
        theAppName = "RegistryTest" + std::to_string(GetCurrentProcessId());
        path_ = "SOFTWARE\\Halvorn\\" + theAppName;
        DeleteTree();
    }
    void TearDown() override
    {
        DeleteTree();
        theAppName = savedAppName_;
    }
    void DeleteTree()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (path_ + "\\child").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str());
    }
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    std::string path_;
    std::string savedAppName_;
    CRegistry registry_;
};

TEST_F(WinRegistryTest, CreatedKeysAreVolatileAndExistUntilDeleted)
{
    EXPECT_FALSE(registry_.KeyExists(RegRoot::LocalMachine, path_));
    EXPECT_EQ(registry_.GetLastResult(), kRegNotFound);
    ASSERT_TRUE(registry_.CreateKey(RegRoot::LocalMachine, path_));
    EXPECT_TRUE(registry_.KeyExists(RegRoot::LocalMachine, path_));
    EXPECT_TRUE(registry_.CreateKey(RegRoot::LocalMachine, path_));  // opens the existing key
    // Below a volatile key only volatile keys may be made.
    EXPECT_FALSE(registry_.CreateKey(RegRoot::LocalMachine, path_ + "\\child", RegKeyLife::Persistent));
    EXPECT_EQ(registry_.GetLastResult(), ERROR_CHILD_MUST_BE_VOLATILE);
    EXPECT_TRUE(registry_.CreateKey(RegRoot::LocalMachine, path_ + "\\child"));
}

TEST_F(WinRegistryTest, DwordsRoundTripAndReadsRecordResultTypeAndSize)
{
    ASSERT_TRUE(registry_.CreateKey(RegRoot::LocalMachine, path_));
    ASSERT_TRUE(registry_.OpenKey(RegRoot::LocalMachine, path_));
    EXPECT_EQ(registry_.GetPath(), path_);
    EXPECT_EQ(registry_.WriteDword("Port ID", 7), kRegSuccess);
    EXPECT_EQ(registry_.WriteDword("Big", 0xFFFFFFFFu), kRegSuccess);
    SetRaw("Text", REG_SZ, "longer than four", 17);
    SetRaw("Short", REG_BINARY, "\x05\x01", 2);

    const struct {
        const char* name;
        bool read;
        int value;
        long result;
        unsigned type;
        unsigned size;
    } cases[] = {
        {"Port ID", true, 7, kRegSuccess, REG_DWORD, 4},
        {"Big", true, -1, kRegSuccess, REG_DWORD, 4},
        {"Short", true, 0x0105, kRegSuccess, REG_BINARY, 2},  // the type is not examined
        {"Text", false, 99, kRegMoreData, REG_SZ, 17},
        {"Missing", false, 99, kRegNotFound, REG_NONE, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int value = 99;
        EXPECT_EQ(registry_.ReadDword(c.name, value), c.read);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(registry_.GetLastResult(), c.result);
        if (c.read || c.result == kRegMoreData) {
            EXPECT_EQ(registry_.GetLastType(), c.type);
            EXPECT_EQ(registry_.GetLastSize(), c.size);
        }
    }
}

TEST_F(WinRegistryTest, WithoutAnOpenKeyNothingIsReadOrWritten)
{
    EXPECT_FALSE(registry_.OpenKey(RegRoot::LocalMachine, path_));
    EXPECT_EQ(registry_.GetLastResult(), kRegNotFound);
    EXPECT_EQ(registry_.GetPath(), path_);
    EXPECT_EQ(registry_.WriteDword("Port ID", 3), kRegInvalidHandle);
    int value = 5;
    EXPECT_FALSE(registry_.ReadDword("Port ID", value));
    EXPECT_EQ(value, 5);
}

TEST_F(WinRegistryTest, SettingsStartWithComOneAndEchoAndKeepWhatIsSaved)
{
    {
        CCommSettings settings;
        EXPECT_EQ(settings.portId, 1);
        EXPECT_EQ(settings.ribEchoType, 1);
        settings.portId = 2;
        settings.ribEchoType = 0;
        CCommSettings other;  // nothing reaches the registry before the save
        EXPECT_EQ(other.portId, 1);
        settings.SaveSettings();
    }
    CCommSettings reloaded;
    EXPECT_EQ(reloaded.portId, 2);
    EXPECT_EQ(reloaded.ribEchoType, 0);
}

}  // namespace
