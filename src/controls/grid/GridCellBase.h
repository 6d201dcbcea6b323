#pragma once

#include "controls/grid/GridDefs.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class QWidget;

namespace grid {

class CGridCtrl;
class CGridDefaultCell;

// What every grid cell offers: the state word, the item interface, drawing and measuring,
// and the hooks for editing and the mouse. Cell rectangles follow the grid's convention: a
// rectangle's right and bottom edges (x() + width(), y() + height()) are the pixel column and
// row of the grid lines, so filling the rectangle stops just before them.
class CGridCellBase {
public:
    CGridCellBase() = default;
    virtual ~CGridCellBase();
    CGridCellBase(const CGridCellBase&) = delete;
    CGridCellBase& operator=(const CGridCellBase&) = delete;

    // The name this cell's class is registered under (see CellFactory).
    virtual QString GetRuntimeClassName() const = 0;

    virtual void SetText(const QString& text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(LPARAM data) = 0;
    virtual void SetState(unsigned state) { m_nState = state; }
    virtual void SetFormat(unsigned format) = 0;
    virtual void SetTextColor(COLORREF color) = 0;
    virtual void SetBackColor(COLORREF color) = 0;
    virtual void SetFont(const LOGFONT* font) = 0;
    virtual void SetMargin(unsigned margin) = 0;
    virtual void SetGrid(CGridCtrl* grid) = 0;
    virtual void SetCoords(int row, int col) = 0;

    virtual QString GetText() const = 0;
    // What the cell draws and measures of its text, and all that assistive tools may read of it:
    // the text itself, unless the cell hides it.
    virtual QString GetShownText() const { return GetText(); }
    virtual QString GetHoverText() const { return GetShownText(); }
    // What a copy of the cell puts on the clipboard.
    virtual QString GetClipboardText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual LPARAM GetData() const = 0;
    virtual unsigned GetState() const { return m_nState; }
    virtual unsigned GetFormat() const = 0;
    virtual COLORREF GetTextColor() const = 0;
    virtual COLORREF GetBackColor() const = 0;
    virtual const LOGFONT* GetFont() const = 0;
    virtual QFont GetFontObject() const = 0;
    virtual CGridCtrl* GetGrid() const = 0;
    virtual QWidget* GetEditWindow() const = 0;
    virtual unsigned GetMargin() const = 0;
    virtual CGridDefaultCell* GetDefaultCell() const;
    virtual bool UsesDefaultFont() const = 0;
    virtual bool IsEditing() const = 0;

    bool IsFocused() const { return GetState() & GCS_FOCUSED; }
    bool IsFixed() const { return GetState() & GCS_FIXED; }
    bool IsFixedCol() const { return GetState() & GCS_FIXEDCOL; }
    bool IsFixedRow() const { return GetState() & GCS_FIXEDROW; }
    bool IsSelected() const { return GetState() & GCS_SELECTED; }
    bool IsReadOnly() const { return GetState() & GCS_READONLY; }
    bool IsModified() const { return GetState() & GCS_MODIFIED; }
    bool IsDropHilited() const { return GetState() & GCS_DROPHILITED; }

    virtual void CopyFrom(const CGridCellBase& other);
    virtual void Reset() { m_nState = 0; }

    virtual bool Draw(QPainter* pDC, int row, int col, QRect rect, bool eraseBackground = true);
    virtual bool GetTextRect(QRect* rect);
    virtual bool GetHoverTextRect(QRect* rect) { return GetTextRect(rect); }
    virtual QSize MeasureText(const QString& text, QPainter* pDC = nullptr);
    virtual QSize MeasureCell(QPainter* pDC = nullptr);

    virtual bool Edit(int row, int col, const QRect& rect, const QPoint& point, int id, int firstChar);
    virtual bool ValidateEdit(const QString& text);
    virtual void EndEdit() {}
    virtual void OnEditEnded() = 0;

    virtual void OnMouseOver() {}
    virtual void OnClick(QPoint pointInCell);
    virtual void OnClickDown(QPoint pointInCell);
    virtual void OnRClick(QPoint pointInCell);
    virtual void OnDblClick(QPoint pointInCell);
    virtual Qt::CursorShape OnSetCursor() { return Qt::ArrowCursor; }

protected:
    // The size of image when the grid has an image list holding it, else an invalid size.
    QSize ImageSize() const;

private:
    COLORREF FillBackground(QPainter& painter, QRect& rect, COLORREF textColor, COLORREF backColor,
                            bool erase) const;
    void DrawFixedLook(QPainter& painter, int row, int col, QRect& rect) const;
    void DrawSortArrow(QPainter& painter, QRect& rect) const;

    unsigned m_nState = 0;
};

} // namespace grid
