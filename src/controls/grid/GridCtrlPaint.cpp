#include "controls/grid/GridCtrl.h"

#include "controls/grid/GridCtrlInternal.h"
#include "platform/DrawText.h"

#include <QPaintEvent>
#include <QPainter>

namespace grid {

using namespace platform;
using namespace internal;

// ---- Invalidation -------------------------------------------------------------------------

void CGridCtrl::Refresh() {
    if (m_bAllowDraw)
        update();
}

bool CGridCtrl::InvalidateCell(int row, int col) {
    QRect rect;
    if (!m_bAllowDraw || !IsCellVisible(row, col) || !GetCellRect(row, col, &rect))
        return false;
    update(rect.adjusted(0, 0, 1, 1));
    return true;
}

// Painting happens in paintEvent only, so a repaint is an invalidation.
bool CGridCtrl::RepaintCell(int row, int col) {
    return InvalidateCell(row, col);
}

void CGridCtrl::InvalidateRowHeaders(int row) {
    for (int col = 0; col < m_nFixedCols; ++col)
        InvalidateCell(row, col);
}

void CGridCtrl::InvalidateColumnHeaders(int col) {
    for (int row = 0; row < m_nFixedRows; ++row)
        InvalidateCell(row, col);
}

// ---- Painting -----------------------------------------------------------------------------

void CGridCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintGrid(painter, event->rect());
    if (IsScrollBarShown(Qt::Horizontal) && IsScrollBarShown(Qt::Vertical)) {
        const int extent = scrollBarExtent(this);
        painter.fillRect(width() - extent, height() - extent, extent, extent, palette().window());
    }
    if (!m_SizingBand.isEmpty())
        PatBlt(painter, m_SizingBand, QBrush(Qt::white), PATINVERT);
    // With the keyboard here but no cell focused (an empty list, or none entered yet), the
    // user still sees where the keys go.
    if (hasFocus() && !IsValid(m_idCurrentCell))
        DrawFocusRect(painter, GetClientRect().adjusted(1, 1, -1, -1));
}

void CGridCtrl::PaintGrid(QPainter& painter, const QRect& clip) {
    if (!m_bAllowDraw || clip.isEmpty())
        return;
    QRect visibleRect;
    const CCellRange visible = GetVisibleScrollRange(&visibleRect);
    EraseBackground(painter, clip, visibleRect);
    SendCacheHint(visible);
    PaintCells(painter, clip, visible);
    PaintGridLines(painter, visible, visibleRect);
    SendCacheHint({});
}

void CGridCtrl::EraseBackground(QPainter& painter, const QRect& clip, const QRect& visibleRect) {
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    const int right = visibleRect.width();
    const int bottom = visibleRect.height();
    const int clipRight = clip.x() + clip.width();
    const int clipBottom = clip.y() + clip.height();
    const auto fill = [&](const QRect& area, COLORREF color) {
        const QRect part = area & clip;
        if (!part.isEmpty())
            FillSolidRect(painter, part, color);
    };
    fill(rectLTRB(clip.x(), clip.y(), fixedWidth, fixedHeight), m_cellFixedRowColDef->GetBackColor());
    fill(rectLTRB(clip.x(), clip.y(), fixedWidth, bottom), m_cellFixedColDef->GetBackColor());
    fill(rectLTRB(fixedWidth - 1, clip.y(), right, fixedHeight), m_cellFixedRowDef->GetBackColor());
    fill(rectLTRB(fixedWidth, fixedHeight, right, bottom), m_cellDefault->GetBackColor());
    fill(rectLTRB(right, clip.y(), clipRight, clipBottom), m_crGridBkColour);
    fill(rectLTRB(clip.x(), bottom, right, clipBottom), m_crGridBkColour);
}

void CGridCtrl::DrawCell(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    if (CGridCellBase* cell = GetCell(row, col)) {
        cell->SetCoords(row, col);
        cell->Draw(&painter, row, col, rect, erase);
    }
}

namespace {

// Lays the items first..last edge to edge after prevEdge, skipping hidden ones and those
// outside [clipStart, clipEnd]; calls paint(index, start, end) with the span's first pixel
// and its edge (the grid line's pixel).
template <typename Paint>
void forEachSpan(const CumulativeSizes& sizes, int first, int last, int prevEdge, int clipStart, int clipEnd,
                 Paint paint) {
    for (int index = first; index <= last; ++index) {
        const int size = sizes.at(index);
        if (size == 0)
            continue;
        const int start = prevEdge + 1;
        const int end = prevEdge + size;
        prevEdge = end;
        if (end < clipStart)
            continue;
        if (start > clipEnd)
            break;
        paint(index, start, end);
    }
}

} // namespace

void CGridCtrl::PaintCells(QPainter& painter, const QRect& clip, const CCellRange& visible) {
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    const auto paintBlock = [&](int firstRow, int lastRow, int rowEdge, int firstCol, int lastCol,
                                int colEdge) {
        forEachSpan(m_arRowHeights, firstRow, lastRow, rowEdge, clip.top(), clip.bottom(),
                    [&](int row, int top, int bottom) {
                        forEachSpan(m_arColWidths, firstCol, lastCol, colEdge, clip.left(), clip.right(),
                                    [&](int col, int left, int right) {
                                        DrawCell(painter, row, col, rectLTRB(left, top, right, bottom),
                                                 false);
                                    });
                    });
    };
    paintBlock(0, m_nFixedRows - 1, -1, 0, m_nFixedCols - 1, -1);
    paintBlock(visible.minRow, visible.maxRow, fixedHeight - 1, 0, m_nFixedCols - 1, -1);
    paintBlock(0, m_nFixedRows - 1, -1, visible.minCol, visible.maxCol, fixedWidth - 1);
    paintBlock(visible.minRow, visible.maxRow, fixedHeight - 1, visible.minCol, visible.maxCol,
               fixedWidth - 1);
}

void CGridCtrl::PaintGridLines(QPainter& painter, const CCellRange& visible, const QRect& visibleRect) {
    if (m_nGridLines == GGL_NONE)
        return;
    painter.setPen(QPen(toQColor(m_crGridLineColour), 0));
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    const int right = visibleRect.width();
    const int bottom = visibleRect.height();
    if (m_nGridLines == GGL_VERT || m_nGridLines == GGL_BOTH) {
        int x = fixedWidth - 1;
        for (int col = visible.minCol; col <= visible.maxCol && col < m_nCols; ++col) {
            if (GetColumnWidth(col) == 0)
                continue;
            x += GetColumnWidth(col);
            if (fixedHeight < bottom)
                painter.drawLine(x, fixedHeight, x, bottom - 1);
        }
    }
    if (m_nGridLines == GGL_HORZ || m_nGridLines == GGL_BOTH) {
        int y = fixedHeight - 1;
        for (int row = visible.minRow; row <= visible.maxRow && row < m_nRows; ++row) {
            if (GetRowHeight(row) == 0)
                continue;
            y += GetRowHeight(row);
            if (fixedWidth < right)
                painter.drawLine(fixedWidth, y, right - 1, y);
        }
    }
}

} // namespace grid
