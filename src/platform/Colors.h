#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the controls store them: 0x00BBGGRR values, two special values, and the system
// colour indices answered from the application palette at the moment of the call.
namespace platform {

using COLORREF = quint32;

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(quint8(r)) | (COLORREF(quint8(g)) << 8) | (COLORREF(quint8(b)) << 16);
}
constexpr int GetRValue(COLORREF c) {
    return int(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return int((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return int((c >> 16) & 0xFF);
}

inline constexpr COLORREF CLR_DEFAULT = 0xFF000000; // "use the control's default colour"
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF;    // "no colour": transparent

// The program's light blue: frame, cool bar, splitter, job pane, labels, About box.
inline constexpr COLORREF LIGHT_BLUE = RGB(227, 246, 253);

// CLR_DEFAULT gives an invalid QColor (the caller picks its default), CLR_NONE a fully
// transparent colour; any other value its opaque colour.
QColor toQColor(COLORREF color);
// The reverse: invalid gives CLR_DEFAULT, fully transparent CLR_NONE, anything else its
// red, green and blue.
COLORREF fromQColor(const QColor& color);

// System colour indices.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;

// The colour of a system index taken from the application palette now, so a palette change
// shows at the next paint. Unknown indices give 0 (black).
COLORREF GetSysColor(int index);
// The same as a QColor, for painting.
QColor sysColor(int index);

} // namespace platform
