// Placing controls given in dialog units, with the base units of the
// window's font.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

#include "ui/DialogUnits.h"

class QWidget;

// The template font: the application's font family at `points` points.
QFont TemplateFont(int points);

DialogBaseUnits BaseUnitsOf(const QFont& font);

// A fixed text and the width in dialog units of the control that shows it.
struct FixedText {
    QString text;
    int dluWidth;
};

// Gives `window` the template font and a fixed client size in dialog units;
// returns the base units for placing its controls. Where the font draws one
// of `texts` wider than its control, the horizontal base unit grows until it
// fits, so that the whole layout widens in proportion and no text is cut.
DialogBaseUnits SetUpTemplate(QWidget* window, int points, int width, int height,
                              const std::vector<FixedText>& texts = {});

void PlaceDlu(QWidget* control, const DluRect& r, const DialogBaseUnits& base);
