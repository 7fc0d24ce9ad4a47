// The main window's accelerator table (resource 128): the keys of the
// standard document, edit and pane commands. None of these commands does
// anything in this program; the keys are taken and go no further.
#pragma once

#include <array>

enum : unsigned {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT = 57607,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
};

struct Accelerator {
    const char* keys;  // in the portable text form, "Ctrl+N"
    unsigned command;
};

inline constexpr std::array<Accelerator, 14> kAccelerators = {{
    {"Ctrl+N", ID_FILE_NEW},
    {"Ctrl+O", ID_FILE_OPEN},
    {"Ctrl+S", ID_FILE_SAVE},
    {"Ctrl+P", ID_FILE_PRINT},
    {"Ctrl+Z", ID_EDIT_UNDO},
    {"Ctrl+X", ID_EDIT_CUT},
    {"Ctrl+C", ID_EDIT_COPY},
    {"Ctrl+V", ID_EDIT_PASTE},
    {"Alt+Backspace", ID_EDIT_UNDO},
    {"Shift+Del", ID_EDIT_CUT},
    {"Ctrl+Ins", ID_EDIT_COPY},
    {"Shift+Ins", ID_EDIT_PASTE},
    {"F6", ID_NEXT_PANE},
    {"Shift+F6", ID_PREV_PANE},
}};
