#include "controls/chrome/MenuXPColors.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

constexpr double fullScale = 255.0;
constexpr double degreesPerHueStep = 360.0 / fullScale;

double movedBy(double value, int percent) {
    if (percent > 0)
        return value + (fullScale - value) * percent / 100.0;
    if (percent < 0)
        return value * (100 + percent) / 100.0;
    return value;
}

// One channel of the standard HLS-to-RGB conversion; hue in degrees, any range.
double channel(double low, double high, double hue) {
    hue = std::fmod(hue, 360.0);
    if (hue < 0)
        hue += 360.0;
    if (hue < 60)
        return low + (high - low) * hue / 60.0;
    if (hue < 180)
        return high;
    if (hue < 240)
        return low + (high - low) * (240.0 - hue) / 60.0;
    return low;
}

// Halves round up; the small allowance keeps an exact half that arrives as x.4999999 from
// rounding down.
int toByte(double unit) {
    constexpr double allowance = 1e-9;
    return std::clamp(int(std::floor(unit * fullScale + 0.5 + allowance)), 0, 255);
}

COLORREF transformedSys(int index, int lightnessPercent, int saturationPercent) {
    return HLSTransform(GetSysColor(index), lightnessPercent, saturationPercent);
}

} // namespace

HLSColor RGBtoHLS(COLORREF color) {
    const int red = GetRValue(color);
    const int green = GetGValue(color);
    const int blue = GetBValue(color);
    const int high = std::max({red, green, blue});
    const int low = std::min({red, green, blue});
    HLSColor hls;
    hls.lightness = (high + low) / 2.0;
    if (high == low)
        return hls;
    const double difference = high - low;
    const double saturation = hls.lightness <= fullScale / 2 ? difference / (high + low)
                                                             : difference / (2 * fullScale - high - low);
    double degrees;
    if (red == high)
        degrees = (green - blue) / difference;
    else if (green == high)
        degrees = 2 + (blue - red) / difference;
    else
        degrees = 4 + (red - green) / difference;
    degrees *= 60;
    if (degrees < 0)
        degrees += 360;
    hls.hue = degrees / degreesPerHueStep;
    hls.saturation = saturation * fullScale;
    return hls;
}

COLORREF HLStoRGB(const HLSColor& hls) {
    const double lightness = hls.lightness / fullScale;
    const double saturation = hls.saturation / fullScale;
    if (saturation <= 0) {
        const int grey = toByte(lightness);
        return RGB(grey, grey, grey);
    }
    const double high =
        lightness <= 0.5 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    const double low = 2 * lightness - high;
    const double degrees = hls.hue * degreesPerHueStep;
    return RGB(toByte(channel(low, high, degrees + 120)), toByte(channel(low, high, degrees)),
               toByte(channel(low, high, degrees - 120)));
}

COLORREF HLSTransform(COLORREF color, int lightnessPercent, int saturationPercent) {
    HLSColor hls = RGBtoHLS(color);
    hls.lightness = movedBy(hls.lightness, lightnessPercent);
    hls.saturation = movedBy(hls.saturation, saturationPercent);
    return HLStoRGB(hls);
}

namespace menuxp {

COLORREF menuFace() {
    return transformedSys(COLOR_BTNFACE, 75, 0);
}

COLORREF imageColumn() {
    return transformedSys(COLOR_BTNFACE, 20, 0);
}

COLORREF separator() {
    return transformedSys(COLOR_BTNFACE, -18, 0);
}

COLORREF selectionFill(bool disabled) {
    return disabled ? transformedSys(COLOR_BTNFACE, 73, 0) : transformedSys(COLOR_HIGHLIGHT, 70, -57);
}

COLORREF selectionFrame() {
    return GetSysColor(COLOR_HIGHLIGHT);
}

COLORREF checkFill(bool selected, bool disabled) {
    if (disabled)
        return transformedSys(COLOR_BTNFACE, 73, 0);
    return selected ? transformedSys(COLOR_HIGHLIGHT, 50, -50) : selectionFill(false);
}

COLORREF disabledText() {
    return transformedSys(COLOR_BTNFACE, -18, 0);
}

COLORREF inactiveText() {
    return GetSysColor(COLOR_BTNSHADOW);
}

COLORREF normalText() {
    return GetSysColor(COLOR_MENUTEXT);
}

COLORREF imageShadow(bool disabled) {
    return disabled ? transformedSys(COLOR_BTNFACE, -27, 0) : transformedSys(COLOR_HIGHLIGHT, 50, -66);
}

COLORREF border() {
    return GetSysColor(COLOR_3DDKSHADOW);
}

} // namespace menuxp
