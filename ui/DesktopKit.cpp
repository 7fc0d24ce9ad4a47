#include "ui/DesktopKit.h"

#include "app/ProcessObjects.h"
#include "ui/CancelEvent.h"
#include "ui/CorvaneDoc.h"
#include "ui/MainFrame.h"

CDesktopKit::CDesktopKit() = default;

CDesktopKit::~CDesktopKit()
{
    frame_.reset();
    document_.reset();
}

bool CDesktopKit::InitInstance()
{
    theErrorLog.SetPrimaryOutput(0);
    theApp.SelectProductLine();
    document_ = std::make_unique<CCorvaneDoc>();
    frame_ = std::make_unique<CMainFrame>(document_.get());
    frame_->show();
    frame_->setWindowTitle(QString::fromStdString(theApp.LoadWindowTitle()));
    frame_->ShowComPort(document_->PortId());
    CreateCancelEvent();
    return true;
}
