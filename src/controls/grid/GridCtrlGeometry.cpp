#include "controls/grid/GridCtrl.h"

#include "controls/grid/GridCtrlInternal.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace grid {

using namespace internal;

// ---- Geometry -----------------------------------------------------------------------------

int CGridCtrl::GetRowHeight(int row) const {
    return row >= 0 && row < m_arRowHeights.size() ? m_arRowHeights.at(row) : -1;
}

int CGridCtrl::GetColumnWidth(int col) const {
    return col >= 0 && col < m_arColWidths.size() ? m_arColWidths.at(col) : -1;
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_arRowHeights.size() || height < 0)
        return false;
    m_arRowHeights.set(row, height);
    UpdateScrollBars();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_arColWidths.size() || width < 0)
        return false;
    m_arColWidths.set(col, width);
    UpdateScrollBars();
    return true;
}

QRect CGridCtrl::GetClientRect() const {
    const int extent = scrollBarExtent(this);
    return {0, 0, width() - (IsScrollBarShown(Qt::Vertical) ? extent : 0),
            height() - (IsScrollBarShown(Qt::Horizontal) ? extent : 0)};
}

CCellID CGridCtrl::GetFirstScrollCell(bool force) const {
    if (!force && m_idTopLeftCell.IsValid())
        return m_idTopLeftCell;
    const auto first = [](const CumulativeSizes& sizes, int fixed, int count, int position) {
        const int reached = sizes.countReaching(sizes.sumBefore(fixed) + position);
        return std::min(std::max(reached, fixed), std::max(count - 1, fixed));
    };
    m_idTopLeftCell = {first(m_arRowHeights, m_nFixedRows, m_nRows, GetScrollPos(Qt::Vertical)),
                       first(m_arColWidths, m_nFixedCols, m_nCols, GetScrollPos(Qt::Horizontal))};
    return m_idTopLeftCell;
}

CCellRange CGridCtrl::GetVisibleScrollRange(QRect* rect) const {
    const QRect client = GetClientRect();
    const CCellID topLeft = GetFirstScrollCell();
    int bottom = GetHeaderHeight();
    int row = topLeft.row;
    for (; row < m_nRows; ++row) {
        bottom += GetRowHeight(row);
        if (bottom >= client.height()) {
            bottom = client.height();
            break;
        }
    }
    int right = GetHeaderWidth();
    int col = topLeft.col;
    for (; col < m_nCols; ++col) {
        right += GetColumnWidth(col);
        if (right >= client.width()) {
            right = client.width();
            break;
        }
    }
    if (rect)
        *rect = rectLTRB(0, 0, right, bottom);
    return {topLeft.row, topLeft.col, std::min(row, m_nRows - 1), std::min(col, m_nCols - 1)};
}

int CGridCtrl::ColumnLeft(int col) const {
    if (col < m_nFixedCols)
        return m_arColWidths.sumBefore(col);
    return GetHeaderWidth() + m_arColWidths.sumBefore(col) -
           m_arColWidths.sumBefore(GetFirstScrollCell().col);
}

int CGridCtrl::RowTop(int row) const {
    if (row < m_nFixedRows)
        return m_arRowHeights.sumBefore(row);
    return GetHeaderHeight() + m_arRowHeights.sumBefore(row) -
           m_arRowHeights.sumBefore(GetFirstScrollCell().row);
}

bool CGridCtrl::GetCellTopLeft(int row, int col, QPoint* point) const {
    if (!IsValid(row, col))
        return false;
    const CCellID topLeft = GetFirstScrollCell();
    if ((row >= m_nFixedRows && row < topLeft.row) || (col >= m_nFixedCols && col < topLeft.col))
        return false;
    *point = QPoint(ColumnLeft(col), RowTop(row));
    return true;
}

bool CGridCtrl::GetCellRect(int row, int col, QRect* rect) const {
    QPoint origin;
    if (!GetCellTopLeft(row, col, &origin))
        return false;
    *rect = QRect(origin.x(), origin.y(), GetColumnWidth(col) - 1, GetRowHeight(row) - 1);
    return true;
}

CCellID CGridCtrl::HitTestCell(const QPoint& point, bool allowFixed) const {
    const CCellID topLeft = GetFirstScrollCell();
    if (!allowFixed && !IsValid(topLeft))
        return {};
    const auto hit = [allowFixed](const CumulativeSizes& sizes, int fixed, int count, int first, int at) {
        const int fixedSize = sizes.sumBefore(fixed);
        if (at < 0 || (at < fixedSize && !allowFixed))
            return -1;
        const int offset = at < fixedSize ? at : at - fixedSize + sizes.sumBefore(first);
        const int index = sizes.countReaching(offset + 1) - 1;
        return index < count ? index : -1;
    };
    const CCellID cell(hit(m_arRowHeights, m_nFixedRows, m_nRows, topLeft.row, point.y()),
                       hit(m_arColWidths, m_nFixedCols, m_nCols, topLeft.col, point.x()));
    return cell.row < 0 || cell.col < 0 ? CCellID() : cell;
}

bool CGridCtrl::IsCellVisible(int row, int col) const {
    QPoint origin;
    if (!GetCellTopLeft(row, col, &origin))
        return false;
    const QRect client = GetClientRect();
    return origin.x() < client.width() && origin.y() < client.height();
}

void CGridCtrl::EnsureVisible(int row, int col) {
    if (!m_bAllowDraw || !IsValid(row, col))
        return;
    QWidget* focused = QApplication::focusWidget();
    const CCellRange visible = GetVisibleScrollRange();
    if (col >= m_nFixedCols) {
        for (int c = visible.maxCol + 1; c <= col; ++c)
            if (GetColumnWidth(c) > 0)
                OnHScroll(SB_LINERIGHT);
        for (int c = col; c < visible.minCol; ++c)
            if (GetColumnWidth(c) > 0)
                OnHScroll(SB_LINELEFT);
    }
    if (row >= m_nFixedRows) {
        for (int r = visible.maxRow + 1; r <= row; ++r)
            if (GetRowHeight(r) > 0)
                OnVScroll(SB_LINEDOWN);
        for (int r = row; r < visible.minRow; ++r)
            if (GetRowHeight(r) > 0)
                OnVScroll(SB_LINEUP);
    }
    // A partly shown cell at the far edge: one more line while that still helps.
    QRect rect;
    const QRect client = GetClientRect();
    while (GetCellRect(row, col, &rect) && rect.x() + rect.width() >= client.width() &&
           rect.x() > GetHeaderWidth() && IsScrollBarShown(Qt::Horizontal)) {
        const int before = GetScrollPos(Qt::Horizontal);
        OnHScroll(SB_LINERIGHT);
        if (GetScrollPos(Qt::Horizontal) == before)
            break;
    }
    while (GetCellRect(row, col, &rect) && rect.y() + rect.height() >= client.height() &&
           rect.y() > GetHeaderHeight() && IsScrollBarShown(Qt::Vertical)) {
        const int before = GetScrollPos(Qt::Vertical);
        OnVScroll(SB_LINEDOWN);
        if (GetScrollPos(Qt::Vertical) == before)
            break;
    }
    if (focused && focused != QApplication::focusWidget())
        focused->setFocus(Qt::OtherFocusReason);
}

bool CGridCtrl::AutoSizeColumn(int col, int style, bool resetScroll) {
    if (col < 0 || col >= m_nCols || GetColumnWidth(col) == 0)
        return false;
    if (style == 0)
        style = m_nAutoSizeColumnStyle;
    const int first = (style & GAS_FIXED) ? 0 : m_nFixedRows;
    const int last = (style & GAS_DATA) ? m_nRows - 1 : m_nFixedRows - 1;
    SendCacheHint({first, col, last, col});
    int width = 0;
    for (int row = first; row <= last; ++row)
        if (CGridCellBase* cell = GetCell(row, col))
            width = std::max(width, cell->MeasureCell().width());
    SendCacheHint({});
    m_arColWidths.set(col, width);
    if (resetScroll)
        UpdateScrollBars();
    return true;
}

bool CGridCtrl::AutoSizeRow(int row, bool resetScroll) {
    if (row < 0 || row >= m_nRows || GetRowHeight(row) == 0)
        return false;
    SendCacheHint({row, 0, row, m_nCols - 1});
    int height = 0;
    for (int col = 0; col < m_nCols; ++col)
        if (CGridCellBase* cell = GetCell(row, col))
            height = std::max(height, cell->MeasureCell().height());
    SendCacheHint({});
    m_arRowHeights.set(row, height);
    if (resetScroll)
        UpdateScrollBars();
    return true;
}

QSize CGridCtrl::sizeHint() const {
    const int extent = scrollBarExtent(this);
    const int cellWidth = m_cellDefault->GetWidth();
    const int cellHeight = m_cellDefault->GetHeight();
    return {std::clamp(GetTotalWidth(), cellWidth * 3, cellWidth * 8) + extent,
            std::clamp(GetTotalHeight(), cellHeight * 4, cellHeight * 16) + extent};
}

QSize CGridCtrl::minimumSizeHint() const {
    const int extent = scrollBarExtent(this);
    return {m_cellDefault->GetWidth() + extent, m_cellDefault->GetHeight() * 2 + extent};
}

// ---- Scrolling ----------------------------------------------------------------------------

// Whether the grid shows the bar, already true while the grid itself is not shown yet
// (isVisible() would answer no until then).
bool CGridCtrl::IsScrollBarShown(Qt::Orientation orientation) const {
    return !ScrollBar(orientation)->isHidden();
}

QScrollBar* CGridCtrl::ScrollBar(Qt::Orientation orientation) const {
    return orientation == Qt::Horizontal ? m_pHScroll : m_pVScroll;
}

int CGridCtrl::GetScrollPos(Qt::Orientation orientation) const {
    return ScrollBar(orientation)->value();
}

int CGridCtrl::GetScrollMax(Qt::Orientation orientation) const {
    return ScrollBar(orientation)->maximum();
}

void CGridCtrl::PlaceScrollBars(bool horizontal, bool vertical) {
    if (horizontal != IsScrollBarShown(Qt::Horizontal) || vertical != IsScrollBarShown(Qt::Vertical))
        Refresh();
    const int extent = scrollBarExtent(this);
    m_pHScroll->setGeometry(0, height() - extent, width() - (vertical ? extent : 0), extent);
    m_pVScroll->setGeometry(width() - extent, 0, extent, height() - (horizontal ? extent : 0));
    m_pHScroll->setVisible(horizontal);
    m_pVScroll->setVisible(vertical);
}

void CGridCtrl::UpdateScrollBars() {
    m_idTopLeftCell = CCellID();
    if (!m_bAllowDraw || width() <= 0 || height() <= 0)
        return;
    const int extent = scrollBarExtent(this);
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    bool horizontal = false;
    bool vertical = false;
    int horizontalMax = 0;
    int verticalMax = 0;
    if (width() > fixedWidth && height() > fixedHeight) {
        const int scrollHeight = ScrollableHeight();
        const int scrollWidth = ScrollableWidth();
        int availableWidth = width();
        int availableHeight = height();
        if (height() - fixedHeight < scrollHeight)
            availableWidth -= extent;
        if (availableWidth - fixedWidth < scrollWidth)
            availableHeight -= extent;
        const int pageHeight = availableHeight - fixedHeight;
        const int pageWidth = availableWidth - fixedWidth;
        horizontal = pageWidth < scrollWidth;
        vertical = pageHeight < scrollHeight;
        verticalMax = std::max(0, scrollHeight - pageHeight);
        horizontalMax = std::max(0, scrollWidth - pageWidth);
        m_pVScroll->setPageStep(std::max(pageHeight, 1));
        m_pHScroll->setPageStep(std::max(pageWidth, 1));
    }
    // Setting the range also brings a position beyond the new end back to it.
    m_pVScroll->setRange(0, verticalMax);
    m_pHScroll->setRange(0, horizontalMax);
    m_pVScroll->setSingleStep(std::max(m_cellDefault->GetHeight(), 1));
    m_pHScroll->setSingleStep(std::max(m_cellDefault->GetWidth(), 1));
    PlaceScrollBars(horizontal, vertical);
}

void CGridCtrl::ScrollTo(Qt::Orientation orientation, int position) {
    ScrollBar(orientation)->setValue(position);
    m_idTopLeftCell = CCellID();
}

void CGridCtrl::OnHScroll(int request, int trackPosition) {
    Scroll(Qt::Horizontal, request, trackPosition);
}

void CGridCtrl::OnVScroll(int request, int trackPosition) {
    Scroll(Qt::Vertical, request, trackPosition);
}

// One handler for both directions: columns, widths and the fixed width horizontally, rows,
// heights and the fixed height vertically.
void CGridCtrl::Scroll(Qt::Orientation orientation, int request, int trackPosition) {
    FinishEditing();
    const bool horizontal = orientation == Qt::Horizontal;
    const CumulativeSizes& sizes = horizontal ? m_arColWidths : m_arRowHeights;
    const int fixedCount = horizontal ? m_nFixedCols : m_nFixedRows;
    const int count = horizontal ? m_nCols : m_nRows;
    const int position = GetScrollPos(orientation);
    const int maximum = GetScrollMax(orientation);
    const QRect client = GetClientRect();
    const int page = horizontal ? client.width() - GetHeaderWidth() : client.height() - GetHeaderHeight();
    const CCellID topLeft = GetFirstScrollCell();
    const int first = horizontal ? topLeft.col : topLeft.row;
    // What moves: the part right of the fixed columns (below the fixed rows).
    const QRect area = horizontal ? rectLTRB(GetHeaderWidth(), 0, client.width(), client.height())
                                  : rectLTRB(0, GetHeaderHeight(), client.width(), client.height());

    switch (request) {
    case SB_LINEUP:
        if (position > 0 && first > fixedCount) {
            int index = first - 1;
            while (index > fixedCount && sizes.at(index) == 0)
                --index;
            ScrollTo(orientation, std::max(0, position - sizes.at(index)));
            update(area);
        }
        break;
    case SB_LINEDOWN:
        if (position < maximum && first < count) {
            int index = first;
            while (index < count - 1 && sizes.at(index) == 0)
                ++index;
            const int next = std::min(maximum, position + sizes.at(index));
            if (next != position) {
                ScrollTo(orientation, next);
                update(area);
            }
        }
        break;
    case SB_PAGEUP:
    case SB_PAGEDOWN: {
        const int next =
            request == SB_PAGEUP ? std::max(0, position - page) : std::min(maximum, position + page);
        if (next != position) {
            ScrollTo(orientation, next);
            update(area);
        }
        break;
    }
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        ScrollTo(orientation, std::clamp(trackPosition, 0, maximum));
        if (GetFirstScrollCell() != topLeft || position != GetScrollPos(orientation))
            update(area);
        break;
    }
    case SB_TOP:
    case SB_BOTTOM: {
        const int target = request == SB_TOP ? 0 : maximum;
        if (position != target) {
            ScrollTo(orientation, target);
            Refresh();
        }
        break;
    }
    default:
        break;
    }
}

// ---- Resizing and the wheel ---------------------------------------------------------------

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FinishEditing();
    UpdateScrollBars();
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    // Touchpads and fine wheels send fractions of a notch; they add up until a whole line
    // (or page) is reached instead of being lost.
    const bool pages = m_nRowsPerWheelNotch == -1;
    m_nWheelRemainder += delta * (pages ? 1 : m_nRowsPerWheelNotch);
    const int steps = m_nWheelRemainder / 120;
    m_nWheelRemainder -= steps * 120;
    for (int i = 0; i < std::abs(steps); ++i) {
        if (pages)
            OnVScroll(steps > 0 ? SB_PAGEUP : SB_PAGEDOWN);
        else
            OnVScroll(steps > 0 ? SB_LINEUP : SB_LINEDOWN);
    }
    event->accept();
}

} // namespace grid
