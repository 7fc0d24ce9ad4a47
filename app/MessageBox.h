// Message boxes, presented by whichever front end is running.
//
// The kit never draws a box itself: it describes one (caption, text, icon,
// buttons) and asks the installed presenter for the answer. The desktop kit
// installs windows, the command-line kit a terminal prompt, tests a script.
#pragma once

#include <string>

enum class MbButtons { Ok, OkCancel, YesNo };

// Icons. The exclamation icon of the application message box and the warning
// icon are one and the same.
enum class MbIcon { None, Error, Question, Warning, Information };

// Answers carry the conventional numbers (OK 1, Cancel 2, Yes 6, No 7).
enum class MbAnswer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageBoxRequest {
    std::string caption;
    std::string text;
    MbIcon icon = MbIcon::None;
    MbButtons buttons = MbButtons::Ok;
};

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual MbAnswer Show(const MessageBoxRequest& box) = 0;
};

// Installs the presenter for the whole process (null: none). Returns the one
// it replaces. Without a presenter every box is answered Cancel or No (OK for
// a box that has only OK), so that nothing is ever done without consent.
IMessageBoxes* SetMessageBoxes(IMessageBoxes* presenter);

// A box with a caption of its own ("Error", "Info", "Confirm", ...).
MbAnswer ShowMessageBox(const std::string& caption, const std::string& text, MbIcon icon,
                        MbButtons buttons);

// The application message box: captioned with the application title (string
// 57344). Without an icon it gets the exclamation icon for OK and OK/Cancel
// boxes and the question icon for Yes/No boxes.
MbAnswer AppMessageBox(const std::string& text, MbIcon icon = MbIcon::None,
                       MbButtons buttons = MbButtons::Ok);

// Installs a presenter for the life of the object, then puts the old one back.
class CScopedMessageBoxes {
public:
    explicit CScopedMessageBoxes(IMessageBoxes* presenter) : saved_(SetMessageBoxes(presenter)) {}
    ~CScopedMessageBoxes() { SetMessageBoxes(saved_); }
    CScopedMessageBoxes(const CScopedMessageBoxes&) = delete;
    CScopedMessageBoxes& operator=(const CScopedMessageBoxes&) = delete;

private:
    IMessageBoxes* saved_;
};
