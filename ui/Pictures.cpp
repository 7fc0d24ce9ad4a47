#include "ui/Pictures.h"

#include <QBitmap>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <vector>

#include "ui/PicturePalette.h"

namespace {

constexpr int kToolbarButtonWidth = 16;
constexpr int kToolbarButtonHeight = 15;
const QColor kToolbarKey(192, 192, 192);  // the transparent colour of the toolbar image

QByteArray ReadResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

bool LoadPictureWithPalette(unsigned id, QImage& picture, QList<QRgb>& palette)
{
    const QByteArray bytes = ReadResource(QStringLiteral(":/res/bitmap%1.bmp").arg(id));
    QImage image;
    if (bytes.isEmpty() || !image.loadFromData(bytes, "BMP"))
        return false;
    picture = image;
    const std::vector<std::uint8_t> file(bytes.begin(), bytes.end());
    palette.clear();
    if (const std::optional<PicturePalette> made = PaletteForPicture(file))
        for (std::uint32_t rgb : made->entries)
            palette.append(qRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    return true;
}

bool DrawPictureResource(QPainter& dc, unsigned id, int x, int y, int cx, int cy)
{
    QImage picture;
    QList<QRgb> palette;
    // Qt paints on true-colour surfaces only, so the palette is never
    // selected into the device; the picture's own colours are drawn as they are.
    if (LoadPictureWithPalette(id, picture, palette))
        dc.drawImage(QPoint(x, y), picture, QRect(0, 0, cx, cy));
    return true;
}

QIcon LoadIconResource(unsigned id)
{
    const QString path = QStringLiteral(":/res/icon%1.ico").arg(id);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QList<QIcon> LoadToolbarImages()
{
    QList<QIcon> icons;
    QPixmap strip(QStringLiteral(":/res/toolbar.bmp"));
    if (strip.isNull())
        return icons;
    strip.setMask(strip.createMaskFromColor(kToolbarKey));
    for (int x = 0; x + kToolbarButtonWidth <= strip.width(); x += kToolbarButtonWidth)
        icons.append(QIcon(strip.copy(x, 0, kToolbarButtonWidth, kToolbarButtonHeight)));
    return icons;
}
