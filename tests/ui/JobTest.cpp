// The main form through its real widgets: its start-up checks, and the
// Program button against the simulated radio on a pseudo-terminal, with the
// message boxes answered from a script.
#include <QSignalSpy>
#include <QtTest>

#include "SbepSimulator.h"
#include "UiTestSupport.h"
#include "app/ProcessObjects.h"
#include "platform/posix/PosixSerial.h"
#include "res/StringTable.h"
#include "ui/CorvaneDoc.h"
#include "ui/CorvaneView.h"
#include "ui/DesktopKit.h"
#include "ui/MainFrame.h"
#include "ui/SXButton.h"
#include "ui/UpgradeForm.h"

namespace {

constexpr const char* kValidSuffix =
    " appears to be a valid sales model number, no weird character found at the first character";

struct Box {
    const char* caption;
    MbIcon icon;
    MbButtons buttons;
    std::string text;
};

// The kit started with `config` (none when empty) and switched to its form.
struct KitWithForm {
    CScratchDirectory dir;
    CScriptedBoxes boxes;
    CScopedMessageBoxes presenter{&boxes};
    CDesktopKit kit;
    CUpgradeForm* form = nullptr;
    std::unique_ptr<QSignalSpy> quit;

    // What the form showed when each box came up.
    struct FormAtBox {
        QString title;
        bool icon = false;
    };
    std::vector<FormAtBox> formAtBox;

    KitWithForm(const std::string& config, std::deque<MbAnswer> script)
        : boxes(std::move(script), MbAnswer::Cancel)
    {
        if (!config.empty())
            dir.WriteConfig(config);
        boxes.onShow = [this](const MessageBoxRequest&) {
            FormAtBox seen;
            if (auto* shown = qobject_cast<CUpgradeForm*>(kit.Frame()->ActiveView())) {
                seen.title = shown->TitleControl()->text();
                seen.icon = shown->ProgramButton()->HasIconImage();
            }
            formAtBox.push_back(seen);
        };
        theApp.productLine = kNoProductLine;
        CCorvaneView::ResetFormRequested();
        QVERIFY(kit.InitInstance());
        quit = std::make_unique<QSignalSpy>(kit.Frame(), &CMainFrame::quitRequested);
        SendFrameMessage(WM_APP_SWITCHVIEW, VIEW_MAIN_FORM, 0);
        form = qobject_cast<CUpgradeForm*>(kit.Frame()->ActiveView());
        QVERIFY(form);
    }
    void ExpectBoxes(const std::vector<Box>& expected) const
    {
        QCOMPARE(boxes.shown.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(QString::fromStdString(boxes.shown[i].caption), QString::fromLatin1(expected[i].caption));
            QCOMPARE(QString::fromStdString(boxes.shown[i].text), QString::fromStdString(expected[i].text));
            QVERIFY(boxes.shown[i].icon == expected[i].icon);
            QVERIFY(boxes.shown[i].buttons == expected[i].buttons);
        }
    }
};

}  // namespace

class JobTest : public QObject {
    Q_OBJECT

private slots:
    void formStartUpChecks();
    void formTextsAndColours();
    void programAgainstTheRadio();
    void programWithoutAPort();
    void programWhenTheRadioIsSilent();
};

void JobTest::formStartUpChecks()
{
    const std::string unknown =
        "Unknown product line in configuration file. Press OK to exit.";
    const std::string warning = ResString(IDS_TESTING_WARNING);
    struct Case {
        const char* name;
        std::string config;
        std::deque<MbAnswer> script;
        std::vector<Box> boxes;
        bool quits;
    };
    const std::vector<Case> cases = {
        {"no patcher.dat", "", {},
         {{"Professional Corvane", MbIcon::Warning, MbButtons::Ok, "Unable to open configuration file"}},
         false},
        {"release BASIC", ConfigText("BASIC"), {}, {}, false},
        {"unknown product line", ConfigText("NO_LINE"), {},
         {{"Error", MbIcon::Error, MbButtons::Ok, unknown}}, true},
        {"testing version, OK", ConfigText("BASIC", true), {MbAnswer::Ok},
         {{"Warning", MbIcon::Warning, MbButtons::OkCancel, warning}}, false},
        {"testing version, Cancel", ConfigText("BASIC", true), {MbAnswer::Cancel},
         {{"Warning", MbIcon::Warning, MbButtons::OkCancel, warning}}, true},
    };
    for (const Case& c : cases) {
        qDebug("%s", c.name);
        KitWithForm kit(c.config, c.script);
        kit.ExpectBoxes(c.boxes);
        QCOMPARE(kit.quit->count(), c.quits ? 1 : 0);
        if (c.quits)
            QCOMPARE(kit.quit->at(0).at(0).toInt(), 0);
        // Without a configuration the button has no icon and the texts stay empty.
        QCOMPARE(kit.form->ProgramButton()->HasIconImage(), !c.config.empty());
        QCOMPARE(kit.form->TitleControl()->text().isEmpty(), c.config.empty());
        // A check's box comes up over a form that already shows its title
        // and the Program button's icon.
        QCOMPARE(kit.formAtBox.size(), c.boxes.size());
        for (const KitWithForm::FormAtBox& seen : kit.formAtBox) {
            QCOMPARE(seen.title, kit.form->TitleControl()->text());
            QCOMPARE(seen.icon, !c.config.empty());
        }
    }
}

void JobTest::formTextsAndColours()
{
    KitWithForm kit(ConfigText("ORION"), {});
    CUpgradeForm* form = kit.form;
    QCOMPARE(form->TitleControl()->text(), QStringLiteral("Sales Model Number Recovery"));
    QCOMPARE(form->DescriptionControl()->text(),
             QStringLiteral("Repairs a sales model number whose first character is not an upper-case letter."));
    QCOMPARE(form->CautionControl()->text(),
             QStringLiteral("Caution: Please ensure to power on the radio before click PROGRAM button."));
    QCOMPARE(form->TitleControl()->palette().color(QPalette::WindowText).rgb(), 0xFFFFFF00u);
    QCOMPARE(form->CautionControl()->palette().color(QPalette::WindowText).rgb(), 0xFFC80000u);
    QCOMPARE(form->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Dark));
    const SxButtonMetrics m = form->ProgramButton()->Metrics();
    QCOMPARE(m.imageMargin, 15);
    QCOMPARE(m.textGap, 1);
    QCOMPARE(QSize(m.imageWidth, m.imageHeight), QSize(32, 32));
}

void JobTest::programAgainstTheRadio()
{
    struct Case {
        const char* name;
        std::string model;
        bool echo;
        std::deque<MbAnswer> script;
        std::vector<Box> boxes;
        std::string after;
    };
    const std::string question = "Are you sure you want to fix the invalid sales model number of ";
    const std::vector<Case> cases = {
        {"repaired", "1ABC", true, {MbAnswer::Yes},
         {{"Confirm", MbIcon::Question, MbButtons::YesNo, question + "1ABC?"},
          {"Process completed", MbIcon::Information, MbButtons::Ok, "From: 1ABC to ABC"}},
         "ABC"},
        {"refused", "1ABC", true, {MbAnswer::No},
         {{"Confirm", MbIcon::Question, MbButtons::YesNo, question + "1ABC?"}}, "1ABC"},
        {"valid already", "ABC123", true, {},
         {{"Info", MbIcon::Information, MbButtons::Ok, std::string("ABC123") + kValidSuffix}}, "ABC123"},
        {"sixteen characters, no echo", "9ABCDEFGHIJKLMNO", false, {MbAnswer::Yes},
         {{"Confirm", MbIcon::Question, MbButtons::YesNo, question + "9ABCDEFGHIJKLMNO?"},
          {"Process completed", MbIcon::Information, MbButtons::Ok,
           "From: 9ABCDEFGHIJKLMNO to ABCDEFGHIJKLMNO"}},
         "ABCDEFGHIJKLMNO "},
    };
    for (const Case& c : cases) {
        qDebug("%s", c.name);
        KitWithForm kit(ConfigText("BASIC"), c.script);
        kit.kit.Document()->Settings().ribEchoType = c.echo ? 1 : 0;
        sbepsim::SimOptions options;
        options.echo = c.echo;
        options.model = c.model;
        sbepsim::SbepSimulator radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        kit.kit.BindPortsTo(radio.DevicePath());
        WaitPatientlyForTheRadio(*kit.form);
        QTest::mouseClick(kit.form->ProgramButton(), Qt::LeftButton);
        kit.ExpectBoxes(c.boxes);
        QCOMPARE(QString::fromStdString(radio.Model()), QString::fromStdString(c.after));
        QCOMPARE(radio.Counters().endOfJobs, 1u);
        QCOMPARE(kit.form->Workflow().Broker().portOpen, 0);
        QVERIFY(thePlatform->GetSerial());  // the port was given back
        thePlatform->ReleaseSerial();
    }
}

void JobTest::programWithoutAPort()
{
    KitWithForm kit(ConfigText("BASIC"), {});
    kit.kit.BindPortsTo("/nonexistent/corvane-port");
    QTest::mouseClick(kit.form->ProgramButton(), Qt::LeftButton);
    kit.ExpectBoxes({{"Error", MbIcon::Error, MbButtons::Ok, "Unable to open communication port"}});
    QVERIFY(thePlatform->GetSerial());
    thePlatform->ReleaseSerial();
}

void JobTest::programWhenTheRadioIsSilent()
{
    KitWithForm kit(ConfigText("BASIC"), {});
    sbepsim::SbepSimulator radio;
    QVERIFY2(radio.Start(), radio.Error().c_str());
    radio.Arm(0x23, 0, sbepsim::SimFault::Silence);
    kit.kit.BindPortsTo(radio.DevicePath());
    QTest::mouseClick(kit.form->ProgramButton(), Qt::LeftButton);
    QCOMPARE(kit.boxes.shown.size(), std::size_t{1});
    QCOMPARE(kit.boxes.shown[0].caption, std::string("Professional Corvane"));
    QVERIFY(kit.boxes.shown[0].icon == MbIcon::Warning);
    QCOMPARE(radio.Counters().endOfJobs, 0u);  // no end-of-job after a failure
    QCOMPARE(radio.Model(), std::string("1ABC"));
    QVERIFY(thePlatform->GetSerial());
    thePlatform->ReleaseSerial();
}

CORVANE_UI_TEST_MAIN(JobTest)
#include "JobTest.moc"
