// Writes screenshots of the desktop kit's windows into a folder: the folder
// named by CORVANE_SCREENSHOT_DIR, else "screenshots" in the current
// directory. Each picture carries a caption bar with the window's title, as
// the offscreen platform draws no window frames.
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QtTest>

#include "SbepSimulator.h"
#include "UiTestSupport.h"
#include "app/ProcessObjects.h"
#include "res/StringTable.h"
#include "ui/AboutDlg.h"
#include "ui/CommDialog.h"
#include "ui/CorvaneDoc.h"
#include "ui/CorvaneView.h"
#include "ui/DesktopKit.h"
#include "ui/MainFrame.h"
#include "ui/QtMessageBoxes.h"
#include "ui/RibDialog.h"
#include "ui/SXButton.h"
#include "ui/UpgradeForm.h"

namespace {

QString Folder()
{
    const QString dir = qEnvironmentVariableIsSet("CORVANE_SCREENSHOT_DIR")
                            ? qEnvironmentVariable("CORVANE_SCREENSHOT_DIR")
                            : QDir::current().filePath(QStringLiteral("screenshots"));
    QDir().mkpath(dir);
    return dir;
}

// The window as drawn, under a plain caption bar with its title.
QImage Framed(QWidget* window)
{
    const QImage body = window->grab().toImage();
    constexpr int kBar = 24;
    QImage out(body.width() + 2, body.height() + kBar + 1, QImage::Format_RGB32);
    out.fill(QColor(60, 64, 72));
    QPainter p(&out);
    p.drawImage(1, kBar, body);
    p.setPen(Qt::white);
    QFont font = QApplication::font();
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(8, 0, out.width() - 16, kBar), Qt::AlignVCenter | Qt::AlignLeft,
               window->windowTitle());
    return out;
}

void Save(QWidget* window, const char* name)
{
    const QString path = QDir(Folder()).filePath(QString::fromLatin1(name) + ".png");
    QVERIFY2(Framed(window).save(path), qPrintable(path));
}

}  // namespace

class Screenshots : public QObject {
    Q_OBJECT

private slots:
    void writeAll();
};

void Screenshots::writeAll()
{
    CScratchDirectory dir;
    dir.WriteConfig(ConfigText("BASIC"));
    CScriptedBoxes boxes({MbAnswer::Yes});
    CScopedMessageBoxes presenter(&boxes);
    theApp.productLine = kNoProductLine;
    CCorvaneView::ResetFormRequested();
    CDesktopKit kit;
    QVERIFY(kit.InitInstance());
    CMainFrame* frame = kit.Frame();
    Save(frame, "main-background");

    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<CUpgradeForm*>(frame->ActiveView()), 30000);
    auto* form = qobject_cast<CUpgradeForm*>(frame->ActiveView());
    Save(frame, "main-form");

    CCommDialog comm(frame);
    comm.portText = QStringLiteral("COMM1");
    comm.show();
    Save(&comm, "comm-setting");
    CRibDialog rib(frame);
    rib.radioIndex = 0;
    rib.show();
    Save(&rib, "rib-setting");
    CAboutDlg about(frame);
    about.show();
    Save(&about, "about");
    comm.hide();
    rib.hide();
    about.hide();

    // The job's question, as the desktop kit shows it, while the radio waits.
    sbepsim::SbepSimulator radio;
    QVERIFY2(radio.Start(), radio.Error().c_str());
    kit.BindPortsTo(radio.DevicePath());
    int shot = 0;
    boxes.onShow = [&](const MessageBoxRequest& request) {
        const std::unique_ptr<QMessageBox> box = MakeMessageBox(request, frame);
        box->show();
        Save(box.get(), shot++ == 0 ? "job-confirm" : "job-completed");
    };
    WaitPatientlyForTheRadio(*form);
    QTest::mouseClick(form->ProgramButton(), Qt::LeftButton);
    QCOMPARE(shot, 2);
    QCOMPARE(radio.Model(), std::string("ABC"));

    SendFrameMessage(WM_APP_PROGRESS_OPEN, 100, 1);
    for (int i = 0; i < 42; ++i)
        SendFrameMessage(WM_APP_PROGRESS_STEP);
    QWidget* progress = frame->ProgressWindow().Window();
    QVERIFY(progress);
    Save(progress, "progress");
    SendFrameMessage(WM_APP_PROGRESS_CLOSE);
    qInfo("screenshots written to %s", qPrintable(Folder()));
}

CORVANE_UI_TEST_MAIN(Screenshots)
#include "Screenshots.moc"
