#pragma once

#include "controls/grid/CellRange.h"
#include "platform/Colors.h"
#include "platform/FontRecord.h"
#include "platform/Notify.h"

#include <QString>
#include <QtGlobal>

// Flags, records and key codes shared by the grid and its cells.
namespace grid {

using platform::COLORREF;
using LPARAM = qintptr;
using LOGFONT = platform::FontRecord;

// Cell state flags.
inline constexpr unsigned GCS_FOCUSED = 0x01;
inline constexpr unsigned GCS_SELECTED = 0x02;
inline constexpr unsigned GCS_DROPHILITED = 0x04;
inline constexpr unsigned GCS_READONLY = 0x08;
inline constexpr unsigned GCS_FIXED = 0x10;
inline constexpr unsigned GCS_FIXEDROW = 0x20;
inline constexpr unsigned GCS_FIXEDCOL = 0x40;
inline constexpr unsigned GCS_MODIFIED = 0x80;

// Which fields of a GRIDITEM are valid.
inline constexpr unsigned GIF_TEXT = 0x001;
inline constexpr unsigned GIF_IMAGE = 0x002;
inline constexpr unsigned GIF_PARAM = 0x004;
inline constexpr unsigned GIF_STATE = 0x008;
inline constexpr unsigned GIF_BKCLR = 0x010;
inline constexpr unsigned GIF_FGCLR = 0x020;
inline constexpr unsigned GIF_FORMAT = 0x040;
inline constexpr unsigned GIF_FONT = 0x080;
inline constexpr unsigned GIF_MARGIN = 0x100;
inline constexpr unsigned GIF_ALL = 0x1FF;

// Grid line modes.
inline constexpr int GGL_NONE = 0;
inline constexpr int GGL_HORZ = 1;
inline constexpr int GGL_VERT = 2;
inline constexpr int GGL_BOTH = 3;

// Auto-size styles: which rows a column measure covers.
inline constexpr int GAS_FIXED = 1;
inline constexpr int GAS_DATA = 2;

// Virtual key codes the grid and its editor speak.
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_F2 = 0x71;

struct GRIDITEM {
    int row = 0;
    int col = 0;
    unsigned mask = 0;
    unsigned nState = 0;
    unsigned nFormat = 0;
    int iImage = -1;
    COLORREF crBkClr = platform::CLR_DEFAULT;
    COLORREF crFgClr = platform::CLR_DEFAULT;
    LPARAM lParam = 0;
    LOGFONT lfFont;
    unsigned nMargin = 0;
    QString strText;
};

// Records sent to the owner; each starts with the common header, so the owner casts the
// header it receives to the record its code names. For LVN_GETDISPINFO the owner fills the
// item of the record it was given.
struct GRIDNOTIFY {
    platform::NMHDR hdr;
    int iRow = -1;
    int iColumn = -1;
};

struct GRIDDISPINFO {
    platform::NMHDR hdr;
    GRIDITEM item;
};

struct GRIDCACHEHINT {
    platform::NMHDR hdr;
    CCellRange range;
};

// Answers LVN_GETDISPINFO in place of the owner when set on the grid.
using GRIDCALLBACK = bool (*)(GRIDDISPINFO* dispInfo, LPARAM userValue);

} // namespace grid
