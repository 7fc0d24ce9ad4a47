#include "ui/MainFrame.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

#include "app/ProcessObjects.h"
#include "res/StringTable.h"
#include "ui/AboutDlg.h"
#include "ui/Accelerators.h"
#include "ui/CancelEvent.h"
#include "ui/CorvaneDoc.h"
#include "ui/CorvaneView.h"
#include "ui/FrameMessages.h"
#include "ui/Pictures.h"
#include "ui/UpgradeForm.h"

namespace {

const QString kIdleMessage = QStringLiteral("Ready");

// A command string holds the status-bar prompt, then after a newline the tooltip.
QString Prompt(unsigned id)
{
    return QString::fromStdString(ResString(id)).section(QLatin1Char('\n'), 0, 0);
}

QString Tooltip(unsigned id)
{
    return QString::fromStdString(ResString(id)).section(QLatin1Char('\n'), 1);
}

}  // namespace

CMainFrame::CMainFrame(CCorvaneDoc* document) : document_(document)
{
    resize(kWidth, kHeight);
    setWindowTitle(QString::fromStdString(theAppName));
    setWindowIcon(LoadIconResource(IDR_MAINFRAME));
    CreateCommands();
    CreateAccelerators();
    CreateMenu();
    CreateToolBar();
    CreateStatusBar();
    auto* view = new CCorvaneView(this);
    view_ = view;
    setCentralWidget(view);
    SetMainFrameHandle(this);
    view->OnInitialUpdate();
}

CMainFrame::~CMainFrame()
{
    if (MainFrameHandle() == this)
        SetMainFrameHandle(nullptr);
}

QAction* CMainFrame::AddCommand(unsigned id, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setStatusTip(Prompt(id));
    action->setToolTip(Tooltip(id).isEmpty() ? text : Tooltip(id));
    commands_.insert(id, action);
    return action;
}

QAction* CMainFrame::Command(unsigned id) const
{
    return commands_.value(id, nullptr);
}

void CMainFrame::CreateCommands()
{
    connect(AddCommand(ID_COMM_SETTING, QStringLiteral("Comm Setting")), &QAction::triggered,
            document_, &CCorvaneDoc::OnCommSetting);
    connect(AddCommand(ID_RIB_SETTING, QStringLiteral("RIB Setting")), &QAction::triggered,
            document_, &CCorvaneDoc::OnRibSetting);
    connect(AddCommand(ID_APP_EXIT, QStringLiteral("E&xit")), &QAction::triggered, this,
            &QWidget::close);
    AddCommand(ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"))->setCheckable(true);
    AddCommand(ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"))->setCheckable(true);
    AddCommand(ID_VIEW_OPTION_LIST, QStringLiteral("&Option List"))->setEnabled(false);
    connect(AddCommand(ID_APP_ABOUT, QStringLiteral("&About")), &QAction::triggered, this,
            &CMainFrame::OnAppAbout);
    const QList<QIcon> images = LoadToolbarImages();
    const unsigned withImages[] = {ID_COMM_SETTING, ID_RIB_SETTING, ID_APP_ABOUT};
    for (int i = 0; i < images.size() && i < 3; ++i)
        Command(withImages[i])->setIcon(images[i]);
}

void CMainFrame::CreateAccelerators()
{
    // One action per command, carrying all its keys; with nothing connected
    // a key is taken and does nothing.
    for (const Accelerator& entry : kAccelerators) {
        QAction* action = Command(entry.command);
        if (!action) {
            action = new QAction(this);
            commands_.insert(entry.command, action);
            addAction(action);
        }
        action->setShortcuts(action->shortcuts() << QKeySequence(QString::fromLatin1(entry.keys)));
    }
}

void CMainFrame::CreateMenu()
{
    QMenu* config = menuBar()->addMenu(QStringLiteral("&Config"));
    config->addAction(Command(ID_COMM_SETTING));
    config->addAction(Command(ID_RIB_SETTING));
    config->addSeparator();
    config->addAction(Command(ID_APP_EXIT));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(Command(ID_VIEW_TOOLBAR));
    view->addAction(Command(ID_VIEW_STATUS_BAR));
    view->addAction(Command(ID_VIEW_OPTION_LIST));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(Command(ID_APP_ABOUT));
}

void CMainFrame::CreateToolBar()
{
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("toolbar59392"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->addAction(Command(ID_COMM_SETTING));
    toolBar_->addAction(Command(ID_RIB_SETTING));
    toolBar_->addSeparator();
    toolBar_->addAction(Command(ID_APP_ABOUT));
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // Prompts follow a pressed button only, not a hovered one.
    for (unsigned id : {ID_COMM_SETTING, ID_RIB_SETTING, ID_APP_ABOUT}) {
        auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(Command(id)));
        if (!button)
            continue;
        button->installEventFilter(this);
        connect(button, &QToolButton::pressed, this, [this, id] { SetStatusText(Prompt(id)); });
    }
    QAction* toggle = Command(ID_VIEW_TOOLBAR);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, toolBar_, &QToolBar::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar()
{
    messagePane_ = new QLabel(kIdleMessage, this);
    statusBar()->addWidget(messagePane_, 1);
    comPane_ = new QLabel(this);
    comPane_->setObjectName(QStringLiteral("pane59142"));
    comPane_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // The pane is as wide as its string, "COM" and two blanks.
    const int margins = 2 * (comPane_->frameWidth() + comPane_->margin()) + 4;
    comPane_->setFixedWidth(
        comPane_->fontMetrics().horizontalAdvance(QString::fromStdString(ResString(ID_INDICATOR_COM))) +
        margins);
    statusBar()->addPermanentWidget(comPane_);
    QAction* toggle = Command(ID_VIEW_STATUS_BAR);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
}

void CMainFrame::ShowComPort(int port)
{
    comPane_->setText(QStringLiteral("COM%1").arg(port));
}

QString CMainFrame::StatusText() const
{
    return messagePane_->text();
}

QString CMainFrame::ComPaneText() const
{
    return comPane_->text();
}

void CMainFrame::SetStatusText(const QString& text)
{
    messagePane_->setText(text);
}

void CMainFrame::SwitchView(int kind)
{
    QWidget* old = takeCentralWidget();
    QWidget* view = nullptr;
    if (kind == VIEW_MAIN_FORM) {
        auto* form = new CUpgradeForm(document_, this);
        connect(form, &CUpgradeForm::quitRequested, this, &CMainFrame::quitRequested);
        view = form;
    } else {
        view = new CCorvaneView(this);
    }
    setCentralWidget(view);
    view->show();
    if (old)
        old->hide();
    view_ = view;
    view->setFocus();
    if (auto* form = qobject_cast<CUpgradeForm*>(view))
        form->OnInitialUpdate();
    else if (auto* background = qobject_cast<CCorvaneView*>(view))
        background->OnInitialUpdate();
    delete old;
}

void CMainFrame::OnSwitchView(qintptr wParam)
{
    const int kind = wParam == VIEW_MAIN_FORM ? VIEW_MAIN_FORM : VIEW_BACKGROUND;
    if (document_->currentViewKind == kind)
        return;
    document_->currentViewKind = kind;
    SwitchView(kind);
}

void CMainFrame::OnProgressOpen(qintptr wParam, qintptr lParam)
{
    if (progress_.IsOpen())
        return;
    const bool withCancel = lParam != 0;
    progress_.Open(this, withCancel ? QStringLiteral("Progress Percentage") : QStringLiteral("Please Wait"),
                   true, withCancel);
    progress_.Layout(2, 250);
    progress_.BeginModal(QStringLiteral("Progress"), false);
    progress_.SetBounds(0, static_cast<int>(wParam), 1);
    progress_.RefreshMessage();
}

void CMainFrame::OnProgressStep()
{
    if (!progress_.IsOpen())
        return;
    progress_.Step();
    progress_.PumpMessages();
    if (progress_.WasCancelled())
        if (CCancelEvent* cancel = CancelEventHandle())
            cancel->Set();
}

void CMainFrame::OnProgressClose()
{
    if (!progress_.IsOpen())
        return;
    progress_.Reset();
    progress_.Hide();
    progress_.DestroyWindow();
}

void CMainFrame::OnStatusPhase(qintptr wParam)
{
    // Only 1, 2 and 3 name a phase; every other value restores.
    const int phase = wParam >= 1 && wParam <= 3 ? static_cast<int>(wParam) : 0;
    if (const std::optional<std::string> text = phase_.Apply(phase, StatusText().toStdString()))
        SetStatusText(QString::fromStdString(*text));
    statusBar()->repaint();
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about(this);
    about.exec();
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        SetStatusText(tip.isEmpty() ? kIdleMessage : tip);
        return true;
    }
    if (const auto* message = dynamic_cast<const CFrameMessage*>(event)) {
        switch (message->Message()) {
        case WM_APP_SWITCHVIEW: OnSwitchView(message->wParam); return true;
        case WM_APP_PROGRESS_OPEN: OnProgressOpen(message->wParam, message->lParam); return true;
        case WM_APP_PROGRESS_STEP: OnProgressStep(); return true;
        case WM_APP_PROGRESS_CLOSE: OnProgressClose(); return true;
        case WM_APP_STATUS_PHASE: OnStatusPhase(message->wParam); return true;
        default: break;  // the application range's other numbers get the default handling
        }
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (qobject_cast<QToolButton*>(watched)) {
        if (event->type() == QEvent::StatusTip)
            return true;  // a hovered button shows no prompt
        if (event->type() == QEvent::MouseButtonRelease)
            SetStatusText(kIdleMessage);  // released, inside the button or not
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    document_->OnCloseDocument();
    event->accept();
}
