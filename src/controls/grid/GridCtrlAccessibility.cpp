#include "controls/grid/GridCtrl.h"

#include "controls/grid/GridAccessible.h"

namespace grid {

QString CGridCtrl::GetHeaderText(Qt::Orientation orientation, int index) const {
    const bool column = orientation == Qt::Horizontal;
    QStringList texts;
    for (int header = 0; header < (column ? m_nFixedRows : m_nFixedCols); ++header) {
        const CGridCellBase* cell = column ? GetCell(header, index) : GetCell(index, header);
        if (cell && !cell->GetShownText().isEmpty())
            texts.append(cell->GetShownText());
    }
    return texts.join(QLatin1Char(' '));
}

// Assistive tools hear of what they cannot watch: the focus cell, a cell's text or check box,
// and rows or columns that came, went or moved. Nothing is sent while no tool listens, since
// an event makes the interfaces it names.

void CGridCtrl::AnnounceCell(int row, int col, QAccessibleEvent& event) {
    if (!QAccessible::isActive() || !IsValid(row, col))
        return;
    event.setChild(CGridAccessible::ChildIndex(*this, row, col));
    QAccessible::updateAccessibility(&event);
}

void CGridCtrl::AnnounceCellText(int row, int col) {
    QAccessibleEvent event(this, QAccessible::NameChanged);
    AnnounceCell(row, col, event);
}

void CGridCtrl::AnnounceCellCheck(int row, int col) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    AnnounceCell(row, col, event);
}

void CGridCtrl::AnnounceFocusCell() {
    if (!hasFocus())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    AnnounceCell(m_idCurrentCell.row, m_idCurrentCell.col, event);
}

void CGridCtrl::AnnounceLayout() {
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

} // namespace grid
