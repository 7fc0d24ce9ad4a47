#include "ui/CorvaneView.h"

#include <QApplication>
#include <QPainter>
#include <QThread>

#include "app/ProcessObjects.h"
#include "ui/FrameMessages.h"
#include "ui/Pictures.h"

namespace {

bool formRequested = false;

}  // namespace

CCorvaneView::CCorvaneView(QWidget* parent) : QWidget(parent)
{
    // The drawing covers the whole client area; nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CCorvaneView::OnInitialUpdate()
{
    timer_.start(kTimerPeriodMs, this);
}

bool CCorvaneView::FormRequested()
{
    return formRequested;
}

void CCorvaneView::ResetFormRequested()
{
    formRequested = false;
}

void CCorvaneView::timerEvent(QTimerEvent*)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!formRequested) {
        QThread::msleep(kWaitMs);
        formRequested = true;
        PostFrameMessage(WM_APP_SWITCHVIEW, VIEW_MAIN_FORM, 0);
    }
    QApplication::restoreOverrideCursor();
}

void CCorvaneView::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    dc.fillRect(rect(), QApplication::palette().color(QPalette::Dark));
    const ProductLineInfo& line = theApp.ProductLine();
    const int x = width() / 2 - line.pictureWidth / 2;
    const int y = height() / 2 - line.pictureHeight / 2;
    DrawPictureResource(dc, line.pictureId, x, y, line.pictureWidth, line.pictureHeight);
}
