#pragma once

#include "platform/Colors.h"

// The flat menus' colours. Each one is a system colour moved in hue-lightness-saturation
// space, so the menus stay in tune with whatever colour scheme the desktop has.

// Hue (0-360 degrees scaled to 0-255), lightness and saturation (0-255), kept unrounded so
// that a conversion there and back returns the colour it started from.
struct HLSColor {
    double hue = 0;
    double lightness = 0;
    double saturation = 0;
};

HLSColor RGBtoHLS(platform::COLORREF color);
platform::COLORREF HLStoRGB(const HLSColor& color);

// Moves lightness and saturation by a percentage each: a positive percentage goes that share
// of the way towards 255, a negative one scales the value down by that share, 0 keeps it.
platform::COLORREF HLSTransform(platform::COLORREF color, int lightnessPercent, int saturationPercent);

// The named colours, read from the system colours at the moment of the call.
namespace menuxp {

platform::COLORREF menuFace();
platform::COLORREF imageColumn();
platform::COLORREF separator();
platform::COLORREF selectionFill(bool disabled);
platform::COLORREF selectionFrame();
// The fill behind a check mark or a checked item's image.
platform::COLORREF checkFill(bool selected, bool disabled);
platform::COLORREF disabledText();
// Text of an item drawn while its window is not the active one.
platform::COLORREF inactiveText();
platform::COLORREF normalText();
// The silhouette drawn under a selected image, and in place of a disabled one.
platform::COLORREF imageShadow(bool disabled);
// The outer line of a menu's border.
platform::COLORREF border();

} // namespace menuxp
