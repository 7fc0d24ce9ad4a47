// The desktop kit's window-free arithmetic: button geometry, progress
// percentages and layout, phase texts, port texts, dialog units, palettes.
#include <QFile>
#include <QtTest>

#include "ui/CommText.h"
#include "ui/DialogUnits.h"
#include "ui/KitArguments.h"
#include "ui/PicturePalette.h"
#include "ui/ProgressMath.h"
#include "ui/StatusPhase.h"
#include "ui/SxButtonGeometry.h"

Q_DECLARE_METATYPE(SxButtonMetrics)
Q_DECLARE_METATYPE(SxPoint)

namespace {

// A BMP file of the given header fields with `tableEntries` colour-table
// entries (entry i is red i, green 2i, blue 3i) and no pixels.
std::vector<std::uint8_t> MakeBmp(int bits, std::uint32_t used, int tableEntries)
{
    std::vector<std::uint8_t> b(14 + 40, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(14, 40);
    put32(18, 4);
    put32(22, 4);
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    put32(46, used);
    for (int i = 0; i < tableEntries; ++i) {
        b.push_back(static_cast<std::uint8_t>(3 * i));
        b.push_back(static_cast<std::uint8_t>(2 * i));
        b.push_back(static_cast<std::uint8_t>(i));
        b.push_back(0);
    }
    return b;
}

}  // namespace

class LogicTest : public QObject {
    Q_OBJECT

private slots:
    void buttonPlacement_data();
    void buttonPlacement();
    void focusInset_data();
    void focusInset();
    void percentage_data();
    void percentage();
    void captionChangesOnlyWithPercentage();
    void progressLayout();
    void placementOnScreen();
    void phaseTexts();
    void portFromText_data();
    void portFromText();
    void comboPrefix();
    void dialogUnits();
    void palettes_data();
    void palettes();
    void resourcePalettes();
    void commandLine();
};

void LogicTest::buttonPlacement_data()
{
    QTest::addColumn<SxButtonMetrics>("m");
    QTest::addColumn<SxPoint>("icon");
    QTest::addColumn<SxPoint>("caption");
    // The Program button: 32 x 32 icon at margin 15, gap 1, a 60 x 15 caption.
    SxButtonMetrics program{0, 120, 40, 15, 1, true, 32, 32, true, 60, 15, false};
    // Caption area starts at 48 and is 72 wide: (72 - 60) / 2 = 6.
    QTest::newRow("program at rest") << program << SxPoint{15, 4} << SxPoint{54, 11};
    SxButtonMetrics pressed = program;
    pressed.pressed = true;
    QTest::newRow("program pressed") << pressed << SxPoint{16, 5} << SxPoint{55, 12};
    SxButtonMetrics wide = program;
    wide.textWidth = 100;
    QTest::newRow("caption wider than its area") << wide << SxPoint{15, 4} << SxPoint{48, 11};
    SxButtonMetrics iconOnly = program;
    iconOnly.hasCaption = false;
    QTest::newRow("icon alone is centred") << iconOnly << SxPoint{44, 4} << SxPoint{};
    SxButtonMetrics textOnly = program;
    textOnly.hasIcon = false;
    QTest::newRow("caption alone is centred") << textOnly << SxPoint{} << SxPoint{30, 11};
    SxButtonMetrics shifted = program;
    shifted.itemLeft = 5;
    QTest::newRow("icon follows the item's left edge") << shifted << SxPoint{20, 4}
                                                       << SxPoint{54, 11};
    SxButtonMetrics odd = program;
    odd.clientHeight = 41;
    QTest::newRow("odd height halves down") << odd << SxPoint{15, 4} << SxPoint{54, 12};
}

void LogicTest::buttonPlacement()
{
    QFETCH(SxButtonMetrics, m);
    QFETCH(SxPoint, icon);
    QFETCH(SxPoint, caption);
    const SxButtonPlacement at = PlaceSxButton(m);
    if (m.hasIcon) {
        QCOMPARE(at.icon.x, icon.x);
        QCOMPARE(at.icon.y, icon.y);
    }
    if (m.hasCaption) {
        QCOMPARE(at.caption.x, caption.x);
        QCOMPARE(at.caption.y, caption.y);
    }
}

void LogicTest::focusInset_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("inset");
    QTest::newRow("12 high") << 100 << 12 << 3;
    QTest::newRow("8 high") << 100 << 8 << 2;
    QTest::newRow("40 x 20") << 40 << 20 << 3;
    QTest::newRow("15 high") << 100 << 15 << 3;
    QTest::newRow("16 high") << 100 << 16 << 3;
    QTest::newRow("narrow 4") << 4 << 30 << 1;
}

void LogicTest::focusInset()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, inset);
    QCOMPARE(FocusInset(width, height), inset);
}

void LogicTest::percentage_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("percent");
    QTest::newRow("1 of 200") << 1 << 0 << 200 << 0;
    QTest::newRow("2 of 200") << 2 << 0 << 200 << 1;
    QTest::newRow("200 of 200") << 200 << 0 << 200 << 100;
    QTest::newRow("empty range") << 5 << 7 << 7 << 0;
    QTest::newRow("upper below lower") << 5 << 9 << 3 << 0;
    QTest::newRow("offset range") << 15 << 10 << 20 << 50;
    QTest::newRow("below the range truncates toward zero") << 9 << 10 << 210 << 0;
    QTest::newRow("huge range stays exact") << 1'500'000'000 << 0 << 2'000'000'000 << 75;
}

void LogicTest::percentage()
{
    QFETCH(int, position);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, percent);
    QCOMPARE(ProgressPercentage(position, lower, upper), percent);
}

void LogicTest::captionChangesOnlyWithPercentage()
{
    CProgressModel model;
    model.SetBounds(0, 200, 1);
    QVERIFY(!model.SetPosition(1));
    QCOMPARE(model.SetPosition(2).value_or(-1), 1);
    QVERIFY(!model.SetPosition(3));
    QCOMPARE(model.SetPosition(200).value_or(-1), 100);
    // Storing a position keeps the last percentage, so the next 0 shows again.
    model.StorePosition(0);
    QCOMPARE(model.SetPosition(0).value_or(-1), 0);
    QCOMPARE(QString::fromStdString(ProgressCaption("Progress", 42)), QStringLiteral("Progress [42%]"));
}

void LogicTest::progressLayout()
{
    ProgressLayoutInput in{30, 250, 60, 15, 2, 2, true};
    const ProgressLayout with = LayoutProgress(in);
    QCOMPARE(with.clientWidth, 270);
    QCOMPARE(with.clientHeight, 30 + (15 + 6) + 30);
    QCOMPARE(with.text, (PxRect{10, 10, 260, 40}));
    QCOMPARE(with.button, (PxRect{260 - 68, 50, 260, 71}));
    QCOMPARE(with.bar, (PxRect{10, 52, 260 - 68 - 10, 69}));
    in.cancelWanted = false;
    const ProgressLayout without = LayoutProgress(in);
    QCOMPARE(without.bar.right, 250);  // 10 short of the text area's right edge
    QCOMPARE(without.button, with.button);
}

void LogicTest::placementOnScreen()
{
    QVERIFY(PlacementOnScreen(0, 0, 800, 600));
    QVERIFY(PlacementOnScreen(799, 599, 800, 600));
    QVERIFY(!PlacementOnScreen(-1, 10, 800, 600));
    QVERIFY(!PlacementOnScreen(800, 10, 800, 600));
    QVERIFY(!PlacementOnScreen(10, 600, 800, 600));
}

void LogicTest::phaseTexts()
{
    struct Step {
        int phase;
        const char* shown;  // null: pane unchanged
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"1 then 2 then restore", {{1, kPhaseBootcode}, {2, kPhaseFlash}, {0, "Ready"}}},
        {"3 right after 1 restores", {{1, kPhaseBootcode}, {3, "Ready"}}},
        {"3 alone shows the checksum", {{3, kPhaseChecksum}, {9, "Ready"}}},
        {"restore with nothing saved", {{0, nullptr}, {7, nullptr}}},
        {"3 twice toggles", {{3, kPhaseChecksum}, {3, "Ready"}, {3, kPhaseChecksum}}},
    };
    for (const Case& c : cases) {
        CStatusPhase phase;
        std::string pane = "Ready";
        for (const Step& s : c.steps) {
            const std::optional<std::string> next = phase.Apply(s.phase, pane);
            QVERIFY2(next.has_value() == (s.shown != nullptr), c.name);
            if (next) {
                QVERIFY2(*next == s.shown, c.name);
                pane = *next;
            }
        }
    }
    // An empty pane text is saved and comes back like any other.
    CStatusPhase phase;
    phase.Apply(1, "");
    QCOMPARE(phase.Apply(0, kPhaseBootcode).value_or("none"), std::string());
}

void LogicTest::portFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("COMM1") << "COMM1" << 1;
    QTest::newRow("COMM2") << "COMM2" << 2;
    QTest::newRow("COMM12 takes the fifth character") << "COMM12" << 1;
    QTest::newRow("COMM0") << "COMM0" << 0;
    QTest::newRow("COMMX") << "COMMX" << 40;
    QTest::newRow("too short keeps the port") << "COM" << 7;
    QTest::newRow("empty keeps the port") << "" << 7;
}

void LogicTest::portFromText()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    QCOMPARE(PortIdFromCommText(text.toStdString(), 7), port);
    QCOMPARE(QString::fromStdString(CommTextForPort(12)), QStringLiteral("COMM12"));
}

void LogicTest::comboPrefix()
{
    const std::vector<std::string> entries = {"COMM1", "COMM2"};
    QCOMPARE(FindEntryWithPrefix(entries, "COMM2"), 1);
    QCOMPARE(FindEntryWithPrefix(entries, "comm1"), 0);
    QCOMPARE(FindEntryWithPrefix(entries, "COMM"), 0);
    QCOMPARE(FindEntryWithPrefix(entries, "COMM3"), -1);
    QCOMPARE(FindEntryWithPrefix(entries, "COMM12"), -1);
}

void LogicTest::dialogUnits()
{
    // Base units 6 x 13: the classic small dialog font.
    const DialogBaseUnits base = BaseUnitsFromMeasure(6 * 52 - 10, 13);
    QCOMPARE(base.x, 6);
    QCOMPARE(base.y, 13);
    QCOMPARE(DluToPixels({8, 128, 66, 20}, base), (PixelRect{12, 208, 99, 33}));
    // Corners are converted, so neighbours given in dialog units still meet.
    const PixelRect a = DluToPixels({0, 0, 3, 3}, base);
    const PixelRect b = DluToPixels({3, 3, 3, 3}, base);
    QCOMPARE(a.x + a.width, b.x);
    QCOMPARE(a.y + a.height, b.y);
    // A fixed text widens the base unit just enough to fit in its control.
    for (int textWidth : {100, 187, 250, 333}) {
        const int x = BaseXToFit(textWidth, 125);
        QVERIFY(DluToPixels({40, 10, 125, 8}, {x, 13}).width >= textWidth);
    }
    QCOMPARE(BaseXToFit(186, 125), 6);
    QCOMPARE(BaseXToFit(0, 0), 0);
    QCOMPARE(DluToPixelsX(1, {7, 16}), 2);  // 1.75 rounds up
    QCOMPARE(DluToPixelsY(1, {7, 12}), 2);  // 1.5 rounds up
}

void LogicTest::palettes_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("used");
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("entries");  // -1: refused
    QTest::addColumn<bool>("halftone");
    QTest::newRow("8 bits, count 0: the whole table") << 8 << 0 << 256 << 256 << false;
    QTest::newRow("8 bits, count 16") << 8 << 16 << 16 << 16 << false;
    QTest::newRow("4 bits, count 0") << 4 << 0 << 16 << 16 << false;
    QTest::newRow("24 bits: halftone") << 24 << 0 << 0 << 256 << true;
    QTest::newRow("count above 256: halftone") << 8 << 300 << 0 << 256 << true;
    QTest::newRow("table cut short: refused") << 8 << 0 << 10 << -1 << false;
}

void LogicTest::palettes()
{
    QFETCH(int, bits);
    QFETCH(int, used);
    QFETCH(int, table);
    QFETCH(int, entries);
    QFETCH(bool, halftone);
    const std::optional<PicturePalette> p = PaletteForPicture(MakeBmp(bits, used, table));
    QCOMPARE(p.has_value(), entries >= 0);
    if (!p)
        return;
    QCOMPARE(int(p->entries.size()), entries);
    QCOMPARE(p->halftone, halftone);
    if (!halftone)
        QCOMPARE(p->entries[5], std::uint32_t{5u << 16 | 10u << 8 | 15u});
}

void LogicTest::resourcePalettes()
{
    QVERIFY(!PaletteForPicture({'B', 'M', 0}));
    struct Case {
        const char* path;
        int width, height, bits;
        std::size_t entries;
        bool halftone;
    };
    const Case cases[] = {
        {CORVANE_RES_DIR "/bitmap229.bmp", 446, 317, 8, 256, false},
        {CORVANE_RES_DIR "/bitmap160.bmp", 446, 317, 8, 64, false},
        {CORVANE_RES_DIR "/bitmap228.bmp", 480, 360, 24, 256, true},
    };
    for (const Case& c : cases) {
        QFile file(QString::fromUtf8(c.path));
        QVERIFY2(file.open(QIODevice::ReadOnly), c.path);
        const QByteArray bytes = file.readAll();
        const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        const std::optional<PictureHeader> h = ReadPictureHeader(data);
        QVERIFY(h);
        QCOMPARE(h->width, c.width);
        QCOMPARE(h->height, c.height);
        QCOMPARE(h->bitsPerPixel, c.bits);
        const std::optional<PicturePalette> p = PaletteForPicture(data);
        QVERIFY(p);
        QCOMPARE(p->entries.size(), c.entries);
        QCOMPARE(p->halftone, c.halftone);
    }
}

void LogicTest::commandLine()
{
    struct Case {
        std::vector<std::string> args;
        bool simulate;
        const char* model;
        const char* device;
        bool refused;
    };
    const Case cases[] = {
        {{}, false, "", "", false},
        {{"--simulate"}, true, "", "", false},
        {{"--simulate=9XYZ"}, true, "9XYZ", "", false},
        {{"--device", "/dev/ttyUSB0"}, false, "", "/dev/ttyUSB0", false},
        {{"--device=/dev/pts/3"}, false, "", "/dev/pts/3", false},
        {{"--device"}, false, "", "", true},
        {{"--device", "--simulate"}, false, "", "", true},
        {{"--simulate", "--device", "/dev/pts/3"}, false, "", "", true},
        {{"report.doc"}, false, "", "", true},
    };
    for (const Case& c : cases) {
        const KitArguments parsed = ParseKitArguments(c.args);
        QCOMPARE(!parsed.error.empty(), c.refused);
        if (c.refused)
            continue;
        QCOMPARE(parsed.simulate, c.simulate);
        QCOMPARE(parsed.model, std::string(c.model));
        QCOMPARE(parsed.device, std::string(c.device));
    }
    QVERIFY(ParseKitArguments({"--help"}).help);
}

QTEST_APPLESS_MAIN(LogicTest)
#include "LogicTest.moc"
