#include <string>

#include <gtest/gtest.h>

#include "app/CorvaneApp.h"
#include "tests/config/ConfigTestSupport.h"

namespace {

struct SelectCase {
    const char* what;
    std::string plain;
    std::int32_t expected;
};

class SelectProductLineTest : public ::testing::TestWithParam<SelectCase> {
protected:
    CScopedTempDir dir;
    CCorvaneApp app;
};

TEST_P(SelectProductLineTest, ChoosesTheRowNamedInTheFile)
{
    WriteConfig(GetParam().plain);
    app.SelectProductLine();
    EXPECT_EQ(app.productLine, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SelectProductLineTest,
    ::testing::Values(
        SelectCase{"first row", "PRODUCT_LINE\r\nBASIC\r\n", 0},
        SelectCase{"later row", "PRODUCT_LINE\r\nVEGA_B\r\n", 5},
        SelectCase{"longer name sharing a prefix", "PRODUCT_LINE\r\nORION_PLUS\r\n", 2},
        SelectCase{"the no-line row's own name", "PRODUCT_LINE\r\nNO_LINE\r\n", 6},
        SelectCase{"case-sensitive", "PRODUCT_LINE\r\nbasic\r\n", 6},
        SelectCase{"trailing blank kept", "PRODUCT_LINE\r\nORION \r\n", 6},
        SelectCase{"only the first field counts", "PRODUCT_LINE\r\nORION,xyz\r\n", 1},
        SelectCase{"empty value", "PRODUCT_LINE\r\n\r\nBASIC\r\n", 6},
        SelectCase{"section after others, LF ends", "PATCH\nx\nPRODUCT_LINE\nTRUNK\n", 3},
        SelectCase{"first of two sections", "PRODUCT_LINE\r\nVEGA_A\r\nPRODUCT_LINE\r\nBASIC\r\n", 4},
        SelectCase{"missing section", "PRODUCT_LINES\r\nBASIC\r\n", 6},
        SelectCase{"name as the last line", "BASIC\r\nPRODUCT_LINE", 6},
        SelectCase{"value ended by zero padding", std::string("PRODUCT_LINE\r\nBASIC\0\0\0", 22), 0}),
    [](const auto& info) { return TestName(info.param.what); });

TEST(ProductLineTest, UnreadableFileLeavesNoLine)
{
    CScopedTempDir dir;
    CCorvaneApp app;
    app.SelectProductLine();  // no patcher.dat
    EXPECT_EQ(app.productLine, kNoProductLine);

    WriteFile("patcher.dat", std::string(12, 'x'));
    app.SelectProductLine();
    EXPECT_EQ(app.productLine, kNoProductLine);
}

TEST(ProductLineTest, NoLineTitlesAndPicture)
{
    CCorvaneApp app;
    EXPECT_EQ(app.productLine, kNoProductLine);
    EXPECT_EQ(app.LoadWindowTitle(), "Radio Upgrade Kit");
    EXPECT_EQ(app.LoadAboutTitle(), "Mobile Radio Upgrade Kit");
    EXPECT_EQ(app.ProductLine().pictureId, 160);
    EXPECT_EQ(app.windowTitle, "Radio Upgrade Kit");
    EXPECT_EQ(app.aboutTitle, "Mobile Radio Upgrade Kit");
}

TEST(ProductLineTest, EveryRowMatchesItsOwnNameExceptNoLine)
{
    for (const ProductLineInfo& row : productLineTable) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MatchProductLine(row.name), row.id);
        CCorvaneApp app;
        app.productLine = row.id;
        EXPECT_EQ(&app.ProductLine(), &row);
        const bool large = row.id == 1 || row.id == 2;
        EXPECT_EQ(row.pictureWidth, large ? 480 : 446);
        EXPECT_EQ(row.pictureHeight, large ? 360 : 317);
    }
    EXPECT_EQ(MatchProductLine(""), kNoProductLine);
}

TEST(ProductLineTest, RecoveryTitlesForOrion)
{
    CCorvaneApp app;
    app.productLine = 1;
    EXPECT_EQ(app.LoadWindowTitle(), "Radio Sales Number Recovery Kit");
    EXPECT_EQ(app.LoadAboutTitle(), "Mobile Radio Sales Number Recovery Kit");
    EXPECT_EQ(app.ProductLine().pictureId, 228);
}

}  // namespace
