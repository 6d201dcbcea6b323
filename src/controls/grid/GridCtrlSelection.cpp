#include "controls/grid/GridCtrl.h"

#include "controls/grid/GridCtrlInternal.h"

#include <algorithm>

namespace grid {

using namespace platform;
using namespace internal;

namespace {

constexpr int kManyCells = 10000;

} // namespace

CCellID CGridCtrl::MoveFocusTo(int row, int col) {
    const CCellID previous = m_idCurrentCell;
    if (previous == CCellID(row, col))
        return previous;
    if (row != -1 && row < m_nFixedRows)
        row = m_nFixedRows;
    if (col != -1 && col < m_nFixedCols)
        col = m_nFixedCols;
    if (IsValid(previous)) {
        if (!m_bVirtualMode)
            SetCellState(previous.row, previous.col, GetCellState(previous.row, previous.col) & ~GCS_FOCUSED);
        InvalidateCell(previous.row, previous.col);
        if (m_bTrackFocusCell) {
            if (previous.col != col)
                InvalidateColumnHeaders(previous.col);
            if (previous.row != row)
                InvalidateRowHeaders(previous.row);
        }
    }
    m_idCurrentCell = CCellID(row, col);
    if (IsValid(m_idCurrentCell)) {
        if (!m_bVirtualMode)
            SetCellState(row, col, GetCellState(row, col) | GCS_FOCUSED);
        InvalidateCell(row, col);
        if (m_bTrackFocusCell) {
            if (previous.col != col)
                InvalidateColumnHeaders(col);
            if (previous.row != row)
                InvalidateRowHeaders(row);
        }
    } else {
        m_idCurrentCell = CCellID();
    }
    // The frame that marks the focus without a focused cell comes or goes.
    if (IsValid(previous) != IsValid(m_idCurrentCell))
        update();
    AnnounceFocusCell();
    return previous;
}

void CGridCtrl::SelectRange(int minRow, int minCol, int maxRow, int maxCol, bool, bool select) {
    if (!m_bEnableSelection)
        return;
    const WaitCursor waitCursor(int(m_SelectedCellMap.size()) > kManyCells ||
                                qint64(maxRow - minRow + 1) * (maxCol - minCol + 1) > kManyCells);
    const CCellRange visible = GetVisibleScrollRange();
    const auto raise = [](int value, int fixed) { return value >= 0 && value < fixed ? fixed : value; };
    minRow = raise(minRow, m_nFixedRows);
    maxRow = raise(maxRow, m_nFixedRows);
    minCol = raise(minCol, m_nFixedCols);
    maxCol = raise(maxCol, m_nFixedCols);
    const CCellRange range(minRow, minCol, maxRow, maxCol);

    if (select) {
        CellSet previous;
        previous.swap(m_SelectedCellMap);
        for (quint64 key : previous) {
            const CCellID cell = CellOfKey(key);
            if (!IsValid(cell))
                continue;
            if (!m_bVirtualMode)
                m_RowData[std::size_t(cell.row)][std::size_t(cell.col)]->SetState(
                    GetCellState(cell.row, cell.col) & ~GCS_SELECTED);
            if (!range.InRange(cell) && visible.InRange(cell))
                InvalidateCell(cell.row, cell.col);
        }
        if (!(m_bListMode && m_bSingleRowSelection)) {
            if (minRow < 0)
                return;
            if (minCol >= 0 && maxRow >= 0 && maxCol >= 0) {
                for (quint64 key : m_PrevSelectedCellMap) {
                    const CCellID cell = CellOfKey(key);
                    if (!IsValid(cell))
                        continue;
                    SetCellState(cell.row, cell.col, GetCellState(cell.row, cell.col) | GCS_SELECTED);
                    if (visible.InRange(cell))
                        InvalidateCell(cell.row, cell.col);
                }
            }
        }
    }
    if (minRow < 0 || minCol < 0 || maxRow < 0 || maxCol < 0 || maxRow >= m_nRows || maxCol >= m_nCols ||
        maxCol < minCol)
        return;
    if (select)
        m_SelectedCellMap.reserve(m_SelectedCellMap.size() + std::size_t(range.Count()));
    for (int row = minRow; row <= maxRow; ++row) {
        for (int col = minCol; col <= maxCol; ++col) {
            const unsigned state = GetCellState(row, col);
            if (bool(state & GCS_SELECTED) == select)
                continue;
            SetCellState(row, col, select ? state | GCS_SELECTED : state & ~GCS_SELECTED);
            if (visible.InRange(row, col))
                InvalidateCell(row, col);
        }
    }
}

void CGridCtrl::SelectAllCells() {
    if (m_bEnableSelection)
        SelectRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridCtrl::SelectColumns(CCellID cell, bool forceRepaint, bool select) {
    if (!m_bEnableSelection || !IsValid(cell) || cell.col < m_nFixedCols)
        return;
    if (m_bSingleColSelection)
        SelectRange(m_nFixedRows, cell.col, m_nRows - 1, cell.col, forceRepaint, select);
    else
        SelectRange(m_nFixedRows, std::min(m_SelectionStartCell.col, cell.col), m_nRows - 1,
                    std::max(m_SelectionStartCell.col, cell.col), forceRepaint, select);
}

void CGridCtrl::SelectRows(CCellID cell, bool forceRepaint, bool select) {
    if (!m_bEnableSelection || !IsValid(cell) || cell.row < m_nFixedRows)
        return;
    if (m_bListMode && m_bSingleRowSelection)
        SelectRange(cell.row, m_nFixedCols, cell.row, m_nCols - 1, forceRepaint, select);
    else
        SelectRange(std::min(m_SelectionStartCell.row, cell.row), m_nFixedCols,
                    std::max(m_SelectionStartCell.row, cell.row), m_nCols - 1, forceRepaint, select);
}

void CGridCtrl::SelectCells(CCellID cell, bool forceRepaint, bool select) {
    if (!m_bEnableSelection || !IsValid(cell) || IsCellFixed(cell.row, cell.col))
        return;
    SelectRange(std::min(m_SelectionStartCell.row, cell.row), std::min(m_SelectionStartCell.col, cell.col),
                std::max(m_SelectionStartCell.row, cell.row), std::max(m_SelectionStartCell.col, cell.col),
                forceRepaint, select);
}

void CGridCtrl::ExtendSelection(CCellID cell) {
    switch (m_MouseMode) {
    case MOUSE_SELECT_ALL:
        SelectAllCells();
        break;
    case MOUSE_SELECT_COL:
        SelectColumns(cell, false, true);
        break;
    case MOUSE_SELECT_ROW:
        SelectRows(cell, false, true);
        break;
    case MOUSE_SELECT_CELLS:
        SelectCells(cell, false, true);
        break;
    default:
        break;
    }
}

void CGridCtrl::ClearSelection() {
    m_PrevSelectedCellMap.clear();
    SelectRange(-1, -1, -1, -1, false, true);
    MoveFocusTo(-1, -1);
}

void CGridCtrl::SelectOnly(CCellID cell) {
    ClearSelection();
    m_SelectionStartCell = cell;
    if (m_bListMode)
        SelectRows(cell, true);
    else
        SelectCells(cell, true);
    MoveFocusTo(cell.row, cell.col);
}

CCellRange CGridCtrl::GetSelectionBounds() const {
    CCellRange bounds(m_nRows, m_nCols, -1, -1);
    for (quint64 key : m_SelectedCellMap) {
        const CCellID cell = CellOfKey(key);
        bounds.minRow = std::min(bounds.minRow, cell.row);
        bounds.minCol = std::min(bounds.minCol, cell.col);
        bounds.maxRow = std::max(bounds.maxRow, cell.row);
        bounds.maxCol = std::max(bounds.maxCol, cell.col);
    }
    return bounds;
}

bool CGridCtrl::IsCellSelected(int row, int col) const {
    return m_bEnableSelection && (GetCellState(row, col) & GCS_SELECTED);
}

void CGridCtrl::SelectAllNotified() {
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, LVN_ITEMCHANGING);
    SelectAllCells();
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, LVN_ITEMCHANGED);
}

} // namespace grid
