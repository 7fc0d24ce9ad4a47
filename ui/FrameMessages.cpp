#include "ui/FrameMessages.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget>& Handle()
{
    static QPointer<QWidget> frame;
    return frame;
}

QObject* Receiver(QObject* receiver)
{
    return receiver ? receiver : Handle().data();
}

}  // namespace

void PostFrameMessage(unsigned message, qintptr wParam, qintptr lParam, QObject* receiver)
{
    if (QObject* to = Receiver(receiver))
        QCoreApplication::postEvent(to, new CFrameMessage(message, wParam, lParam));
}

bool SendFrameMessage(unsigned message, qintptr wParam, qintptr lParam, QObject* receiver)
{
    QObject* to = Receiver(receiver);
    if (!to)
        return false;
    CFrameMessage event(message, wParam, lParam);
    return QCoreApplication::sendEvent(to, &event);
}

QWidget* MainFrameHandle()
{
    return Handle().data();
}

void SetMainFrameHandle(QWidget* frame)
{
    Handle() = frame;
}
