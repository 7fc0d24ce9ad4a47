#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/CommSettings.h"
#include "app/ProcessObjects.h"
#include "platform/Registry.h"
#include "platform/posix/PosixDirectories.h"

namespace fs = std::filesystem;

namespace {

const std::string kKeyPath = "SOFTWARE\\Halvorn\\Corvane";

// A private configuration and runtime directory for each test.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/corvane-settings-XXXXXX";
        root_ = ::mkdtemp(pattern);
        config_ = root_ / "config";
        runtime_ = root_ / "runtime";
        fs::create_directories(config_);
        fs::create_directories(runtime_);
        ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        savedName_ = theAppName;
        theAppName = kApplicationName;
    }
    void TearDown() override
    {
        theAppName = savedName_;
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_RUNTIME_DIR");
        fs::remove_all(root_);
    }

    fs::path KeyDir(const fs::path& base) const
    {
        return base / "corvane" / "HKEY_LOCAL_MACHINE" / "SOFTWARE" / "Halvorn" / "Corvane";
    }
    fs::path VolatileValues() const { return KeyDir(runtime_) / ".values"; }
    static std::string Contents(const fs::path& file)
    {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Put(const fs::path& file, const std::string& text)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }

    fs::path root_, config_, runtime_;
    std::string savedName_;
};

TEST_F(SettingsStoreTest, FirstRunCreatesAVolatileKeyWithTheDefaults)
{
    CCommSettings settings;
    EXPECT_EQ(settings.portId, 1);
    EXPECT_EQ(settings.ribEchoType, 1);
    EXPECT_EQ(CCommSettings::KeyPath(), kKeyPath);
    EXPECT_EQ(Contents(VolatileValues()),
              "# HKEY_LOCAL_MACHINE\\" + kKeyPath + "\nPort ID=1\nRIB Echo Type=1\n");
    EXPECT_FALSE(fs::exists(KeyDir(config_))) << "the key must not outlive a restart";
    EXPECT_EQ(fs::status(runtime_ / "corvane").permissions() & fs::perms::all,
              fs::perms::owner_all);
}

TEST_F(SettingsStoreTest, SavedSettingsAreLoadedByTheNextDocument)
{
    {
        CCommSettings settings;
        settings.portId = 2;
        settings.ribEchoType = 0;
        settings.SaveSettings();
    }
    CCommSettings next;
    EXPECT_EQ(next.portId, 2);
    EXPECT_EQ(next.ribEchoType, 0);
    EXPECT_FALSE(next.EchoOn());
}

TEST_F(SettingsStoreTest, SaveWritesOnlyIntoAnExistingKey)
{
    CCommSettings settings;
    fs::remove_all(runtime_ / "corvane");
    settings.portId = 5;
    settings.SaveSettings();
    EXPECT_FALSE(fs::exists(KeyDir(runtime_)));
}

TEST_F(SettingsStoreTest, StartDirectoryIsRecordedAndPublished)
{
    {
        CCommSettings settings;
        EXPECT_EQ(settings.StartDirectory(), fs::current_path().string());
        EXPECT_EQ(theStartDirectory, settings.StartDirectory());
    }
    EXPECT_TRUE(theStartDirectory.empty());
}

// Values that cannot be read leave the defaults; readable ones still count.
TEST_F(SettingsStoreTest, UnreadableValuesGiveTheDefaults)
{
    const struct {
        const char* name;
        std::string text;
        int port;
        int echo;
    } cases[] = {
        {"garbage", "\x01\x02 not a store\n", 1, 1},
        {"not numbers", "Port ID=COM3\nRIB Echo Type=-1\n", 1, 1},
        {"too large", "Port ID=4294967296\nRIB Echo Type=0\n", 1, 0},
        {"one missing", "Port ID=4\n", 4, 1},
        {"last line counts", "Port ID=4\nPort ID=6\n", 6, 1},
        {"echo keeps the low byte", "RIB Echo Type=256\n", 1, 0},
    };
    for (const auto& c : cases) {
        Put(VolatileValues(), c.text);
        CCommSettings settings;
        EXPECT_EQ(settings.portId, c.port) << c.name;
        EXPECT_EQ(settings.ribEchoType, c.echo) << c.name;
    }
    // A values "file" that cannot be read at all.
    fs::remove(VolatileValues());
    fs::create_directories(VolatileValues());
    CCommSettings settings;
    EXPECT_EQ(settings.portId, 1);
    EXPECT_EQ(settings.ribEchoType, 1);
    settings.portId = 3;
    settings.SaveSettings();
    EXPECT_TRUE(fs::is_directory(VolatileValues())) << "an unreadable file was replaced";
}

TEST_F(SettingsStoreTest, PersistentKeyIsUsedWhenNoVolatileOneExists)
{
    Put(KeyDir(config_) / ".values", "Port ID=7\nRIB Echo Type=0\n");
    CCommSettings settings;
    EXPECT_EQ(settings.portId, 7);
    EXPECT_EQ(settings.ribEchoType, 0);
    EXPECT_FALSE(fs::exists(KeyDir(runtime_)));
}

TEST_F(SettingsStoreTest, WritesReplaceTheFileWhole)
{
    CRegistry registry;
    ASSERT_TRUE(registry.CreateKey(RegRoot::LocalMachine, kKeyPath));
    ASSERT_TRUE(registry.OpenKey(RegRoot::LocalMachine, kKeyPath));
    ASSERT_EQ(registry.WriteDword("Port ID", 1), kRegSuccess);
    struct stat before {};
    ASSERT_EQ(::stat(VolatileValues().c_str(), &before), 0);
    ASSERT_EQ(registry.WriteDword("Other", 4294967295u), kRegSuccess);
    struct stat after {};
    ASSERT_EQ(::stat(VolatileValues().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "the file was rewritten in place";
    EXPECT_EQ(Contents(VolatileValues()),
              "# HKEY_LOCAL_MACHINE\\" + kKeyPath + "\nPort ID=1\nOther=4294967295\n");
    for (const auto& entry : fs::directory_iterator(KeyDir(runtime_)))
        EXPECT_EQ(entry.path().filename(), ".values") << "a temporary file was left behind";

    int value = 0;
    EXPECT_TRUE(registry.ReadDword("Other", value));
    EXPECT_EQ(value, -1);
    EXPECT_EQ(registry.GetLastType(), kRegTypeDword);
    EXPECT_EQ(registry.GetLastSize(), 4u);
}

TEST_F(SettingsStoreTest, AccessorReportsFailures)
{
    CRegistry registry;
    int value = 9;
    EXPECT_EQ(registry.WriteDword("Port ID", 1), kRegInvalidHandle);
    EXPECT_FALSE(registry.ReadDword("Port ID", value));
    EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, kKeyPath));
    EXPECT_EQ(registry.GetLastResult(), kRegNotFound);
    EXPECT_FALSE(registry.OpenKey(RegRoot::LocalMachine, kKeyPath));

    for (const char* path : {"SOFTWARE\\..\\..\\escape", "", "SOFTWARE\\\\Twice", "A/B"}) {
        EXPECT_FALSE(registry.CreateKey(RegRoot::LocalMachine, path)) << path;
        EXPECT_EQ(registry.GetLastResult(), kRegInvalidParameter) << path;
    }
    EXPECT_FALSE(fs::exists(root_ / "escape"));

    ASSERT_TRUE(registry.CreateKey(RegRoot::LocalMachine, kKeyPath));
    ASSERT_TRUE(registry.OpenKey(RegRoot::LocalMachine, kKeyPath));
    EXPECT_FALSE(registry.ReadDword("Port ID", value));
    EXPECT_EQ(registry.GetLastResult(), kRegNotFound);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(registry.WriteDword("two\nlines", 1), kRegInvalidParameter);
    EXPECT_EQ(registry.WriteDword("#comment", 1), kRegInvalidParameter);
}

TEST_F(SettingsStoreTest, RuntimeDirectoryMustBePrivate)
{
    fs::create_directory_symlink(root_, runtime_ / "corvane");
    EXPECT_EQ(RuntimeDirectory(), "");
    CCommSettings settings;  // no store: the defaults, nothing written elsewhere
    EXPECT_EQ(settings.portId, 1);
    EXPECT_FALSE(fs::exists(root_ / "HKEY_LOCAL_MACHINE"));

    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(RuntimeDirectory(), "/tmp/corvane-" + std::to_string(::getuid()));
}

}  // namespace
