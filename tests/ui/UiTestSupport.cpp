#include "UiTestSupport.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include "app/Blowfish.h"
#include "app/ProcessObjects.h"
#include "res/StringTable.h"
#include "ui/UpgradeForm.h"

namespace {

QTemporaryDir& SettingsRoot()
{
    static QTemporaryDir root;
    return root;
}

}  // namespace

void UseScratchSettings()
{
    const QByteArray root = SettingsRoot().path().toLocal8Bit();
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    QDir().mkpath(QString::fromLocal8Bit(root + "/config"));
    QDir().mkpath(QString::fromLocal8Bit(root + "/runtime"));
    QFile::setPermissions(QString::fromLocal8Bit(root + "/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

CScratchDirectory::CScratchDirectory() : saved_(QDir::currentPath())
{
    QDir::setCurrent(dir_.path());
}

CScratchDirectory::~CScratchDirectory()
{
    QDir::setCurrent(saved_);
}

void CScratchDirectory::WriteConfig(const std::string& plain) const
{
    std::string bytes = plain;
    bytes.resize((bytes.size() + 7) / 8 * 8, '\n');
    const std::string key = ResString(IDS_CONFIG_KEY);
    CBlowfish cipher;
    cipher.Initialize(reinterpret_cast<const unsigned char*>(key.data()), key.size());
    cipher.Encipher(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    QFile file(dir_.filePath(QStringLiteral("patcher.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string ConfigText(const std::string& line, bool testing)
{
    return "PATCH-D01.01.05\r\nSales Model Number Recovery\r\n"
           "Repairs a sales model number whose first character is not an upper-case letter.\r\n"
           "PRODUCT_LINE\r\n" + line + ",demo\r\nRADIO_GROUP_REGION\r\nNorth America\r\n" +
           (testing ? "Testing\r\n" : "Release\r\n");
}

MbAnswer CScriptedBoxes::Show(const MessageBoxRequest& box)
{
    shown.push_back(box);
    if (onShow)
        onShow(box);
    if (box.buttons == MbButtons::Ok)
        return MbAnswer::Ok;
    if (script_.empty())
        return fallback_;
    const MbAnswer answer = script_.front();
    script_.pop_front();
    return answer;
}

void WaitPatientlyForTheRadio(CUpgradeForm& form)
{
    CSbepComm& comm = form.Workflow().Broker().comm;
    comm.ackTimeout = 5000;
    comm.replyTimeout = 5000;
    comm.byteTimeout = 2000;  // times the frame's length: within the port's 60 s for these frames
}

void WhenModalDialogShows(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start();
}

void PrepareKitProcess()
{
    theAppName = kApplicationName;
}
