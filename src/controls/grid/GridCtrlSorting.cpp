#include "controls/grid/GridCtrl.h"

#include <algorithm>

namespace grid {

void CGridCtrl::SetSortIndicator(int col) {
    if (col == m_nSortColumn)
        return;
    const int previous = m_nSortColumn;
    m_nSortColumn = col;
    InvalidateCell(0, previous);
    InvalidateCell(0, col);
}

int CGridCtrl::DefaultCompare(const CGridCellBase* first, const CGridCellBase* second, LPARAM) {
    if (!first || !second)
        return 0;
    return QString::compare(first->GetText(), second->GetText(), Qt::CaseSensitive);
}

bool CGridCtrl::SortByColumn(int col, bool ascending, LPARAM data) {
    return SortRows(m_pfnCompare ? m_pfnCompare : DefaultCompare, col, ascending, data);
}

bool CGridCtrl::SortRows(CellCompareFunc compare, int col, bool ascending, LPARAM data) {
    if (col < 0 || col >= m_nCols || m_nRows <= m_nFixedRows || m_bVirtualMode)
        return false;
    FinishEditing();
    SetSortIndicator(col);
    m_bAscending = ascending;
    ClearSelection();
    QuickSort(compare, col, m_nFixedRows, m_nRows - 1, ascending, data);
    m_idTopLeftCell = CCellID(); // rows of other heights may now lie under the scroll position
    Refresh();
    AnnounceLayout();
    return true;
}

void CGridCtrl::QuickSort(CellCompareFunc compare, int col, int lo, int hi, bool ascending, LPARAM data) {
    // Recursing into the smaller part only and looping over the larger keeps the depth
    // logarithmic, so no order of rows can exhaust the stack.
    while (lo < hi) {
        const auto [i, j] = PartitionRows(compare, col, lo, hi, ascending, data);
        if (i - lo < hi - j) {
            if (lo < i)
                QuickSort(compare, col, lo, i, ascending, data);
            lo = j;
        } else {
            if (j < hi)
                QuickSort(compare, col, j, hi, ascending, data);
            hi = i;
        }
    }
}

// Splits rows lo..hi around the middle row's cell: rows lo..i come before it, j..hi after.
std::pair<int, int> CGridCtrl::PartitionRows(CellCompareFunc compare, int col, int lo, int hi, bool ascending,
                                             LPARAM data) {
    // The pivot is the cell object itself, wherever the swaps move its row.
    const CGridCellBase* pivot = GetCell((lo + hi) / 2, col);
    const int sign = ascending ? 1 : -1;
    const auto order = [&](int row) { return sign * compare(GetCell(row, col), pivot, data); };
    int i = hi;
    int j = lo;
    while (j <= i) {
        while (j < hi && order(j) < 0)
            ++j;
        while (i > lo && order(i) > 0)
            --i;
        if (i < j)
            break;
        if (compare(GetCell(j, col), GetCell(i, col), data) != 0)
            SwapRows(i, j);
        --i;
        ++j;
    }
    return {i, j};
}

void CGridCtrl::SwapRows(int first, int second) {
    std::swap(m_RowData[std::size_t(first)], m_RowData[std::size_t(second)]);
    for (int row : {first, second})
        for (int col = 0; col < m_nCols; ++col)
            m_RowData[std::size_t(row)][std::size_t(col)]->SetCoords(row, col);
    m_arRowHeights.swap(first, second);
}

} // namespace grid
