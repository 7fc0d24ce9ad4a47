// The single top-level window: menu, toolbar, two-pane status bar, the one
// view of the document, and the progress window. It exchanges the background
// view for the main form, shows the COM port, and takes the frame messages
// (see FrameMessages.h) as events or through its public slots.
#pragma once

#include <QMainWindow>

#include "ui/ProgressWnd.h"
#include "ui/StatusPhase.h"

class CCorvaneDoc;
class QLabel;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 450;

    // Creates the frame with its bars and the background view, captioned
    // with the application name, and records it as the main-frame handle.
    explicit CMainFrame(CCorvaneDoc* document);
    ~CMainFrame() override;

    CCorvaneDoc* Document() const { return document_; }
    // Writes "COM<n>" into status pane 1.
    void ShowComPort(int port);
    // Replaces the view: VIEW_MAIN_FORM for the form, else the background.
    void SwitchView(int kind);

    QWidget* ActiveView() const { return view_; }
    CProgressWnd& ProgressWindow() { return progress_; }
    QString StatusText() const;   // pane 0
    QString ComPaneText() const;  // pane 1
    QToolBar* ToolBar() const { return toolBar_; }
    // The menu, toolbar and accelerator commands by their numbers (32779,
    // 57664, ...).
    QAction* Command(unsigned id) const;

signals:
    // The form asked the program to end with this exit code.
    void quitRequested(int exitCode);

public slots:
    void OnSwitchView(qintptr wParam);
    void OnProgressOpen(qintptr wParam, qintptr lParam);
    void OnProgressStep();
    void OnProgressClose();
    void OnStatusPhase(qintptr wParam);
    void OnAppAbout();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateCommands();
    // The keys of the accelerator table, as actions of the window.
    void CreateAccelerators();
    void CreateMenu();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* AddCommand(unsigned id, const QString& text);
    void SetStatusText(const QString& text);

    CCorvaneDoc* document_;
    CProgressWnd progress_;
    CStatusPhase phase_;
    QWidget* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* comPane_ = nullptr;
    QMap<unsigned, QAction*> commands_;
};
