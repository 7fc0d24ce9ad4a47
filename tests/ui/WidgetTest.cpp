// The desktop kit's windows on their own: the drawn Program button checked on
// its pixels, the progress window, the two settings dialogs and the About box.
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/ProcessObjects.h"
#include "ui/AboutDlg.h"
#include "ui/CommDialog.h"
#include "ui/FrameMessages.h"
#include "ui/Profile.h"
#include "ui/ProgressWnd.h"
#include "ui/RibDialog.h"
#include "ui/SXButton.h"

namespace {

const QColor kIconColour(255, 0, 255);

QIcon SolidIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(kIconColour);
    return QIcon(pixmap);
}

// The smallest rectangle holding every pixel for which `hit` is true.
QRect Bounds(const QImage& image, const std::function<bool(int, int)>& hit)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (hit(x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}

QRect ColourBounds(const QImage& image, const QColor& colour)
{
    return Bounds(image, [&](int x, int y) { return image.pixelColor(x, y) == colour; });
}

QRect DiffBounds(const QImage& a, const QImage& b)
{
    return Bounds(a, [&](int x, int y) { return a.pixel(x, y) != b.pixel(x, y); });
}

// A shown, active window holding one Program-like button.
struct ButtonHost {
    QWidget window;
    CSXButton* button;
    explicit ButtonHost(QSize size, const QString& caption = QStringLiteral("Program"))
    {
        button = new CSXButton(caption, &window);
        button->setGeometry(QRect(QPoint(0, 0), size));
        window.resize(size + QSize(20, 20));
        button->SetImageMargin(15);
        button->SetTextGap(1);
        button->SetIconImage(SolidIcon(), 32, 32);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window, 30000));
    }
    QImage Render() const { return button->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

}  // namespace

class WidgetTest : public QObject {
    Q_OBJECT

private slots:
    void fontsCanDrawText();
    void buttonIconAndCaption();
    void buttonPressedMovesByOne();
    void buttonWideCaptionStartsAfterIcon();
    void buttonFocusInset_data();
    void buttonFocusInset();
    void buttonDisabledLook();
    void buttonWithoutIconResource();
    void progressCaptionAndReset();
    void progressLayoutOnWindow();
    void progressWithoutWindow();
    void progressPlacement();
    void progressCancel();
    void commDialogExchange();
    void commDialogRefusesLongText();
    void ribDialogExchange();
    void aboutBoxNamesTheKit();
};

void WidgetTest::fontsCanDrawText()
{
    const char* advice = "No font can draw text: install fonts-dejavu-core (scripts/install-deps.sh).";
    if (QFontDatabase::families().isEmpty())
        QFAIL(advice);
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setFont(QApplication::font());
    painter.drawText(QRect(0, 0, 40, 40), Qt::AlignCenter, QStringLiteral("M"));
    painter.end();
    const QRect ink = Bounds(image, [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; });
    QVERIFY2(ink.width() >= 3 && ink.height() >= 3, advice);
}

void WidgetTest::buttonIconAndCaption()
{
    ButtonHost host(QSize(120, 40));
    const QImage image = host.Render();
    QCOMPARE(ColourBounds(image, kIconColour), QRect(15, 4, 32, 32));

    // The caption's ink lies in its text cell, centred right of x = 48 and one
    // pixel above the vertical centre.
    host.button->setText(QStringLiteral(" "));
    const QImage blank = host.Render();
    const QRect ink = DiffBounds(image, blank);
    const QFontMetrics fm(host.button->font());
    const int tw = fm.horizontalAdvance(QStringLiteral("Program"));
    const int th = fm.height();
    const QRect cell(48 + (120 - 48 - tw) / 2, (40 - th) / 2 - 1, tw, th);
    QVERIFY2(cell.contains(ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside its cell")
                                                .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
    QVERIFY(qAbs(ink.center().x() - cell.center().x()) <= 2);
}

void WidgetTest::buttonPressedMovesByOne()
{
    ButtonHost host(QSize(120, 40));
    const QImage blank = [&] {
        host.button->setText(QStringLiteral(" "));
        const QImage image = host.Render();
        host.button->setText(QStringLiteral("Program"));
        return image;
    }();
    const QRect iconUp = ColourBounds(host.Render(), kIconColour);
    const QRect inkUp = DiffBounds(host.Render(), blank);
    host.button->setDown(true);
    const QImage down = host.Render();
    host.button->setText(QStringLiteral(" "));
    const QImage downBlank = host.Render();
    QCOMPARE(ColourBounds(down, kIconColour), iconUp.translated(1, 1));
    QCOMPARE(DiffBounds(down, downBlank), inkUp.translated(1, 1));
}

void WidgetTest::buttonWideCaptionStartsAfterIcon()
{
    const QString caption = QStringLiteral("Program the radio at once");
    ButtonHost host(QSize(120, 40), caption);
    const QImage image = host.Render();
    host.button->setText(QStringLiteral(" "));
    const QRect ink = DiffBounds(image, host.Render());
    QVERIFY2(ink.left() >= 48 && ink.left() <= 50, qPrintable(QString::number(ink.left())));
}

void WidgetTest::buttonFocusInset_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("inset");
    QTest::newRow("Program button") << QSize(120, 40) << 3;
    QTest::newRow("40 x 20") << QSize(40, 20) << 3;
    QTest::newRow("12 high") << QSize(100, 12) << 3;
    QTest::newRow("8 high") << QSize(100, 8) << 2;
}

void WidgetTest::buttonFocusInset()
{
    QFETCH(QSize, size);
    QFETCH(int, inset);
    ButtonHost host(size, QString());
    host.button->clearFocus();
    const QImage unfocused = host.Render();
    host.button->setFocus();
    QVERIFY(host.button->hasFocus());
    const QImage focused = host.Render();
    QCOMPARE(DiffBounds(focused, unfocused),
             QRect(inset, inset, size.width() - 2 * inset, size.height() - 2 * inset));
}

void WidgetTest::buttonDisabledLook()
{
    ButtonHost host(QSize(120, 40));
    host.button->setEnabled(false);
    const QImage disabled = host.Render();
    host.button->setText(QStringLiteral(" "));
    const QImage blank = host.Render();
    // The icon is drawn in its disabled look; the caption is still drawn.
    QVERIFY(ColourBounds(disabled, kIconColour).isNull());
    QVERIFY(!DiffBounds(disabled, blank).isNull());
    // A disabled button shows no focus frame.
    host.button->setEnabled(true);
    host.button->setFocus();
    host.button->setEnabled(false);
    QCOMPARE(host.Render(), blank);
}

void WidgetTest::buttonWithoutIconResource()
{
    CSXButton button(QStringLiteral("Program"));
    QVERIFY(!button.LoadIconImage(9999, 32, 32));
    QVERIFY(!button.HasIconImage());
    QVERIFY(button.LoadIconImage(225, 32, 32));
    QCOMPARE(button.SetImageMargin(15), 4);
    QCOMPARE(button.SetTextGap(1), 8);
    QCOMPARE(button.SetTextGap(2), 1);
}

void WidgetTest::progressCaptionAndReset()
{
    CProgressWnd progress;
    QVERIFY(progress.Open(nullptr, QStringLiteral("Progress Percentage"), true, true));
    progress.SetBounds(0, 200, 1);
    QWidget* window = progress.Window();
    QCOMPARE(progress.SetPosition(1), 0);
    QCOMPARE(window->windowTitle(), QStringLiteral("Progress Percentage"));
    QCOMPARE(progress.SetPosition(2), 1);
    QCOMPARE(window->windowTitle(), QStringLiteral("Progress [1%]"));
    progress.SetPosition(200);
    QCOMPARE(window->windowTitle(), QStringLiteral("Progress [100%]"));
    QCOMPARE(progress.Bar()->value(), 200);
    progress.Reset();
    QCOMPARE(window->windowTitle(), QStringLiteral("Progress [0%]"));
    QCOMPARE(progress.Bar()->value(), 0);
    QCOMPARE(progress.Step(), 0);
    QCOMPARE(progress.Step(), 1);
    // An empty range keeps the percentage at 0.
    progress.SetBounds(0, 0, 1);
    progress.SetPosition(0);
    progress.Step();
    QCOMPARE(window->windowTitle(), QStringLiteral("Progress [0%]"));
    progress.SetMessage("Block %d of %d", 3, 7);
    QCOMPARE(progress.TextControl()->text(), QStringLiteral("Block 3 of 7"));
    progress.SetMessage("%s", std::string(600, 'x').c_str());
    QCOMPARE(progress.TextControl()->text().size(), 511);
    progress.DestroyWindow();
}

void WidgetTest::progressLayoutOnWindow()
{
    for (bool withCancel : {true, false}) {
        CProgressWnd progress;
        QVERIFY(progress.Open(nullptr, QStringLiteral("Please Wait"), true, withCancel));
        progress.Layout(2, 250);
        const QWidget* window = progress.Window();
        QCOMPARE(window->width(), 270);
        const QRect text = progress.TextControl()->geometry();
        const QRect button = progress.CancelButton()->geometry();
        const QRect bar = progress.Bar()->geometry();
        QCOMPARE(text.topLeft(), QPoint(10, 10));
        QCOMPARE(text.width(), 250);
        QCOMPARE(button.x() + button.width(), 260);
        QCOMPARE(button.top(), text.bottom() + 1 + 10);
        QCOMPARE(window->height(), text.height() + button.height() + 30);
        const int barEnd = bar.x() + bar.width();
        QCOMPARE(barEnd, withCancel ? button.x() - 10 : 250);
        QCOMPARE(progress.CancelButton()->isVisibleTo(window), withCancel);
        progress.DestroyWindow();
    }
}

void WidgetTest::progressWithoutWindow()
{
    CProgressWnd progress;
    progress.SetBounds(0, 10, 1);
    QCOMPARE(progress.SetPosition(5), 0);
    QCOMPARE(progress.Step(), 0);
    progress.Hide();
    progress.Reveal();
    progress.SetMessage("nothing");
    QVERIFY(!progress.IsOpen());
    QVERIFY(progress.Window() == nullptr);
}

void WidgetTest::progressPlacement()
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    struct Case {
        int x, y;
        bool kept;
    };
    const Case cases[] = {{50, 60, true}, {-1, -1, false}, {screen.width(), 10, false},
                          {10, screen.height(), false}};
    for (const Case& c : cases) {
        {
            auto profile = ApplicationProfile();
            profile->setValue(QStringLiteral("Settings/X"), c.x);
            profile->setValue(QStringLiteral("Settings/Y"), c.y);
        }
        CProgressWnd progress;
        QVERIFY(progress.Open(nullptr, QStringLiteral("Please Wait"), true, false));
        const QPoint at = progress.Window()->pos();
        if (c.kept) {
            QCOMPARE(at, QPoint(c.x, c.y));
        } else {
            const QPoint centre = QRect(QPoint(0, 0), screen).center();
            QVERIFY(qAbs(at.x() + progress.Window()->width() / 2 - centre.x()) <= 1);
        }
        progress.Window()->move(33, 44);
        progress.DestroyWindow();
        auto profile = ApplicationProfile();
        QCOMPARE(profile->value(QStringLiteral("Settings/X")).toInt(), 33);
        QCOMPARE(profile->value(QStringLiteral("Settings/Y")).toInt(), 44);
    }
}

void WidgetTest::progressCancel()
{
    QWidget main;
    main.show();
    CProgressWnd progress;
    QVERIFY(progress.Open(&main, QStringLiteral("Progress Percentage"), true, true));
    SetMainFrameHandle(&main);
    QVERIFY(progress.BeginModal(QStringLiteral("Progress"), false));
    QVERIFY(!main.isEnabled());
    QVERIFY(progress.Window()->isEnabled());
    // Before a cancel the pump lets queued events run.
    int delivered = 0;
    QTimer::singleShot(0, &main, [&] { ++delivered; });
    progress.PumpMessages();
    QCOMPARE(delivered, 1);

    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    QVERIFY(progress.WasCancelled());
    QVERIFY(progress.Window() == nullptr);  // the close request took the window
    QVERIFY(progress.IsOpen());             // until DestroyWindow completes the close

    // The next pump returns at once: queued events stay queued.
    QTimer::singleShot(0, &main, [&] { ++delivered; });
    progress.PumpMessages();
    QCOMPARE(delivered, 1);
    QVERIFY(!main.isEnabled());
    progress.DestroyWindow();
    QVERIFY(!progress.IsOpen());
    QVERIFY(main.isEnabled());
    QTRY_COMPARE(delivered, 2);
    SetMainFrameHandle(nullptr);
    progress.Reset();
    QVERIFY(!progress.WasCancelled());
}

void WidgetTest::commDialogExchange()
{
    struct Case {
        const char* portText;
        int index;           // selected entry, -1 for typed text
        const char* shown;
    };
    const Case cases[] = {{"COMM1", 0, "COMM1"}, {"COMM2", 1, "COMM2"}, {"COMM7", -1, "COMM7"},
                          {"COMM12", -1, "COMM12"}};
    for (const Case& c : cases) {
        CCommDialog dialog;
        dialog.portText = QString::fromLatin1(c.portText);
        dialog.show();
        if (c.index >= 0)
            QCOMPARE(dialog.Combo()->currentIndex(), c.index);
        QCOMPARE(dialog.Combo()->currentText(), QString::fromLatin1(c.shown));
        dialog.Combo()->setEditText(QStringLiteral("COMM2"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.portText, QStringLiteral("COMM2"));
    }
    // Typing stops at six characters.
    CCommDialog dialog;
    dialog.show();
    dialog.Combo()->lineEdit()->clear();
    QTest::keyClicks(dialog.Combo()->lineEdit(), QStringLiteral("COMM1234"));
    QCOMPARE(dialog.Combo()->currentText(), QStringLiteral("COMM12"));
}

void WidgetTest::commDialogRefusesLongText()
{
    CScriptedBoxes boxes;
    CScopedMessageBoxes scope(&boxes);
    CCommDialog dialog;
    dialog.portText = QStringLiteral("COMM1");
    dialog.show();
    dialog.Combo()->setEditText(QStringLiteral("COMM123"));
    dialog.accept();
    QCOMPARE(int(boxes.shown.size()), 1);
    QCOMPARE(boxes.shown[0].text, std::string("Please enter no more than 6 characters."));
    QCOMPARE(boxes.shown[0].caption, std::string("Professional Corvane"));
    QVERIFY(boxes.shown[0].icon == MbIcon::Warning);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.portText, QStringLiteral("COMM1"));
}

void WidgetTest::ribDialogExchange()
{
    for (int index : {0, 1, -1}) {
        CRibDialog dialog;
        dialog.radioIndex = index;
        dialog.show();
        QCOMPARE(dialog.Group()->checkedId(), index);
        QCOMPARE(dialog.Group()->button(0)->text(), QStringLiteral("Echo"));
        QCOMPARE(dialog.Group()->button(1)->text(), QStringLiteral("No Echo"));
        dialog.Group()->button(1 - qMax(index, 0))->click();
        dialog.accept();
        QCOMPARE(dialog.radioIndex, 1 - qMax(index, 0));
    }
}

void WidgetTest::aboutBoxNamesTheKit()
{
    struct Case {
        int line;
        const char* name;
    };
    const Case cases[] = {{0, "Mobile Radio Sales Number Recovery Kit"},
                          {5, "Mobile Radio Sales Number Recovery Kit"},
                          {6, "Mobile Radio Upgrade Kit"}};
    for (const Case& c : cases) {
        theApp.productLine = c.line;
        CAboutDlg about;
        QCOMPARE(about.TitleControl()->text(), QString::fromLatin1(c.name));
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        bool version = false;
        for (const QLabel* label : about.findChildren<QLabel*>())
            version |= label->text() == QStringLiteral("Version: D01.00.00, 20-September-2010");
        QVERIFY(version);
    }
    theApp.productLine = kNoProductLine;
}

CORVANE_UI_TEST_MAIN(WidgetTest)
#include "WidgetTest.moc"
