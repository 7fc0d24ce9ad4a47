#include "ui/SxButtonGeometry.h"

#include <algorithm>

SxPoint CentrePoint(SxPoint point, int cx, int cy, int clientWidth, int clientHeight)
{
    if (point.x == -1)
        point.x = (clientWidth - cx) >> 1;
    if (point.y == -1)
        point.y = (clientHeight - cy) >> 1;
    return point;
}

SxButtonPlacement PlaceSxButton(const SxButtonMetrics& m)
{
    const int offset = m.pressed ? 1 : 0;
    SxButtonPlacement out;
    if (m.hasIcon) {
        SxPoint p{m.hasCaption ? m.imageMargin + m.itemLeft : -1, -1};
        p = CentrePoint(p, m.imageWidth, m.imageHeight, m.clientWidth, m.clientHeight);
        out.icon = {p.x + offset, p.y + offset};
    }
    if (m.hasCaption) {
        SxPoint p{-1, -1};
        if (m.hasIcon) {
            const int used = m.imageMargin + m.imageWidth + m.textGap;
            p.x = used + std::max(0, m.clientWidth - used - m.textWidth) / 2;
        }
        p = CentrePoint(p, m.textWidth, m.textHeight, m.clientWidth, m.clientHeight);
        // The caption always sits one pixel above the vertical centre.
        out.caption = {p.x + offset, p.y + offset - 1};
    }
    return out;
}

int FocusInset(int width, int height)
{
    const int m = std::min(width, height);
    return m <= 15 ? m >> 2 : 3;
}
