#include "controls/grid/GridCtrl.h"

#include "controls/grid/GridCtrlInternal.h"

#include <QMouseEvent>

#include <algorithm>

namespace grid {

using namespace platform;
using namespace internal;

// ---- Header clicks ------------------------------------------------------------------------

void CGridCtrl::OnHeaderRowClick(CCellID cell) {
    if (!IsValid(cell))
        return;
    if (m_bSortOnClick) {
        WaitCursor waitCursor;
        SortByColumn(cell.col, cell.col == m_nSortColumn ? !m_bAscending : true);
    }
    if (m_bFixedRowSelection) {
        m_MouseMode = cell.col < m_nFixedCols ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
        ExtendSelection(cell);
    }
}

void CGridCtrl::OnHeaderColumnClick(CCellID cell) {
    if (!m_bFixedColumnSelection)
        return;
    m_MouseMode = cell.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
    ExtendSelection(cell);
}

// ---- Mouse --------------------------------------------------------------------------------

QPoint CGridCtrl::PointInCell(const CCellID& cell, const QPoint& point) const {
    QPoint origin;
    if (!GetCellTopLeft(cell.row, cell.col, &origin))
        return point;
    return point - origin;
}

bool CGridCtrl::PointInCellText(const CCellID& cell, const QPoint& point) {
    QRect rect;
    CGridCellBase* gridCell = GetCell(cell.row, cell.col);
    if (!gridCell || !GetCellRect(cell.row, cell.col, &rect))
        return false;
    gridCell->GetTextRect(&rect);
    return rect.adjusted(0, 0, 1, 1).contains(point);
}

// Over a divider: within the header, near the left (top) edge of any but the first column
// (row) or near the right (bottom) edge of any.
bool CGridCtrl::MouseOverResizeArea(Qt::Orientation orientation, const QPoint& point) const {
    const bool horizontal = orientation == Qt::Horizontal;
    if ((horizontal ? point.y() : point.x()) >= (horizontal ? GetHeaderHeight() : GetHeaderWidth()))
        return false;
    const CCellID cell = HitTestCell(point, true);
    if (!IsValid(cell))
        return false;
    const int index = horizontal ? cell.col : cell.row;
    const int start = horizontal ? ColumnLeft(index) : RowTop(index);
    const int size = horizontal ? GetColumnWidth(index) : GetRowHeight(index);
    const int at = horizontal ? point.x() : point.y();
    return (at - start < m_nResizeCaptureRange && index != 0) || (start + size - at < m_nResizeCaptureRange);
}

// The column (row) whose right (bottom) divider lies under point: the one before the cell
// when the point is at the cell's leading edge, past hidden ones unless they may be dragged
// open; the last one when it is narrower than the capture range and the point is at the end.
int CGridCtrl::IndexToSize(Qt::Orientation orientation, const QPoint& point, int index) const {
    const bool horizontal = orientation == Qt::Horizontal;
    const CumulativeSizes& sizes = horizontal ? m_arColWidths : m_arRowHeights;
    const int count = sizes.size();
    const int at = horizontal ? point.x() : point.y();
    QRect visibleRect;
    GetVisibleScrollRange(&visibleRect);
    const int end = horizontal ? visibleRect.width() : visibleRect.height();
    if (count > 0 && sizes.at(count - 1) < m_nResizeCaptureRange &&
        std::abs(at - end) < m_nResizeCaptureRange)
        return count - 1;
    if (at - (horizontal ? ColumnLeft(index) : RowTop(index)) >= m_nResizeCaptureRange)
        return index;
    const bool unhide = horizontal ? m_bUnhideColumns : m_bUnhideRows;
    --index;
    while (!unhide && index >= 0 && sizes.at(index) == 0)
        --index;
    return index;
}

void CGridCtrl::StartSizing(const QPoint& point, Qt::Orientation orientation) {
    const QRect client = GetClientRect();
    if (orientation == Qt::Horizontal) {
        const int col = IndexToSize(Qt::Horizontal, point, m_LeftClickDownCell.col);
        if (col < 0) {
            m_MouseMode = MOUSE_NOTHING;
            return;
        }
        m_MouseMode = MOUSE_SIZING_COL;
        m_LeftClickDownCell.col = col;
        m_SizingBand = QRect(point.x(), 0, 2, client.height());
    } else {
        const int row = IndexToSize(Qt::Vertical, point, m_LeftClickDownCell.row);
        if (row < 0) {
            m_MouseMode = MOUSE_NOTHING;
            return;
        }
        m_MouseMode = MOUSE_SIZING_ROW;
        m_LeftClickDownCell.row = row;
        m_SizingBand = QRect(0, point.y(), client.width(), 2);
    }
    update();
}

void CGridCtrl::FinishSizing(const QPoint& point, Qt::Orientation orientation) {
    m_SizingBand = QRect();
    update();
    if (point == m_LeftClickDownPoint || point == QPoint(0, 0))
        return;
    // The pointer cannot be confined to the window while it drags, so the size is capped
    // instead: a column (row) never grows beyond the part of the view that scrolls.
    const QRect client = GetClientRect();
    if (orientation == Qt::Horizontal) {
        const int col = m_LeftClickDownCell.col;
        const int widest = std::max(client.width() - GetHeaderWidth(), 1);
        SetColumnWidth(col, std::clamp(point.x() - ColumnLeft(col), m_bAllowColHide ? 0 : 1, widest));
    } else {
        const int row = m_LeftClickDownCell.row;
        const int tallest = std::max(client.height() - GetHeaderHeight(), 1);
        SetRowHeight(row, std::clamp(point.y() - RowTop(row), m_bAllowRowHide ? 0 : 1, tallest));
    }
    Refresh();
}

void CGridCtrl::OnLButtonDown(const QPoint& point, Qt::KeyboardModifiers modifiers) {
    setFocus(Qt::MouseFocusReason);
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = HitTestCell(point, true);
    if (!IsValid(m_LeftClickDownCell))
        return;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (!shift)
        m_SelectionStartCell = m_LeftClickDownCell;
    else if (!IsValid(m_SelectionStartCell))
        m_SelectionStartCell = m_idCurrentCell;

    FinishEditing();
    const CCellID cell = m_LeftClickDownCell;
    if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
        gridCell->OnClickDown(PointInCell(cell, point));

    if (cell == m_idCurrentCell && !ctrl && PointInCellText(cell, point) &&
        IsCellEditable(cell.row, cell.col)) {
        m_MouseMode = MOUSE_PREPARE_EDIT;
        return;
    }
    if (IsCellSelected(cell.row, cell.col)) {
        MoveFocusTo(cell.row, cell.col);
        if (ctrl) {
            if (m_bListMode)
                SelectRows(cell, true, false);
            else
                SelectCells(cell, true, false);
            return;
        }
    } else if (m_MouseMode != MOUSE_OVER_COL_DIVIDE && m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
        if (IsCellFixed(cell.row, cell.col))
            MoveFocusTo(-1, -1);
        else
            MoveFocusTo(cell.row, cell.col);
    }

    if (m_MouseMode == MOUSE_NOTHING) {
        if (m_bAllowColumnResize && MouseOverResizeArea(Qt::Horizontal, point))
            m_MouseMode = MOUSE_OVER_COL_DIVIDE;
        else if (m_bAllowRowResize && MouseOverResizeArea(Qt::Vertical, point))
            m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
        UpdateCursor();
    }
    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
        StartSizing(point, Qt::Horizontal);
    } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
        StartSizing(point, Qt::Vertical);
    } else {
        StartSelecting(cell, ctrl);
    }
    m_LastMousePoint = point;
}

// A press that selects: headers select columns or rows, other cells start a drag selection
// that scrolls on its own past the edges. With Ctrl the earlier selection is kept.
void CGridCtrl::StartSelecting(const CCellID& cell, bool keepSelection) {
    SendMessageToParent(cell.row, cell.col, LVN_ITEMCHANGING);
    m_PrevSelectedCellMap.clear();
    if (keepSelection)
        m_PrevSelectedCellMap = m_SelectedCellMap;
    if (cell.row < m_nFixedRows) {
        OnHeaderRowClick(cell);
    } else if (cell.col < m_nFixedCols) {
        OnHeaderColumnClick(cell);
    } else {
        m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        ExtendSelection(cell);
        m_AutoScrollTimer.start();
    }
}

void CGridCtrl::OnMouseMove(const QPoint& point, Qt::MouseButtons buttons) {
    if (buttons.testFlag(Qt::LeftButton) && m_MouseMode != MOUSE_NOTHING) {
        if (IsValid(m_LeftClickDownCell)) {
            const QRect client = GetClientRect();
            switch (m_MouseMode) {
            case MOUSE_SELECT_COL:
            case MOUSE_SELECT_ROW:
            case MOUSE_SELECT_CELLS: {
                const CCellID cell = HitTestCell(point, true);
                if (!IsValid(cell) || cell == m_idCurrentCell || !SelectsAlong(cell))
                    break;
                ExtendSelection(cell);
                MoveFocusTo(cell.row, cell.col);
                break;
            }
            case MOUSE_SIZING_ROW:
                update(m_SizingBand);
                m_SizingBand = QRect(0, std::clamp(point.y(), 0, client.height() - 2), client.width(), 2);
                update(m_SizingBand);
                break;
            case MOUSE_SIZING_COL:
                update(m_SizingBand);
                m_SizingBand = QRect(std::clamp(point.x(), 0, client.width() - 2), 0, 2, client.height());
                update(m_SizingBand);
                break;
            default:
                break;
            }
        }
        m_LastMousePoint = point;
        return;
    }
    m_LastMousePoint = point;
    TrackHover(point);
}

// Whether a drag selection in the current mode reaches cell: a header across the direction of
// the selection does not (rows are not selected by dragging over the header row), and the
// auto-scroll takes over there. The focus and the selection's end move together or not at all.
bool CGridCtrl::SelectsAlong(const CCellID& cell) const {
    switch (m_MouseMode) {
    case MOUSE_SELECT_COL:
        return cell.col >= m_nFixedCols;
    case MOUSE_SELECT_ROW:
        return cell.row >= m_nFixedRows;
    default:
        return !IsCellFixed(cell.row, cell.col);
    }
}

// Without a button down the pointer's place decides the mode: over a divider or over a cell.
// The cursor follows at every move, as each cell may want its own.
void CGridCtrl::TrackHover(const QPoint& point) {
    if (m_bAllowColumnResize && MouseOverResizeArea(Qt::Horizontal, point))
        m_MouseMode = MOUSE_OVER_COL_DIVIDE;
    else if (m_bAllowRowResize && MouseOverResizeArea(Qt::Vertical, point))
        m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
    else
        m_MouseMode = MOUSE_NOTHING;
    UpdateCursor();
    if (m_MouseMode == MOUSE_NOTHING && (!m_bVirtualMode || m_bHoverInVirtualMode)) {
        const CCellID cell = HitTestCell(point, true);
        if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
            gridCell->OnMouseOver();
    }
}

void CGridCtrl::OnLButtonUp(const QPoint& point) {
    m_AutoScrollTimer.stop();
    switch (m_MouseMode) {
    case MOUSE_PREPARE_EDIT:
        m_MouseMode = MOUSE_NOTHING;
        BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, PointInCell(m_idCurrentCell, point),
                      VK_LBUTTON);
        break;
    case MOUSE_SIZING_COL:
        FinishSizing(point, Qt::Horizontal);
        break;
    case MOUSE_SIZING_ROW:
        FinishSizing(point, Qt::Vertical);
        break;
    default:
        SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, LVN_ITEMCHANGED);
        if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
            cell->OnClick(PointInCell(m_idCurrentCell, point));
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
        break;
    }
    // No move need follow a release, so the pointer's place decides the mode now: a double
    // click on a divider must find it over the divider.
    m_MouseMode = MOUSE_NOTHING;
    m_LastMousePoint = point;
    TrackHover(point);
    if (IsValid(m_LeftClickDownCell))
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT command(m_nID); }, Qt::QueuedConnection);
}

void CGridCtrl::OnLButtonDblClk(const QPoint& point) {
    const CCellID cell = HitTestCell(point, true);
    if (!IsValid(cell))
        return;
    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
        const int col = IndexToSize(Qt::Horizontal, point, cell.col);
        if (col >= 0 && AutoSizeColumn(col))
            Refresh();
    } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
        const int row = IndexToSize(Qt::Vertical, point, cell.row);
        if (row >= 0 && AutoSizeRow(row))
            Refresh();
    } else if (m_MouseMode == MOUSE_NOTHING) {
        const QPoint pointInCell = PointInCell(cell, point);
        if (!IsCellFixed(cell.row, cell.col) && IsValid(m_LeftClickDownCell) && PointInCellText(cell, point))
            BeginCellEdit(cell.row, cell.col, pointInCell, VK_LBUTTON);
        if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
            gridCell->OnDblClick(pointInCell);
        SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
    }
}

// A context menu opens on the press, before the release is seen, and its commands act on the
// selection: a press on a cell outside the selection selects that cell's row (or the cell)
// first, as file managers do; inside the selection, the selection stays.
void CGridCtrl::OnRButtonDown(const QPoint& point) {
    const CCellID hit = HitTestCell(point);
    const CCellID cell(hit.row, std::max(hit.col, m_nFixedCols));
    if (!IsValid(hit) || !IsValid(cell) || hit.row < m_nFixedRows || IsCellSelected(cell.row, cell.col))
        return;
    SelectOnly(cell);
}

void CGridCtrl::OnRButtonUp(const QPoint& point) {
    FinishEditing();
    const CCellID hit = HitTestCell(point, true);
    const CCellID cell(std::max(hit.row, m_nFixedRows), std::max(hit.col, m_nFixedCols));
    if (!IsValid(hit) || !IsValid(cell)) {
        SendMessageToParent(-1, -1, NM_RCLICK);
        return;
    }
    MoveFocusTo(-1, -1);
    MoveFocusTo(cell.row, cell.col);
    if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
        gridCell->OnRClick(PointInCell(cell, point));
    SendMessageToParent(cell.row, cell.col, NM_RCLICK);
}

// While a drag selection runs past an edge, the grid moves the focus a line per tick as the
// arrow keys do (which scrolls it into view) and extends the selection to it.
void CGridCtrl::OnAutoScrollTimer() {
    if (!IsValid(m_idCurrentCell))
        return;
    const QRect client = GetClientRect();
    const QPoint point = m_LastMousePoint;
    const CCellID before = m_idCurrentCell;
    if (point.y() >= client.height())
        OnKeyDown(VK_DOWN, Qt::NoModifier);
    else if (point.y() < GetHeaderHeight())
        OnKeyDown(VK_UP, Qt::NoModifier);
    if (point.x() >= client.width())
        OnKeyDown(VK_RIGHT, Qt::NoModifier);
    else if (point.x() < GetHeaderWidth())
        OnKeyDown(VK_LEFT, Qt::NoModifier);
    if (m_idCurrentCell != before)
        ExtendSelection(m_idCurrentCell);
}

void CGridCtrl::UpdateCursor() {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (m_MouseMode) {
    case MOUSE_OVER_ROW_DIVIDE:
    case MOUSE_SIZING_ROW:
        shape = Qt::SplitVCursor;
        break;
    case MOUSE_OVER_COL_DIVIDE:
    case MOUSE_SIZING_COL:
        shape = Qt::SplitHCursor;
        break;
    default: {
        const CCellID cell = HitTestCell(m_LastMousePoint, true);
        if (CGridCellBase* gridCell = m_bVirtualMode ? nullptr : GetCell(cell.row, cell.col))
            shape = gridCell->OnSetCursor();
    }
    }
    if (cursor().shape() != shape)
        setCursor(shape);
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint(), event->modifiers());
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(event->position().toPoint());
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(event->position().toPoint(), event->buttons());
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event->position().toPoint());
    else if (event->button() == Qt::RightButton)
        OnRButtonUp(event->position().toPoint());
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(event->position().toPoint());
}

} // namespace grid
