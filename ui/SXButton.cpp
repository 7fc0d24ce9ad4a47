#include "ui/SXButton.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionButton>

#include "ui/Pictures.h"

namespace {

// The caption as drawn: "&" marks the next character and is not shown itself.
QString WithoutMnemonics(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

// An inverting dotted frame on the outline of `r`.
void DrawFocusFrame(QPainter& p, const QRect& r)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (int x = r.left(); x <= r.right(); x += 2) {
        p.fillRect(x, r.top(), 1, 1, Qt::black);
        p.fillRect(x, r.bottom(), 1, 1, Qt::black);
    }
    for (int y = r.top() + 2; y < r.bottom(); y += 2) {
        p.fillRect(r.left(), y, 1, 1, Qt::black);
        p.fillRect(r.right(), y, 1, 1, Qt::black);
    }
    p.restore();
}

}  // namespace

CSXButton::CSXButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

bool CSXButton::LoadIconImage(unsigned id, int cx, int cy)
{
    return SetIconImage(LoadIconResource(id), cx, cy);
}

bool CSXButton::SetIconImage(const QIcon& icon, int cx, int cy)
{
    icon_ = icon;
    if (icon_.isNull())
        return false;
    imageWidth_ = cx;
    imageHeight_ = cy;
    update();
    return true;
}

int CSXButton::SetImageMargin(int pixels)
{
    std::swap(imageMargin_, pixels);
    update();
    return pixels;
}

int CSXButton::SetTextGap(int pixels)
{
    std::swap(textGap_, pixels);
    update();
    return pixels;
}

SxButtonMetrics CSXButton::Metrics() const
{
    const QFontMetrics fm(font());
    SxButtonMetrics m;
    m.clientWidth = width();
    m.clientHeight = height();
    m.imageMargin = imageMargin_;
    m.textGap = textGap_;
    m.hasIcon = !icon_.isNull();
    m.imageWidth = imageWidth_;
    m.imageHeight = imageHeight_;
    m.hasCaption = !text().isEmpty();
    m.textWidth = fm.horizontalAdvance(WithoutMnemonics(text()));
    m.textHeight = fm.height();
    m.pressed = isDown();
    return m;
}

void CSXButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionButton frame;
    initStyleOption(&frame);
    frame.text.clear();
    frame.icon = QIcon();
    style()->drawControl(QStyle::CE_PushButtonBevel, &frame, &p, this);

    const SxButtonMetrics m = Metrics();
    const SxButtonPlacement at = PlaceSxButton(m);
    if (m.hasIcon) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        icon_.paint(&p, QRect(at.icon.x, at.icon.y, m.imageWidth, m.imageHeight), Qt::AlignCenter,
                    mode);
    }
    if (m.hasCaption) {
        style()->drawItemText(&p, QRect(at.caption.x, at.caption.y, m.textWidth, m.textHeight),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, palette(),
                              isEnabled(), text(), QPalette::ButtonText);
    }
    // The whole button is drawn afresh every time, so the focus frame goes
    // with the focus itself; a disabled button shows none.
    if (isEnabled() && hasFocus()) {
        const int d = FocusInset(width(), height());
        DrawFocusFrame(p, rect().adjusted(d, d, -d, -d));
    }
}
