#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {

QColor toQColor(COLORREF color) {
    if (color == CLR_DEFAULT)
        return QColor();
    if (color == CLR_NONE)
        return QColor(Qt::transparent);
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

COLORREF fromQColor(const QColor& color) {
    if (!color.isValid())
        return CLR_DEFAULT;
    if (color.alpha() == 0)
        return CLR_NONE;
    const QColor rgb = color.toRgb();
    return RGB(rgb.red(), rgb.green(), rgb.blue());
}

QColor sysColor(int index) {
    const QPalette palette = QGuiApplication::palette();
    // The 3D roles follow Qt's own bevels: Light and Dark are the outer pair, Midlight and
    // Shadow the inner one.
    switch (index) {
    case COLOR_SCROLLBAR:
    case COLOR_ACTIVEBORDER:
    case COLOR_INACTIVEBORDER:
    case COLOR_BTNFACE:
        return palette.color(QPalette::Active, QPalette::Button);
    case COLOR_BACKGROUND:
        return palette.color(QPalette::Active, QPalette::Dark);
    case COLOR_ACTIVECAPTION:
    case COLOR_HIGHLIGHT:
    case COLOR_MENUHILIGHT:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case COLOR_INACTIVECAPTION:
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    case COLOR_GRADIENTACTIVECAPTION:
        return palette.color(QPalette::Active, QPalette::Highlight).lighter(130);
    case COLOR_GRADIENTINACTIVECAPTION:
        return palette.color(QPalette::Inactive, QPalette::Highlight).lighter(130);
    case COLOR_MENU:
    case COLOR_MENUBAR:
        return palette.color(QPalette::Active, QPalette::Window);
    case COLOR_WINDOW:
        return palette.color(QPalette::Active, QPalette::Base);
    case COLOR_WINDOWFRAME:
        return palette.color(QPalette::Active, QPalette::Shadow);
    case COLOR_MENUTEXT:
        return palette.color(QPalette::Active, QPalette::WindowText);
    case COLOR_WINDOWTEXT:
        return palette.color(QPalette::Active, QPalette::Text);
    case COLOR_CAPTIONTEXT:
    case COLOR_HIGHLIGHTTEXT:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case COLOR_INACTIVECAPTIONTEXT:
        return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case COLOR_APPWORKSPACE:
        return palette.color(QPalette::Active, QPalette::Mid);
    case COLOR_BTNSHADOW:
        return palette.color(QPalette::Active, QPalette::Dark);
    case COLOR_GRAYTEXT:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case COLOR_BTNTEXT:
        return palette.color(QPalette::Active, QPalette::ButtonText);
    case COLOR_BTNHIGHLIGHT:
        return palette.color(QPalette::Active, QPalette::Light);
    case COLOR_3DDKSHADOW:
        return palette.color(QPalette::Active, QPalette::Shadow);
    case COLOR_3DLIGHT:
        return palette.color(QPalette::Active, QPalette::Midlight);
    case COLOR_INFOTEXT:
        return palette.color(QPalette::Active, QPalette::ToolTipText);
    case COLOR_INFOBK:
        return palette.color(QPalette::Active, QPalette::ToolTipBase);
    case COLOR_HOTLIGHT:
        return palette.color(QPalette::Active, QPalette::Link);
    default:
        return QColor(Qt::black);
    }
}

COLORREF GetSysColor(int index) {
    const QColor color = sysColor(index);
    return RGB(color.red(), color.green(), color.blue());
}

} // namespace platform
