#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/FileManager.h"
#include "tests/config/ConfigTestSupport.h"

namespace {

class PatcherToolTest : public ::testing::Test {
protected:
    CScopedTempDir dir;
};

TEST_F(PatcherToolTest, RoundTripMakesAFileTheKitReads)
{
    const std::string plain = "PATCH-D01.01.05\r\nTitle, with comma\r\nPRODUCT_LINE\r\nORION,x\r\n";
    WriteFile("plain.txt", plain);

    ToolRun run = RunTool("encipher plain.txt patcher.dat");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFile("patcher.dat").size(), Padded(plain, '\0').size());

    FileManager config;
    ASSERT_TRUE(config.OpenConfig());
    ASSERT_TRUE(config.LoadConfig());
    EXPECT_EQ(config.GetProductLine(), "ORION");

    run = RunTool("decipher patcher.dat");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, Padded(plain, '\0'));

    ASSERT_EQ(RunTool("decipher patcher.dat back.txt").exitCode, 0);
    EXPECT_EQ(ReadFile("back.txt"), Padded(plain, '\0'));
}

TEST_F(PatcherToolTest, ErrorsAndUsage)
{
    WriteFile("empty", "");
    WriteFile("twelve", std::string(12, 'x'));
    WriteFile("seven", std::string(7, 'x'));
    const struct {
        const char* args;
        int exitCode;
        const char* err;  // the start of the error text
    } cases[] = {
        {"decipher twelve", 1, "patcher-tool: twelve: size 12 is not a positive multiple of 8 bytes\n"},
        {"decipher seven out", 1, "patcher-tool: seven: size 7 is not a positive multiple of 8 bytes\n"},
        {"decipher empty", 1, "patcher-tool: empty: size 0 is not a positive multiple of 8 bytes\n"},
        {"encipher empty out", 1, "patcher-tool: empty: is empty"},
        {"decipher missing", 1, "patcher-tool: missing: "},
        {"encipher missing out", 1, "patcher-tool: missing: "},
        {"", 2, "patcher-tool: no command given\nUsage:"},
        {"frobnicate twelve", 2, "patcher-tool: unknown command"},
        {"decipher", 2, "patcher-tool: unknown command or wrong number of operands"},
        {"encipher twelve", 2, "patcher-tool: unknown command or wrong number of operands"},
        {"decipher a b c", 2, "patcher-tool: unknown command or wrong number of operands"},
        {"--help extra", 2, "patcher-tool: unknown command"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists("out"));
}

TEST_F(PatcherToolTest, HelpAndVersion)
{
    ToolRun run = RunTool("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("Usage: patcher-tool encipher IN OUT\n", 0), 0u);

    run = RunTool("--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("patcher-tool ", 0), 0u);
}

}  // namespace
