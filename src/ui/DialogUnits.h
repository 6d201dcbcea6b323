#pragma once

#include <QFont>
#include <QRect>

// Converts dialog-template coordinates to pixels: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height, so a dialog laid out in
// these units grows with its font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(int x, int y, int width, int height) const;
    QSize toPixels(int width, int height) const;

private:
    int baseWidth;
    int baseHeight;
};
