#include "res/StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct ResEntry {
    unsigned id;
    const char* text;
};

// Sorted by id.
constexpr ResEntry kStrings[] = {
    {IDR_MAINFRAME, "Corvane Application"},
    {IDS_CONFIG_KEY,
     "Bring four cups of fresh milk to a boil, stir in oats, and cook slowly for six minutes "
     "or so."},
    {IDS_HEADER_SECTION, "PATCH-D01.01.05"},
    {IDS_TITLE_RECOVERY, "Radio Sales Number Recovery Kit"},
    {IDS_TITLE_UPGRADE, "Radio Upgrade Kit"},
    {IDS_ABOUT_RECOVERY, "Mobile Radio Sales Number Recovery Kit"},
    {IDS_ABOUT_UPGRADE, "Mobile Radio Upgrade Kit"},
    {ID_VIEW_OPTION_LIST, "Show or hide the Option List"},
    {ID_COMM_SETTING, "Select Communication port\nComm Setting"},
    {ID_RIB_SETTING, "Determine whether the RIB echos transmission\nEcho Setting"},
    {IDS_TESTING_WARNING,
     "This UpgradeKit will update the radio with a testing version firmware(or codeplug).\n"
     "The purpose is only for the specific individual issue fixing evaluation, not for "
     "official\n"
     "release and distribution. It may have unknow problems because of no full testing\n"
     "done yet.\n"
     "Please press OK to continue if you want to upgrade, otherwise press Cancel to exit."},
    {IDS_APP_TITLE, "Professional Corvane"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents"},
    {ID_INDICATOR_COM, "COM  "},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar"},
};

constexpr bool IsSorted()
{
    for (std::size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id) return false;
    return true;
}
static_assert(IsSorted(), "the string table must stay sorted by id");

}  // namespace

const char* FindResString(unsigned id)
{
    const auto* end = std::end(kStrings);
    const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                      [](const ResEntry& e, unsigned key) { return e.id < key; });
    return it != end && it->id == id ? it->text : nullptr;
}

std::string ResString(unsigned id)
{
    const char* text = FindResString(id);
    return text != nullptr ? text : std::string();
}
