#include "ui/CorvaneDoc.h"

#include "ui/CommDialog.h"
#include "ui/CommText.h"
#include "ui/MainFrame.h"
#include "ui/RibDialog.h"

CCorvaneDoc::CCorvaneDoc() = default;

void CCorvaneDoc::OnCloseDocument()
{
    settings_.SaveSettings();
}

void CCorvaneDoc::OnCommSetting()
{
    CCommDialog dialog(MainFrameHandle());
    dialog.portText = QString::fromStdString(CommTextForPort(settings_.portId));
    if (dialog.exec() != QDialog::Accepted)
        return;
    settings_.portId = PortIdFromCommText(dialog.portText.toStdString(), settings_.portId);
    if (auto* frame = qobject_cast<CMainFrame*>(MainFrameHandle()))
        frame->ShowComPort(settings_.portId);
    emit portChanged(settings_.portId);
}

void CCorvaneDoc::OnRibSetting()
{
    CRibDialog dialog(MainFrameHandle());
    dialog.radioIndex = settings_.ribEchoType == 1 ? 0 : 1;
    if (dialog.exec() == QDialog::Accepted)
        settings_.ribEchoType = dialog.radioIndex == 0 ? 1 : 0;
}
