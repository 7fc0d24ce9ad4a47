// Dialog units: layouts are given in units of the dialog font, a quarter of
// its average character width across and an eighth of its height down, so
// that they keep their proportions with any font.
#pragma once

struct DialogBaseUnits {
    int x = 0;  // average character width in pixels
    int y = 0;  // character height in pixels
};

struct DluRect {
    int x, y, width, height;  // dialog units
};

struct PixelRect {
    int x, y, width, height;
    bool operator==(const PixelRect&) const = default;
};

// Base units from the measured width of "A".."Z" followed by "a".."z" and the
// font's height, rounded the way dialog layouts have always rounded them.
DialogBaseUnits BaseUnitsFromMeasure(int alphabetWidth, int fontHeight);

// The smallest horizontal base unit at which a text `textWidth` pixels wide
// fits in a control `dluWidth` dialog units wide.
int BaseXToFit(int textWidth, int dluWidth);

int DluToPixelsX(int dlu, const DialogBaseUnits& base);
int DluToPixelsY(int dlu, const DialogBaseUnits& base);
PixelRect DluToPixels(const DluRect& r, const DialogBaseUnits& base);
