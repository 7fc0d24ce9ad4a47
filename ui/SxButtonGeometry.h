// Where the icon-and-caption button puts its parts: pure arithmetic on the
// button's size, the icon's size and the measured caption, so that it can be
// checked without a window.
#pragma once

struct SxPoint {
    int x = 0;
    int y = 0;
    bool operator==(const SxPoint&) const = default;
};

struct SxButtonMetrics {
    int itemLeft = 0;  // left edge of the item rectangle
    int clientWidth = 0;
    int clientHeight = 0;
    int imageMargin = 4;
    int textGap = 8;
    bool hasIcon = false;
    int imageWidth = 0;
    int imageHeight = 0;
    bool hasCaption = false;
    int textWidth = 0;
    int textHeight = 0;
    bool pressed = false;
};

struct SxButtonPlacement {
    SxPoint icon;     // top-left of the icon, when there is one
    SxPoint caption;  // top-left of the caption's text cell, when there is one
};

// Replaces each coordinate that is -1 by the centred position of an object of
// size cx x cy in a client area of clientWidth x clientHeight.
SxPoint CentrePoint(SxPoint point, int cx, int cy, int clientWidth, int clientHeight);

SxButtonPlacement PlaceSxButton(const SxButtonMetrics& m);

// How far the focus rectangle sits inside the item rectangle on every side.
int FocusInset(int width, int height);
