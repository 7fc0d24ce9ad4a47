// A small pop-up with a line of text, a progress bar and an optional Cancel
// button, for long operations on the user-interface thread. Its caption shows
// the percentage ("Progress [42%]"), and it remembers where the user left it
// in the application profile (section "Settings", entries "X" and "Y").
#pragma once

#include <QFont>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QObject>
#include <QPointer>
#include <QString>

#include "ui/ProgressMath.h"


class CProgressWnd : public QObject {
    Q_OBJECT

public:
    CProgressWnd();
    ~CProgressWnd() override;

    // Creates the window and its children; the parent is the main frame when
    // none is given.
    bool Open(QWidget* parent, const QString& caption, bool smooth, bool withCancel);
    // Sizes the text area for `textLines` lines `textWidth` pixels wide, places
    // the children and fits the window around them. Needs the window.
    void Layout(int textLines, int textWidth);
    // Opens the window (with Cancel) if it is not open, disables the main
    // frame and enables this window.
    bool BeginModal(const QString& caption, bool smooth);
    void SetBounds(int lower, int upper, int step);
    // Returns the bar's previous position; without a window the stored one.
    int SetPosition(int position);
    int Step();
    void SetMessage(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void RefreshMessage();
    void Reset();
    void Hide();
    void Reveal();
    // Lets queued events run until there are none left or the user cancels.
    void PumpMessages();
    bool IsOpen() const { return open_; }
    bool WasCancelled() const { return cancelled_; }
    // Saves the placement, ends the modal state and destroys the window.
    void DestroyWindow();

    // The window and its children while the window exists, else null.
    QWidget* Window() const { return window_; }
    QLabel* TextControl() const { return text_; }
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }
    const ProgressLayout& LastLayout() const { return layout_; }

private slots:
    void OnCancel();

private:
    void RestorePlacement();
    void SavePlacement();
    void CentreOverOwner();

    bool cancelled_ = false;
    bool modal_ = false;
    bool keepPlacement_ = true;
    CProgressModel model_;
    int barPosition_ = 0;
    int textLines_ = 4;
    QPointer<QWidget> window_;
    QPointer<QLabel> text_;
    QPointer<QProgressBar> bar_;
    QPointer<QPushButton> cancel_;
    QString title_ = QStringLiteral("Progress");
    QString cancelLabel_ = QStringLiteral(" Cancel ");
    QFont font_;
    bool cancelWanted_ = true;
    QString message_;
    bool open_ = false;
    bool fontMade_ = false;
    ProgressLayout layout_;
};
