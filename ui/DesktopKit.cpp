#include "ui/DesktopKit.h"

#include "app/ProcessObjects.h"
#include "app/Startup.h"
#include "ui/CancelEvent.h"
#include "ui/CorvaneDoc.h"
#include "ui/MainFrame.h"

#if !defined(_WIN32)
#include "platform/posix/PosixSerial.h"
#endif

CDesktopKit::CDesktopKit() = default;

CDesktopKit::~CDesktopKit()
{
    frame_.reset();
    document_.reset();
}

bool CDesktopKit::InitInstance()
{
    PrepareStartup();
    document_ = std::make_unique<CCorvaneDoc>();
    frame_ = std::make_unique<CMainFrame>(document_.get());
    frame_->show();
    frame_->setWindowTitle(QString::fromStdString(theApp.LoadWindowTitle()));
    frame_->ShowComPort(document_->PortId());
    CreateCancelEvent();
    return true;
}

void CDesktopKit::BindPortsTo(const std::string& device)
{
    portDevice_ = device;
    BindPort(document_->PortId());
    QObject::connect(document_.get(), &CCorvaneDoc::portChanged, frame_.get(),
                     [this](int port) { BindPort(port); });
}

void CDesktopKit::BindPort(int port) const
{
#if !defined(_WIN32)
    if (port > 0)
        BindPortDevice(static_cast<unsigned>(port), portDevice_);
#else
    (void)port;
#endif
}
