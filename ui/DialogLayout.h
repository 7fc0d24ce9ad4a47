// Placing controls given in dialog units, with the base units of the
// window's font.
#pragma once

#include <QFont>

#include "ui/DialogUnits.h"

class QWidget;

// The template font: the application's font family at `points` points.
QFont TemplateFont(int points);

DialogBaseUnits BaseUnitsOf(const QFont& font);

// Gives `window` the template font and a fixed client size in dialog units;
// returns the base units for placing its controls.
DialogBaseUnits SetUpTemplate(QWidget* window, int points, int width, int height);

void PlaceDlu(QWidget* control, const DluRect& r, const DialogBaseUnits& base);
