#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "app/FileManager.h"
#include "tests/config/ConfigTestSupport.h"

namespace {

using namespace std::string_literals;

class FileManagerTest : public ::testing::Test {
protected:
    // Writes `plain` as patcher.dat and loads it into config.
    void Load(const std::string& plain)
    {
        WriteConfig(plain);
        ASSERT_TRUE(config.OpenConfig());
        ASSERT_TRUE(config.LoadConfig());
    }

    CScopedTempDir dir;
    FileManager config;
};

TEST_F(FileManagerTest, OnlyPositiveMultiplesOfEightBytesAreLoaded)
{
    const struct {
        std::size_t size;
        bool loads;
    } cases[] = {{0, false}, {7, false}, {8, true}, {12, false}, {16, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        WriteFile("patcher.dat", std::string(c.size, 'x'));
        FileManager config;
        ASSERT_TRUE(config.OpenConfig());
        EXPECT_EQ(config.LoadConfig(), c.loads);
        EXPECT_EQ(config.Size(), c.loads ? c.size : 0);
    }
}

TEST_F(FileManagerTest, OpenNeedsAnExistingFile)
{
    EXPECT_FALSE(config.OpenConfig());
    EXPECT_FALSE(config.LoadConfig());

    std::filesystem::create_directory("patcher.dat");
    EXPECT_FALSE(config.OpenConfig());
}

TEST_F(FileManagerTest, LoadDeciphersTheWholeFile)
{
    const std::string plain = "PRODUCT_LINE\r\nBASIC\r\n\0\xFF\x01 tail\n"s;
    Load(plain);
    ASSERT_EQ(config.Size(), Padded(plain, '\n').size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(config.Text()), config.Size()), Padded(plain, '\n'));
}

// Texts whose length is a multiple of 8 get no padding, so their ends are
// exactly as written.
constexpr std::string_view kSectionsText =
    "HEAD \r\n"    // a blank after the name: not the header
    "HEAD\r\n"
    "one,two\n"    // line 1, ended by LF alone
    "\r\n"         // line 2, empty
    "plain\r\n"    // line 3, no comma
    "a,b\r\n"      // line 4
    "HEAD\r\n"     // line 5: a second header is an ordinary line
    "p,,qqqq";     // line 6, last, without a line end
static_assert(kSectionsText.size() % 8 == 0);
const std::string kSections(kSectionsText);

struct ReadCase {
    const char* what;
    std::string text;
    std::string section;
    unsigned line;
    unsigned field;  // 0 reads the whole line
    std::string expected;
};

class FileManagerReadTest : public FileManagerTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(FileManagerReadTest, Reads)
{
    const ReadCase& c = GetParam();
    if (c.text.back() != '\n') {
        ASSERT_EQ(c.text.size() % 8, 0u) << "padding would change how this text ends";
    }
    Load(c.text);
    config.FindSection(c.section);
    std::string out = "stale";
    if (c.field == 0)
        config.GetLine(c.line, out);
    else
        config.GetField(c.line, c.field, out);
    EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, FileManagerReadTest,
    ::testing::Values(
        ReadCase{"line 0 is line 1", kSections, "HEAD", 0, 0, "one,two"},
        ReadCase{"line 1 after the first exact header", kSections, "HEAD", 1, 0, "one,two"},
        ReadCase{"empty line counts", kSections, "HEAD", 2, 0, ""},
        ReadCase{"LF then CRLF", kSections, "HEAD", 3, 0, "plain"},
        ReadCase{"count runs past the next header", kSections, "HEAD", 5, 0, "HEAD"},
        ReadCase{"last line without line end", kSections, "HEAD", 6, 0, "p,,qqqq"},
        ReadCase{"line beyond the end", kSections, "HEAD", 7, 0, ""},
        ReadCase{"far beyond the end", kSections, "HEAD", 1000, 0, ""},
        ReadCase{"empty name is found at once", kSections, "", 1, 0, "HEAD "},
        ReadCase{"header with a blank", kSections, "HEAD ", 1, 0, "HEAD"},
        ReadCase{"missing section", kSections, "MISSING", 1, 0, ""},
        ReadCase{"headers are case-sensitive", kSections, "head", 1, 0, ""},
        ReadCase{"field 1", kSections, "HEAD", 1, 1, "one"},
        ReadCase{"field 2", kSections, "HEAD", 1, 2, "two"},
        ReadCase{"field of a line without comma", kSections, "HEAD", 3, 1, "plain"},
        ReadCase{"comma search crosses line ends", kSections, "HEAD", 3, 2, "b"},
        ReadCase{"empty line, field 1", kSections, "HEAD", 2, 1, ""},
        ReadCase{"empty field between commas", kSections, "HEAD", 6, 2, ""},
        ReadCase{"field running to the end", kSections, "HEAD", 6, 3, "qqqq"},
        ReadCase{"field beyond the last comma", kSections, "HEAD", 6, 4, ""},
        ReadCase{"field of a missing section", kSections, "MISSING", 1, 1, ""},
        ReadCase{"CR takes the byte after it", "S\rXab\r\n", "S", 1, 0, "ab"},
        ReadCase{"CR as the very last byte", "S\r\nabcd\r", "S", 2, 0, ""},
        ReadCase{"CR as the very last byte, field", "S\r\nabcd\r", "S", 2, 2, ""},
        ReadCase{"header as the last line", "ab\r\n\r\nSS", "SS", 1, 0, ""},
        ReadCase{"NUL ends a field", "S\r\na\0b,c\r\n"s, "S", 1, 1, "a"},
        ReadCase{"NUL does not end the line", "S\r\na\0b,c\r\n"s, "S", 1, 2, "c"},
        ReadCase{"NUL ends a header", "S\0T\r\nxy\r\n"s, "S", 1, 0, "xy"},
        ReadCase{"zero padding ends the last line", "S\r\nBASIC\0\0\0\0\0\0\0\0"s, "S", 1, 1, "BASIC"}),
    [](const auto& info) { return TestName(info.param.what); });

TEST_F(FileManagerTest, ReadsOfOneSectionDoNotDependOnOrder)
{
    Load(kSections);
    config.FindSection("HEAD");
    std::string late, early, field;
    config.GetLine(6, late);
    config.GetField(1, 2, field);
    config.GetLine(1, early);
    EXPECT_EQ(late, "p,,qqqq");
    EXPECT_EQ(field, "two");
    EXPECT_EQ(early, "one,two");
}

TEST_F(FileManagerTest, ReadsBeforeLoadingAreEmpty)
{
    std::string out = "stale";
    config.FindSection("HEAD");
    config.GetLine(1, out);
    EXPECT_EQ(out, "");
    config.GetField(2, 2, out);
    EXPECT_EQ(out, "");
    EXPECT_EQ(config.GetProductLine(), "");
}

}  // namespace
