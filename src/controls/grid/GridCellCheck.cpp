#include "controls/grid/GridCellCheck.h"

#include "controls/grid/GridCtrl.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace grid {

int CGridCellCheck::BoxSize() {
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

// The cell is repainted through its position, not the rectangle of its last paint: after a
// scroll that rectangle belongs to another cell.
bool CGridCellCheck::SetCheck(bool checked) {
    const bool previous = m_bChecked;
    m_bChecked = checked;
    if (previous != checked && GetGrid() && m_nRow >= 0) {
        GetGrid()->InvalidateCell(m_nRow, m_nCol);
        GetGrid()->AnnounceCellCheck(m_nRow, m_nCol);
    }
    return previous;
}

void CGridCellCheck::SetCoords(int row, int col) {
    m_nRow = row;
    m_nCol = col;
}

QRect CGridCellCheck::CheckRect() const {
    const int size = BoxSize();
    const int margin = int(GetMargin());
    int top = m_Rect.y() + margin;
    if (m_Rect.height() < size + 2 * margin)
        top = m_Rect.y() + (m_Rect.height() - size) / 2;
    return {m_Rect.x() + margin, top, size, size};
}

bool CGridCellCheck::Draw(QPainter* pDC, int row, int col, QRect rect, bool eraseBackground) {
    const bool drawn = CGridCell::Draw(pDC, row, col, rect, eraseBackground);
    m_Rect = rect;
    if (drawn)
        DrawIndicator(*pDC);
    return drawn;
}

// The platform style's check box, at its own size in the middle of the box that takes the
// clicks. It shows the grid's enabled state but not the pointer or the focus, which belong to
// the grid as a whole.
void CGridCellCheck::DrawIndicator(QPainter& painter) const {
    const QWidget* grid = GetGrid();
    QStyleOptionButton option;
    option.initFrom(grid);
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
    option.state |= m_bChecked ? QStyle::State_On : QStyle::State_Off;
    const QRect box = CheckRect();
    const QSize indicator(
        std::min(grid->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, grid), box.width()),
        std::min(grid->style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, grid), box.height()));
    option.rect = QRect(QPoint(), indicator);
    option.rect.moveCenter(box.center());
    grid->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, grid);
}

bool CGridCellCheck::GetTextRect(QRect* rect) {
    CGridCell::GetTextRect(rect);
    const int right = rect->x() + rect->width();
    rect->setLeft(std::min(rect->left() + BoxSize() + 2 * int(GetMargin()), right));
    return true;
}

QSize CGridCellCheck::MeasureCell(QPainter* pDC) {
    QSize size = CGridCell::MeasureCell(pDC);
    const int box = BoxSize() + 2 * int(GetMargin());
    size.rwidth() += box;
    size.setHeight(std::max(size.height(), box));
    return size;
}

void CGridCellCheck::OnClick(QPoint pointInCell) {
    if (CheckRect().contains(pointInCell + m_Rect.topLeft()))
        SetCheck(!m_bChecked);
}

} // namespace grid
