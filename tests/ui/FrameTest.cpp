// The desktop kit brought up as the program does: titles and pictures per
// product line, the view switch after start-up, the frame's messages, the
// menu and toolbar, the settings commands and the settings written at close.
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/ProcessObjects.h"
#include "res/StringTable.h"
#include "ui/Accelerators.h"
#include "ui/CancelEvent.h"
#include "ui/CorvaneDoc.h"
#include "ui/CorvaneView.h"
#include "ui/DesktopKit.h"
#include "ui/MainFrame.h"
#include "ui/Pictures.h"
#include "ui/UpgradeForm.h"

namespace {

// The kit started in a scratch directory, with or without patcher.dat.
struct StartedKit {
    CScratchDirectory dir;
    CScriptedBoxes boxes;
    CScopedMessageBoxes presenter{&boxes};
    CDesktopKit kit;
    explicit StartedKit(const std::string& productLine)
    {
        if (!productLine.empty())
            dir.WriteConfig(ConfigText(productLine));
        theApp.productLine = kNoProductLine;
        CCorvaneView::ResetFormRequested();
        QVERIFY(kit.InitInstance());
    }
    CMainFrame* Frame() const { return kit.Frame(); }
    CCorvaneDoc* Document() const { return kit.Document(); }
    bool ShowsForm() const { return qobject_cast<CUpgradeForm*>(Frame()->ActiveView()) != nullptr; }
};

// The settings as the store holds them now.
std::pair<int, int> StoredSettings()
{
    CCommSettings stored;
    return {stored.portId, stored.ribEchoType};
}

}  // namespace

class FrameTest : public QObject {
    Q_OBJECT

private slots:
    void titlesAndPicturesPerProductLine_data();
    void titlesAndPicturesPerProductLine();
    void frameCaptionBeforeTheTitle();
    void viewSwitchAfterStartUp();
    void progressMessages();
    void progressCancelSignalsTheEvent();
    void statusPhases();
    void menuAndToolbar();
    void toolbarPromptFollowsPressNotHover();
    void acceleratorKeysReachTheirCommands();
    void commSettingShowsPortAndSavesAtClose();
    void ribSettingAndCancel();
};

void FrameTest::titlesAndPicturesPerProductLine_data()
{
    QTest::addColumn<QString>("line");  // empty: no patcher.dat
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("picture");
    QTest::newRow("no patcher.dat") << QString() << "Radio Upgrade Kit" << 160;
    QTest::newRow("BASIC") << "BASIC" << "Radio Sales Number Recovery Kit" << 229;
    QTest::newRow("ORION") << "ORION" << "Radio Sales Number Recovery Kit" << 228;
    QTest::newRow("TRUNK") << "TRUNK" << "Radio Sales Number Recovery Kit" << 229;
    QTest::newRow("VEGA_A") << "VEGA_A" << "Radio Upgrade Kit" << 229;
    QTest::newRow("unknown line") << "basic" << "Radio Upgrade Kit" << 160;
}

void FrameTest::titlesAndPicturesPerProductLine()
{
    QFETCH(QString, line);
    QFETCH(QString, title);
    QFETCH(int, picture);
    StartedKit started(line.toStdString());
    CMainFrame* frame = started.Frame();
    QCOMPARE(frame->windowTitle(), title);
    QCOMPARE(frame->size(), QSize(CMainFrame::kWidth, CMainFrame::kHeight));
    QCOMPARE(frame->ComPaneText(), QStringLiteral("COM1"));
    QVERIFY(qobject_cast<CCorvaneView*>(frame->ActiveView()));

    // The view shows that picture, centred, on the button-shadow grey.
    QImage expected;
    QList<QRgb> palette;
    QVERIFY(LoadPictureWithPalette(static_cast<unsigned>(picture), expected, palette));
    const QImage shown = frame->ActiveView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin(shown.width() / 2 - expected.width() / 2,
                        shown.height() / 2 - expected.height() / 2);
    for (const QPoint p : {QPoint(60, 60), QPoint(200, 150), QPoint(300, 250)}) {
        const QPoint at = origin + p;
        if (shown.rect().contains(at))
            QCOMPARE(shown.pixel(at), expected.pixel(p));
    }
    if (origin.x() > 0)
        QCOMPARE(shown.pixel(0, shown.height() / 2), QApplication::palette().color(QPalette::Dark).rgb());
}

void FrameTest::frameCaptionBeforeTheTitle()
{
    CCorvaneDoc document;
    CMainFrame frame(&document);
    QCOMPARE(frame.windowTitle(), QStringLiteral("Corvane"));
    QVERIFY(MainFrameHandle() == &frame);
}

void FrameTest::viewSwitchAfterStartUp()
{
    QElapsedTimer clock;
    clock.start();
    StartedKit started("BASIC");
    QVERIFY(!CCorvaneView::FormRequested());
    QCOMPARE(started.Document()->currentViewKind, int(VIEW_BACKGROUND));
    QTRY_VERIFY_WITH_TIMEOUT(started.ShowsForm(), 30000);
    QVERIFY(CCorvaneView::FormRequested());
    QVERIFY(clock.elapsed() >= CCorvaneView::kWaitMs);  // it waited before asking
    QCOMPARE(started.Document()->currentViewKind, int(VIEW_MAIN_FORM));

    CMainFrame* frame = started.Frame();
    QWidget* form = frame->ActiveView();
    SendFrameMessage(WM_APP_SWITCHVIEW, VIEW_MAIN_FORM, 0);
    QCOMPARE(frame->ActiveView(), form);  // already showing: nothing happens

    SendFrameMessage(WM_APP_SWITCHVIEW, 7, 0);
    QVERIFY(qobject_cast<CCorvaneView*>(frame->ActiveView()));
    QCOMPARE(started.Document()->currentViewKind, int(VIEW_BACKGROUND));
    QWidget* background = frame->ActiveView();
    SendFrameMessage(WM_APP_SWITCHVIEW, 0, 0);
    QCOMPARE(frame->ActiveView(), background);
    // A later background view never asks again: the flag is process-wide.
    QTest::qWait(CCorvaneView::kTimerPeriodMs * 3);
    QCOMPARE(frame->ActiveView(), background);

    SendFrameMessage(WM_APP_SWITCHVIEW, VIEW_MAIN_FORM, 0);
    QVERIFY(started.ShowsForm());
}

void FrameTest::progressMessages()
{
    StartedKit started("BASIC");
    CMainFrame* frame = started.Frame();
    CProgressWnd& progress = frame->ProgressWindow();
    // Step and close with no progress window are ignored.
    SendFrameMessage(WM_APP_PROGRESS_STEP);
    SendFrameMessage(WM_APP_PROGRESS_CLOSE);
    QVERIFY(!progress.IsOpen());
    SendFrameMessage(kWmApp + 4, 10, 1);  // no handler: nothing opens
    QVERIFY(!progress.IsOpen());

    struct Case {
        qintptr upper, lParam;
        const char* caption;
        bool cancel;
        const char* afterTwoSteps;
    };
    const Case cases[] = {{200, 1, "Progress Percentage", true, "Progress [1%]"},
                          {4, 0, "Please Wait", false, "Progress [50%]"},
                          {0, 1, "Progress Percentage", true, "Progress [0%]"}};
    for (const Case& c : cases) {
        SendFrameMessage(WM_APP_PROGRESS_OPEN, c.upper, c.lParam);
        QVERIFY(progress.IsOpen());
        QWidget* window = progress.Window();
        QCOMPARE(window->windowTitle(), QString::fromLatin1(c.caption));
        QCOMPARE(progress.CancelButton()->isVisibleTo(window), c.cancel);
        QCOMPARE(window->width(), 270);
        QVERIFY(!frame->isEnabled());
        QVERIFY(window->isEnabled());
        SendFrameMessage(WM_APP_PROGRESS_OPEN, 10, 0);  // a second open is ignored
        QCOMPARE(progress.Window(), window);
        QCOMPARE(progress.Bar()->maximum(), int(c.upper));
        SendFrameMessage(WM_APP_PROGRESS_STEP);
        SendFrameMessage(WM_APP_PROGRESS_STEP);
        if (c.upper == 0)
            QCOMPARE(window->windowTitle(), QString::fromLatin1(c.caption));  // always 0 %
        else
            QCOMPARE(window->windowTitle(), QString::fromLatin1(c.afterTwoSteps));
        SendFrameMessage(WM_APP_PROGRESS_CLOSE);
        QVERIFY(!progress.IsOpen());
        QVERIFY(progress.Window() == nullptr);
        QVERIFY(frame->isEnabled());
    }
}

void FrameTest::progressCancelSignalsTheEvent()
{
    StartedKit started("BASIC");
    CCancelEvent* cancel = CancelEventHandle();
    QVERIFY(cancel);
    QVERIFY(!cancel->TryWait());
    SendFrameMessage(WM_APP_PROGRESS_OPEN, 10, 1);
    SendFrameMessage(WM_APP_PROGRESS_STEP);
    QVERIFY(!cancel->TryWait());
    QTest::mouseClick(started.Frame()->ProgressWindow().CancelButton(), Qt::LeftButton);
    // Every step after the cancel signals the event again, until the close.
    for (int i = 0; i < 2; ++i) {
        SendFrameMessage(WM_APP_PROGRESS_STEP);
        QVERIFY(cancel->TryWait());
        QVERIFY(!cancel->TryWait());  // auto-reset
    }
    QVERIFY(!started.Frame()->isEnabled());
    SendFrameMessage(WM_APP_PROGRESS_CLOSE);
    QVERIFY(started.Frame()->isEnabled());
    SendFrameMessage(WM_APP_PROGRESS_STEP);
    QVERIFY(!cancel->TryWait());
}

void FrameTest::statusPhases()
{
    StartedKit started("BASIC");
    CMainFrame* frame = started.Frame();
    const QString ready = frame->StatusText();
    QCOMPARE(ready, QStringLiteral("Ready"));
    struct Step {
        qintptr phase;
        QString shown;
    };
    const std::vector<std::vector<Step>> runs = {
        {{1, "Please Wait: Downloading bootcode ..."}, {2, "Please Wait: Flashing firmware ..."},
         {0, ready}},
        {{1, "Please Wait: Downloading bootcode ..."}, {3, ready}},
        {{3, "Please Wait: Verifying Checksum ..."}, {4, ready}},
        {{0, ready}, {0x100000001LL, ready}},  // only 1 exactly is phase 1
    };
    for (const auto& run : runs)
        for (const Step& step : run) {
            SendFrameMessage(WM_APP_STATUS_PHASE, step.phase);
            QCOMPARE(frame->StatusText(), step.shown);
        }
}

void FrameTest::menuAndToolbar()
{
    StartedKit started("BASIC");
    CMainFrame* frame = started.Frame();
    QStringList menus;
    for (QAction* menu : frame->menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, (QStringList{"&Config", "&View", "&Help"}));
    QStringList config;
    for (QAction* item : frame->menuBar()->actions()[0]->menu()->actions())
        config << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(config, (QStringList{"Comm Setting", "RIB Setting", "-", "E&xit"}));

    struct Command {
        unsigned id;
        const char* prompt;
        const char* tooltip;  // null: not on the toolbar
    };
    const Command commands[] = {
        {ID_COMM_SETTING, "Select Communication port", "Comm Setting"},
        {ID_RIB_SETTING, "Determine whether the RIB echos transmission", "Echo Setting"},
        {ID_APP_ABOUT, "Display program information, version number and copyright", "About"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents", nullptr},
        {ID_VIEW_TOOLBAR, "Show or hide the toolbar", nullptr},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar", nullptr},
        {ID_VIEW_OPTION_LIST, "Show or hide the Option List", nullptr},
    };
    QList<QAction*> toolbar;
    for (QAction* a : frame->ToolBar()->actions())
        if (!a->isSeparator())
            toolbar << a;
    for (const Command& c : commands) {
        QAction* action = frame->Command(c.id);
        QVERIFY(action);
        QCOMPARE(action->statusTip(), QString::fromLatin1(c.prompt));
        QCOMPARE(toolbar.contains(action), c.tooltip != nullptr);
        if (c.tooltip)
            QCOMPARE(action->toolTip(), QString::fromLatin1(c.tooltip));
    }
    QCOMPARE(frame->ToolBar()->actions().size(), 4);
    QVERIFY(frame->ToolBar()->actions()[2]->isSeparator());
    QVERIFY(!frame->Command(ID_VIEW_OPTION_LIST)->isEnabled());

    // The View items show and hide the bars, with a check mark while shown.
    for (unsigned id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(frame->ToolBar())
                                             : static_cast<QWidget*>(frame->statusBar());
        QAction* toggle = frame->Command(id);
        QVERIFY(toggle->isChecked() && bar->isVisible());
        toggle->trigger();
        QVERIFY(!toggle->isChecked() && !bar->isVisible());
        toggle->trigger();
        QVERIFY(toggle->isChecked() && bar->isVisible());
    }
}

void FrameTest::toolbarPromptFollowsPressNotHover()
{
    StartedKit started("BASIC");
    CMainFrame* frame = started.Frame();
    QWidget* button = frame->ToolBar()->widgetForAction(frame->Command(ID_COMM_SETTING));
    QVERIFY(button);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(button, &enter);
    QCOMPARE(frame->StatusText(), QStringLiteral("Ready"));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(frame->StatusText(), QStringLiteral("Select Communication port"));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-50, -50));  // released outside
    QCOMPARE(frame->StatusText(), QStringLiteral("Ready"));
}

void FrameTest::acceleratorKeysReachTheirCommands()
{
    StartedKit started("BASIC");
    CMainFrame* frame = started.Frame();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    const int port = started.Document()->PortId();
    const int echo = started.Document()->RibEchoType();
    const std::pair<const char*, unsigned> keys[] = {
        {"Ctrl+N", ID_FILE_NEW},     {"Ctrl+O", ID_FILE_OPEN},        {"Ctrl+S", ID_FILE_SAVE},
        {"Ctrl+P", ID_FILE_PRINT},   {"Ctrl+Z", ID_EDIT_UNDO},        {"Alt+Backspace", ID_EDIT_UNDO},
        {"Ctrl+X", ID_EDIT_CUT},     {"Shift+Del", ID_EDIT_CUT},      {"Ctrl+C", ID_EDIT_COPY},
        {"Ctrl+Ins", ID_EDIT_COPY},  {"Ctrl+V", ID_EDIT_PASTE},       {"Shift+Ins", ID_EDIT_PASTE},
        {"F6", ID_NEXT_PANE},        {"Shift+F6", ID_PREV_PANE},
    };
    for (const auto& [sequence, id] : keys) {
        QAction* command = frame->Command(id);
        QVERIFY2(command, sequence);
        QSignalSpy triggered(command, &QAction::triggered);
        QTest::keySequence(frame, QKeySequence(QString::fromLatin1(sequence)));
        QVERIFY2(triggered.count() == 1, sequence);
    }
    // None of them does anything the user could see.
    QVERIFY(frame->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(started.boxes.shown.empty());
    QCOMPARE(started.Document()->PortId(), port);
    QCOMPARE(int(started.Document()->RibEchoType()), echo);
}

void FrameTest::commSettingShowsPortAndSavesAtClose()
{
    const std::pair<int, int> before = StoredSettings();
    StartedKit started("BASIC");
    CMainFrame* frame = started.Frame();
    QCOMPARE(frame->ComPaneText(), QStringLiteral("COM%1").arg(before.first));
    WhenModalDialogShows([](QWidget* dialog) {
        auto* combo = dialog->findChild<QComboBox*>();
        combo->setCurrentIndex(1);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    frame->Command(ID_COMM_SETTING)->trigger();
    QCOMPARE(frame->ComPaneText(), QStringLiteral("COM2"));
    QCOMPARE(started.Document()->PortId(), 2);
    QCOMPARE(StoredSettings().first, before.first);  // not written until close

    WhenModalDialogShows([](QWidget* dialog) {
        dialog->findChild<QComboBox*>()->setEditText(QStringLiteral("COMM7"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    frame->Command(ID_COMM_SETTING)->trigger();
    QCOMPARE(frame->ComPaneText(), QStringLiteral("COM7"));
    frame->close();
    QCOMPARE(StoredSettings().first, 7);

    // The next start shows the stored port.
    StartedKit again("BASIC");
    QCOMPARE(again.Frame()->ComPaneText(), QStringLiteral("COM7"));
    again.Document()->Settings().portId = 1;
    again.Frame()->close();
    QCOMPARE(StoredSettings().first, 1);
}

void FrameTest::ribSettingAndCancel()
{
    StartedKit started("BASIC");
    CMainFrame* frame = started.Frame();
    QCOMPARE(started.Document()->RibEchoType(), 1);
    WhenModalDialogShows([](QWidget* dialog) {
        QList<QRadioButton*> radios = dialog->findChildren<QRadioButton*>();
        QVERIFY(radios[0]->isChecked());  // Echo
        radios[1]->click();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    frame->Command(ID_RIB_SETTING)->trigger();
    QCOMPARE(started.Document()->RibEchoType(), 0);

    // Cancel in either dialog changes nothing.
    for (unsigned id : {ID_RIB_SETTING, ID_COMM_SETTING}) {
        WhenModalDialogShows([](QWidget* dialog) {
            if (auto* combo = dialog->findChild<QComboBox*>())
                combo->setCurrentIndex(1);
            for (QRadioButton* radio : dialog->findChildren<QRadioButton*>())
                radio->click();
            QMetaObject::invokeMethod(dialog, "reject");
        });
        frame->Command(id)->trigger();
    }
    QCOMPARE(started.Document()->RibEchoType(), 0);
    QCOMPARE(started.Document()->PortId(), 1);
    frame->close();
    QCOMPARE(StoredSettings().second, 0);
    started.Document()->Settings().ribEchoType = 1;
    started.Document()->OnCloseDocument();
}

CORVANE_UI_TEST_MAIN(FrameTest)
#include "FrameTest.moc"
