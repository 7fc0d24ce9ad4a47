// Picture, icon and toolbar resources of the desktop kit, and the drawing of
// a picture resource.
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QRgb>

class QPainter;

// Loads picture resource `id` and the palette that goes with it: its colour
// table for up to 256 colours, the halftone palette beyond. False when the
// resource cannot be loaded.
bool LoadPictureWithPalette(unsigned id, QImage& picture, QList<QRgb>& palette);

// Draws cx x cy pixels from the picture's top-left corner at (x, y); draws
// nothing when the picture cannot be loaded. Returns true.
bool DrawPictureResource(QPainter& dc, unsigned id, int x, int y, int cx, int cy);

// Icon resource `id` (all its sizes), or a null icon when there is none.
QIcon LoadIconResource(unsigned id);

// The toolbar buttons' images in order: Comm Setting, RIB Setting, About.
QList<QIcon> LoadToolbarImages();
