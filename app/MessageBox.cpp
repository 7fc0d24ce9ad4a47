#include "app/MessageBox.h"

#include "res/StringTable.h"

namespace {

IMessageBoxes* thePresenter = nullptr;

// The answer when nobody can be asked: never consent to anything.
MbAnswer UnattendedAnswer(MbButtons buttons)
{
    switch (buttons) {
    case MbButtons::OkCancel: return MbAnswer::Cancel;
    case MbButtons::YesNo: return MbAnswer::No;
    case MbButtons::Ok: break;
    }
    return MbAnswer::Ok;
}

MbIcon DefaultIcon(MbButtons buttons)
{
    return buttons == MbButtons::YesNo ? MbIcon::Question : MbIcon::Warning;
}

}  // namespace

IMessageBoxes* SetMessageBoxes(IMessageBoxes* presenter)
{
    IMessageBoxes* previous = thePresenter;
    thePresenter = presenter;
    return previous;
}

MbAnswer ShowMessageBox(const std::string& caption, const std::string& text, MbIcon icon,
                        MbButtons buttons)
{
    if (thePresenter == nullptr) return UnattendedAnswer(buttons);
    return thePresenter->Show(MessageBoxRequest{caption, text, icon, buttons});
}

MbAnswer AppMessageBox(const std::string& text, MbIcon icon, MbButtons buttons)
{
    if (icon == MbIcon::None) icon = DefaultIcon(buttons);
    return ShowMessageBox(ResString(IDS_APP_TITLE), text, icon, buttons);
}
