// A push button that draws an icon and its caption side by side.
#pragma once

#include <QIcon>
#include <QPushButton>

#include "ui/SxButtonGeometry.h"

class CSXButton : public QPushButton {
    Q_OBJECT

public:
    explicit CSXButton(const QString& caption = QString(), QWidget* parent = nullptr);

    // Loads icon resource `id` to be drawn at cx x cy pixels. False, and no
    // icon, when there is none.
    bool LoadIconImage(unsigned id, int cx, int cy);
    // Uses `icon` at cx x cy pixels (a null icon removes it).
    bool SetIconImage(const QIcon& icon, int cx, int cy);
    // Pixels from the left edge to the icon; returns the previous value.
    int SetImageMargin(int pixels);
    // Pixels between the icon and the caption's area; returns the previous value.
    int SetTextGap(int pixels);

    bool HasIconImage() const { return !icon_.isNull(); }
    // The measures that the next drawing uses.
    SxButtonMetrics Metrics() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int imageMargin_ = 4;
    int textGap_ = 8;
    QIcon icon_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
};
