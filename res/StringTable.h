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
    IDS_APP_TITLE = 57344,     // application title, caption of the application message box
    IDR_MAINFRAME = 128,           // document string
    ID_COMM_SETTING = 32779,       // menu and toolbar commands: "prompt\ntooltip" or "prompt"
    ID_RIB_SETTING = 32780,
    ID_VIEW_OPTION_LIST = 32771,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_APP_ABOUT = 57664,
    ID_INDICATOR_COM = 59142,      // status pane 1; its text sets the pane's width
};

// The text of string `id`, or null when there is none.
const char* FindResString(unsigned id);

// The text of string `id`, or an empty text when there is none.
std::string ResString(unsigned id);
