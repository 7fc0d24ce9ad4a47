// The kit's string table: every fixed text that the program looks up by
// number. Ids and texts are the program's own and must not change.
#pragma once

#include <string>

enum : unsigned {
    IDS_CONFIG_KEY = 142,          // the cipher key of patcher.dat
    IDS_HEADER_SECTION = 144,      // the header section of patcher.dat
    IDS_TITLE_RECOVERY = 146,      // main window title
    IDS_TITLE_UPGRADE = 147,       // main window title
    IDS_ABOUT_RECOVERY = 153,      // About box product name
    IDS_ABOUT_UPGRADE = 154,       // About box product name
    IDS_TESTING_WARNING = 32813,   // testing-version warning
    AFX_IDS_APP_TITLE = 57344,     // application title, caption of the application message box
};

// The text of string `id`, or null when there is none.
const char* FindResString(unsigned id);

// The text of string `id`, or an empty text when there is none.
std::string ResString(unsigned id);
