#include "ui/ProgressWnd.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "ui/FrameMessages.h"
#include "ui/Profile.h"

namespace {

constexpr int kInitialWidth = 390;
constexpr int kInitialHeight = 130;

QRect ToQRect(const PxRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

CProgressWnd::CProgressWnd() = default;

CProgressWnd::~CProgressWnd()
{
    if (QWidget* main = MainFrameHandle())
        main->activateWindow();
    DestroyWindow();
}

bool CProgressWnd::Open(QWidget* parent, const QString& caption, bool smooth, bool withCancel)
{
    if (!fontMade_) {
        font_ = QApplication::font("QMessageBox");
        fontMade_ = true;
    }
    if (!parent)
        parent = MainFrameHandle();
    // A caption bar and a dialog frame, no system menu or close box.
    auto* window = new QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setObjectName(QStringLiteral("progressWindow"));
    window->setWindowTitle(caption);
    window->setCursor(Qt::BusyCursor);
    window->setAutoFillBackground(true);
    QPalette face = window->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    window->setPalette(face);
    window->setGeometry(0, 0, kInitialWidth, kInitialHeight);

    text_ = new QLabel(window);
    text_->setTextFormat(Qt::PlainText);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setGeometry(0, 0, 10, 10);
    bar_ = new QProgressBar(window);
    bar_->setTextVisible(false);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    // Qt draws one kind of bar; a segmented one looks the same as a smooth one.
    bar_->setProperty("smooth", smooth);
    bar_->setGeometry(0, 0, 10, 10);
    cancel_ = new QPushButton(cancelLabel_, window);
    cancel_->setGeometry(0, 0, 10, 10);
    connect(cancel_, &QPushButton::clicked, this, &CProgressWnd::OnCancel);
    window_ = window;
    barPosition_ = 0;

    cancelWanted_ = withCancel;
    text_->setFont(font_);
    cancel_->setFont(font_);
    if (cancelWanted_)
        cancel_->setEnabled(true);
    else
        cancel_->hide();
    Layout(textLines_, kInitialWidth);
    if (keepPlacement_)
        RestorePlacement();
    else
        CentreOverOwner();
    open_ = true;
    Reveal();
    return true;
}

void CProgressWnd::Layout(int textLines, int textWidth)
{
    if (!window_)
        return;
    QString probe = QStringLiteral("M");
    for (int i = 1; i < textLines; ++i)
        probe += QStringLiteral("\nM");
    const QFontMetrics fm(font_);
    const int edge = window_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    ProgressLayoutInput in;
    in.textHeight = fm.boundingRect(QRect(), Qt::TextDontClip, probe).height();
    in.textWidth = textWidth;
    in.labelWidth = fm.horizontalAdvance(cancelLabel_ + QStringLiteral("  "));
    in.labelHeight = fm.height();
    in.edgeX = edge;
    in.edgeY = edge;
    in.cancelWanted = cancelWanted_;
    layout_ = LayoutProgress(in);
    window_->resize(layout_.clientWidth, layout_.clientHeight);
    bar_->setGeometry(ToQRect(layout_.bar));
    cancel_->setGeometry(ToQRect(layout_.button));
    text_->setGeometry(ToQRect(layout_.text));
}

bool CProgressWnd::BeginModal(const QString& caption, bool smooth)
{
    if (!window_ && !Open(MainFrameHandle(), caption, smooth, true))
        return false;
    // Disabling the frame disables its child windows too; this window is
    // enabled again afterwards, which a window may be under a disabled parent.
    if (QWidget* main = MainFrameHandle())
        main->setEnabled(false);
    window_->setEnabled(true);
    modal_ = true;
    return true;
}

void CProgressWnd::SetBounds(int lower, int upper, int step)
{
    if (!window_)
        return;
    bar_->setRange(lower, std::max(lower, upper));
    model_.SetBounds(lower, upper, step);
    barPosition_ = std::clamp(barPosition_, lower, std::max(lower, upper));
    bar_->setValue(barPosition_);
}

int CProgressWnd::SetPosition(int position)
{
    if (!window_)
        return model_.Position();
    Reveal();
    if (const std::optional<int> percentage = model_.SetPosition(position))
        window_->setWindowTitle(QString::fromStdString(ProgressCaption(title_.toStdString(), *percentage)));
    // The bar keeps its position inside its range, as a progress bar does.
    const int previous = barPosition_;
    barPosition_ = std::clamp(position, bar_->minimum(), bar_->maximum());
    bar_->setValue(barPosition_);
    return previous;
}

int CProgressWnd::Step()
{
    if (!window_)
        return model_.Position();
    return SetPosition(model_.Position() + model_.Step());
}

void CProgressWnd::SetMessage(const char* format, ...)
{
    if (!window_)
        return;
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);  // cuts longer texts at 511
    va_end(args);
    message_ = QString::fromLocal8Bit(buffer);
    text_->setText(message_);
}

void CProgressWnd::RefreshMessage()
{
    if (window_)
        text_->setText(message_);
}

void CProgressWnd::Reset()
{
    SetMessage("%s", "");
    SetPosition(0);
    cancelled_ = false;
    model_.StorePosition(0);  // the last percentage stays
    if (window_)
        window_->repaint();
}

void CProgressWnd::Hide()
{
    if (window_ && window_->isVisible())
        window_->hide();
}

void CProgressWnd::Reveal()
{
    if (!window_ || window_->isVisible())
        return;
    window_->setAttribute(Qt::WA_ShowWithoutActivating);
    window_->show();
    window_->repaint();
}

void CProgressWnd::PumpMessages()
{
    if (modal_ && window_ && !window_->isAncestorOf(QApplication::focusWidget())) {
        window_->activateWindow();
        window_->setFocus();
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    while (!cancelled_ && dispatcher->processEvents(QEventLoop::AllEvents)) {
    }
}

void CProgressWnd::OnCancel()
{
    cancelled_ = true;
    Hide();
    if (modal_ && window_) {
        // The close request destroys the window; the frame stays disabled and
        // the open flag stays set until DestroyWindow completes the close.
        QWidget* window = window_;
        window_ = nullptr;
        window->deleteLater();
    }
    if (QWidget* main = MainFrameHandle()) {
        main->raise();
        main->activateWindow();
    }
}

void CProgressWnd::DestroyWindow()
{
    if (keepPlacement_)
        SavePlacement();
    if (modal_) {
        modal_ = false;
        if (QWidget* main = MainFrameHandle())
            main->setEnabled(true);
    }
    open_ = false;
    if (QWidget* window = window_) {
        window_ = nullptr;
        window->hide();
        window->deleteLater();
    }
}

void CProgressWnd::RestorePlacement()
{
    const std::unique_ptr<QSettings> profile = ApplicationProfile();
    const int x = profile->value(QStringLiteral("Settings/X"), -1).toInt();
    const int y = profile->value(QStringLiteral("Settings/Y"), -1).toInt();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize();
    if (PlacementOnScreen(x, y, size.width(), size.height()))
        window_->move(x, y);
    else
        CentreOverOwner();
}

void CProgressWnd::SavePlacement()
{
    if (!window_)
        return;
    const QPoint corner = window_->frameGeometry().topLeft();
    const std::unique_ptr<QSettings> profile = ApplicationProfile();
    profile->setValue(QStringLiteral("Settings/X"), corner.x());
    profile->setValue(QStringLiteral("Settings/Y"), corner.y());
}

void CProgressWnd::CentreOverOwner()
{
    QRect over;
    if (QWidget* owner = window_->parentWidget())
        over = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        over = screen->geometry();
    window_->move(over.center() - QPoint(window_->width() / 2, window_->height() / 2));
}
