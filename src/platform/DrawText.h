#pragma once

#include "platform/Colors.h"

#include <QBrush>
#include <QRect>
#include <QString>

class QPainter;

// The text and frame drawing calls the controls are written against, over QPainter, with the
// flag values and meanings the controls expect. Rectangles are QRects: a rectangle covers
// rect.width() x rect.height() pixels starting at its top-left corner.
namespace platform {

// DrawText formats.
inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x200;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_EDITCONTROL = 0x2000;
inline constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;
inline constexpr unsigned DT_MODIFYSTRING = 0x10000;
inline constexpr unsigned DT_WORD_ELLIPSIS = 0x40000;
inline constexpr unsigned DT_HIDEPREFIX = 0x100000;
inline constexpr unsigned DT_PREFIXONLY = 0x200000;

// Draws text into rect in the painter's font and pen colour, background left as it is.
// - '&' marks the next character as mnemonic (underlined; "&&" is one '&') unless
//   DT_NOPREFIX; DT_HIDEPREFIX removes the marks without underlining, DT_PREFIXONLY draws
//   the underlines alone.
// - Without DT_SINGLELINE, CR, LF and CR LF start new lines; DT_WORDBREAK also breaks at
//   spaces to fit the width (a word wider than the rectangle keeps its own line).
// - DT_VCENTER and DT_BOTTOM act on single-line text only.
// - Ellipsis flags shorten every line wider than the rectangle with "..."; with
//   DT_MODIFYSTRING and a modified pointer, the shortened text is stored there.
// - Clipped to rect unless DT_NOCLIP. DT_EDITCONTROL leaves out a partly visible last line.
// - DT_CALCRECT draws nothing: rect keeps its top-left corner and takes the text's width and
//   height (multi-line text is wrapped at the rectangle's width first).
// Returns the height of the text; for single-line text placed with DT_VCENTER or DT_BOTTOM,
// the distance from rect's top to the bottom of the drawn text. Empty text: 0 (a DT_CALCRECT
// rect becomes empty).
int DrawText(QPainter& painter, const QString& text, QRect& rect, unsigned format,
             QString* modified = nullptr);

// DrawEdge borders and sides.
inline constexpr unsigned BDR_RAISEDOUTER = 0x1;
inline constexpr unsigned BDR_SUNKENOUTER = 0x2;
inline constexpr unsigned BDR_RAISEDINNER = 0x4;
inline constexpr unsigned BDR_SUNKENINNER = 0x8;
inline constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr unsigned BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr unsigned BF_LEFT = 0x1;
inline constexpr unsigned BF_TOP = 0x2;
inline constexpr unsigned BF_RIGHT = 0x4;
inline constexpr unsigned BF_BOTTOM = 0x8;
inline constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
inline constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
inline constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr unsigned BF_MIDDLE = 0x800;
inline constexpr unsigned BF_ADJUST = 0x2000;
inline constexpr unsigned BF_FLAT = 0x4000;
inline constexpr unsigned BF_MONO = 0x8000;

// Draws one or two one-pixel rings (outer, then inner) on the chosen sides in the system 3D
// colours; BF_MIDDLE fills the inside with the button face; BF_ADJUST shrinks rect by the
// drawn borders.
bool DrawEdge(QPainter& painter, QRect& rect, unsigned edge, unsigned flags);
bool DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned flags);

// DrawFrameControl kinds and states.
inline constexpr unsigned DFC_SCROLL = 3;
inline constexpr unsigned DFC_BUTTON = 4;

inline constexpr unsigned DFCS_BUTTONCHECK = 0x0;
inline constexpr unsigned DFCS_BUTTONPUSH = 0x10;
inline constexpr unsigned DFCS_SCROLLUP = 0x0;
inline constexpr unsigned DFCS_SCROLLDOWN = 0x1;
inline constexpr unsigned DFCS_SCROLLLEFT = 0x2;
inline constexpr unsigned DFCS_SCROLLRIGHT = 0x3;
inline constexpr unsigned DFCS_INACTIVE = 0x100;
inline constexpr unsigned DFCS_PUSHED = 0x200;
inline constexpr unsigned DFCS_CHECKED = 0x400;
inline constexpr unsigned DFCS_HOT = 0x1000;
inline constexpr unsigned DFCS_FLAT = 0x4000;
inline constexpr unsigned DFCS_MONO = 0x8000;

// Check boxes (a square centred in rect), push buttons and scroll-bar arrow buttons in the
// system colours. False for kinds not listed above.
bool DrawFrameControl(QPainter& painter, const QRect& rect, unsigned type, unsigned state);

// One-pixel frame just inside rect.
void FrameRect(QPainter& painter, const QRect& rect, const QBrush& brush);
// The dotted frame that marks the keyboard focus, just inside rect.
void DrawFocusRect(QPainter& painter, const QRect& rect);
void FillSolidRect(QPainter& painter, const QRect& rect, COLORREF color);
// A Qt::GlobalColor would silently convert to a small COLORREF; use toQColor's inverse.
void FillSolidRect(QPainter& painter, const QRect& rect, Qt::GlobalColor) = delete;
// Top and left lines in topLeft, right and bottom lines in bottomRight (which owns the
// top-right and bottom-left corners).
void Draw3dRect(QPainter& painter, const QRect& rect, COLORREF topLeft, COLORREF bottomRight);

// PatBlt raster operations.
inline constexpr unsigned PATCOPY = 0x00F00021;
inline constexpr unsigned PATINVERT = 0x005A0049;
inline constexpr unsigned DSTINVERT = 0x00550009;
inline constexpr unsigned BLACKNESS = 0x00000042;
inline constexpr unsigned WHITENESS = 0x00FF0062;

// Fills rect with brush (PATCOPY), XORs it onto the pixels (PATINVERT: doing it twice
// restores them, which is how drag bands are drawn and removed), inverts the pixels
// (DSTINVERT) or fills black or white. False for other operations or when the paint device
// cannot XOR.
bool PatBlt(QPainter& painter, const QRect& rect, const QBrush& brush, unsigned rop);
// 8 x 8 checkerboard whose set pixels invert under PATINVERT and the others stay.
QBrush halftoneBrush();

} // namespace platform
