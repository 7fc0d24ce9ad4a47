#include "res/StringTable.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(StringTable, EveryNamedIdHasText)
{
    const unsigned ids[] = {
        IDS_CONFIG_KEY,  IDS_HEADER_SECTION,  IDS_TITLE_RECOVERY, IDS_TITLE_UPGRADE,
        IDS_ABOUT_RECOVERY, IDS_ABOUT_UPGRADE, IDS_TESTING_WARNING, IDS_APP_TITLE,
        IDR_MAINFRAME,   ID_COMM_SETTING,     ID_RIB_SETTING,     ID_VIEW_OPTION_LIST,
        ID_APP_EXIT,     ID_VIEW_TOOLBAR,     ID_VIEW_STATUS_BAR, ID_APP_ABOUT,
        ID_INDICATOR_COM,
    };
    for (unsigned id : ids) {
        SCOPED_TRACE(id);
        ASSERT_NE(FindResString(id), nullptr);
        EXPECT_GT(std::strlen(FindResString(id)), 0u);
        EXPECT_EQ(ResString(id), FindResString(id));
    }
}

TEST(StringTable, UnknownIdsHaveNoText)
{
    for (unsigned id : {0u, 1u, 143u, 32772u, 57345u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(FindResString(id), nullptr);
        EXPECT_EQ(ResString(id), "");
    }
}

TEST(StringTable, CipherKeyIsNinetyThreeBytes)
{
    EXPECT_EQ(std::strlen(FindResString(IDS_CONFIG_KEY)), 93u);
}

TEST(StringTable, ComPaneTextKeepsItsTwoBlanks)
{
    EXPECT_STREQ(FindResString(ID_INDICATOR_COM), "COM  ");
}

}  // namespace
