#include "ui/DialogUnits.h"

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDivRound(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogBaseUnits BaseUnitsFromMeasure(int alphabetWidth, int fontHeight)
{
    return {(alphabetWidth / 26 + 1) / 2, fontHeight};
}

int BaseXToFit(int textWidth, int dluWidth)
{
    if (dluWidth <= 0)
        return 0;
    // One pixel more than the text, for the rounding of the control's corners.
    return (4 * (textWidth + 1) + dluWidth - 1) / dluWidth;
}

int DluToPixelsX(int dlu, const DialogBaseUnits& base)
{
    return MulDivRound(dlu, base.x, 4);
}

int DluToPixelsY(int dlu, const DialogBaseUnits& base)
{
    return MulDivRound(dlu, base.y, 8);
}

PixelRect DluToPixels(const DluRect& r, const DialogBaseUnits& base)
{
    // Convert the corners, not the sizes, so that neighbouring controls meet
    // exactly as they do in dialog units.
    const int left = DluToPixelsX(r.x, base);
    const int top = DluToPixelsY(r.y, base);
    return {left, top, DluToPixelsX(r.x + r.width, base) - left,
            DluToPixelsY(r.y + r.height, base) - top};
}
