#include "ui/DialogUnits.h"

#include <QFontMetrics>

#include <cmath>

namespace {

// The average width of the 52 letters, rounded to the nearest pixel.
int averageLetterWidth(const QFontMetrics& metrics) {
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

int scaled(int units, int base, int divisor) {
    return int(std::lround(double(units) * base / divisor));
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    baseWidth = averageLetterWidth(metrics);
    baseHeight = metrics.height();
}

int DialogUnits::toPixelsX(int units) const {
    return scaled(units, baseWidth, 4);
}

int DialogUnits::toPixelsY(int units) const {
    return scaled(units, baseHeight, 8);
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const {
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height));
}

QSize DialogUnits::toPixels(int width, int height) const {
    return QSize(toPixelsX(width), toPixelsY(height));
}
