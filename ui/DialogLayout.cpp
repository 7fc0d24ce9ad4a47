#include "ui/DialogLayout.h"

#include <QApplication>
#include <QFontMetrics>
#include <QWidget>

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

DialogBaseUnits SetUpTemplate(QWidget* window, int points, int width, int height)
{
    window->setFont(TemplateFont(points));
    const DialogBaseUnits base = BaseUnitsOf(window->font());
    window->setFixedSize(DluToPixelsX(width, base), DluToPixelsY(height, base));
    return base;
}

void PlaceDlu(QWidget* control, const DluRect& r, const DialogBaseUnits& base)
{
    const PixelRect px = DluToPixels(r, base);
    control->setGeometry(px.x, px.y, px.width, px.height);
}
