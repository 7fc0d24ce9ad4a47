#include "ui/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/FrameMessages.h"

namespace {

QMessageBox::Icon ToQt(MbIcon icon)
{
    switch (icon) {
    case MbIcon::Error: return QMessageBox::Critical;
    case MbIcon::Question: return QMessageBox::Question;
    case MbIcon::Warning: return QMessageBox::Warning;
    case MbIcon::Information: return QMessageBox::Information;
    case MbIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MbButtons buttons)
{
    switch (buttons) {
    case MbButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MbButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MbButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

// Closing a box without a button gives the answer of its last button.
MbAnswer FromQt(int result, MbButtons buttons)
{
    switch (result) {
    case QMessageBox::Ok: return MbAnswer::Ok;
    case QMessageBox::Yes: return MbAnswer::Yes;
    case QMessageBox::No: return MbAnswer::No;
    case QMessageBox::Cancel: return MbAnswer::Cancel;
    default: break;
    }
    switch (buttons) {
    case MbButtons::OkCancel: return MbAnswer::Cancel;
    case MbButtons::YesNo: return MbAnswer::No;
    case MbButtons::Ok: break;
    }
    return MbAnswer::Ok;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const MessageBoxRequest& box, QWidget* parent)
{
    if (!parent)
        parent = QApplication::activeWindow() ? QApplication::activeWindow() : MainFrameHandle();
    auto dialog = std::make_unique<QMessageBox>(ToQt(box.icon), QString::fromStdString(box.caption),
                                                QString::fromStdString(box.text), ToQt(box.buttons),
                                                parent);
    dialog->setTextFormat(Qt::PlainText);
    dialog->setDefaultButton(box.buttons == MbButtons::YesNo ? QMessageBox::Yes : QMessageBox::Ok);
    return dialog;
}

MbAnswer CQtMessageBoxes::Show(const MessageBoxRequest& box)
{
    const std::unique_ptr<QMessageBox> dialog = MakeMessageBox(box);
    return FromQt(dialog->exec(), box.buttons);
}
