// The main frame's message interface: the numbers, their event carrier, and
// the process-wide handle through which views and documents reach the frame.
#pragma once

#include <QEvent>
#include <QObject>

class QWidget;

// The messages keep their numbers from the application range upward; they
// double as Qt event types, which that range lies inside.
enum : unsigned {
    kWmApp = 0x8000,
    WM_APP_SWITCHVIEW = kWmApp + 0,      // wParam 4: the main form; else the background view
    WM_APP_PROGRESS_OPEN = kWmApp + 1,   // wParam upper bound; lParam != 0: with Cancel
    WM_APP_PROGRESS_STEP = kWmApp + 2,
    WM_APP_PROGRESS_CLOSE = kWmApp + 3,
    WM_APP_STATUS_PHASE = kWmApp + 5,    // wParam 1, 2, 3, or any other value to restore
};

// The view kinds of the document.
enum : int { VIEW_MAIN_FORM = 4, VIEW_BACKGROUND = 255 };

class CFrameMessage : public QEvent {
public:
    CFrameMessage(unsigned message, qintptr wParam, qintptr lParam)
        : QEvent(static_cast<QEvent::Type>(message)), wParam(wParam), lParam(lParam)
    {
    }
    unsigned Message() const { return static_cast<unsigned>(type()); }

    const qintptr wParam;
    const qintptr lParam;
};

// Queues the message for `receiver` (the frame when null); nothing happens
// when there is no receiver.
void PostFrameMessage(unsigned message, qintptr wParam = 0, qintptr lParam = 0,
                      QObject* receiver = nullptr);
// Delivers the message at once; returns whether it was handled.
bool SendFrameMessage(unsigned message, qintptr wParam = 0, qintptr lParam = 0,
                      QObject* receiver = nullptr);

// The main frame, recorded at the end of its creation; null before and after.
QWidget* MainFrameHandle();
void SetMainFrameHandle(QWidget* frame);
