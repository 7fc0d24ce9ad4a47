#include "ui/DialogLayout.h"

#include <QApplication>
#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

QFont TemplateFont(int points)
{
    QFont font = QApplication::font();
    font.setPointSize(points);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics fm(font);
    return BaseUnitsFromMeasure(
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        fm.height());
}

DialogBaseUnits SetUpTemplate(QWidget* window, int points, int width, int height,
                              const std::vector<FixedText>& texts)
{
    window->setFont(TemplateFont(points));
    DialogBaseUnits base = BaseUnitsOf(window->font());
    const QFontMetrics fm(window->font());
    for (const FixedText& t : texts)
        base.x = std::max(base.x, BaseXToFit(fm.horizontalAdvance(t.text), t.dluWidth));
    window->setFixedSize(DluToPixelsX(width, base), DluToPixelsY(height, base));
    return base;
}

void PlaceDlu(QWidget* control, const DluRect& r, const DialogBaseUnits& base)
{
    const PixelRect px = DluToPixels(r, base);
    control->setGeometry(px.x, px.y, px.width, px.height);
}
