#include "controls/grid/GridCellAccessible.h"

#include "controls/grid/GridAccessible.h"
#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCtrl.h"

namespace grid {

CGridCellAccessible::CGridCellAccessible(CGridCtrl* grid, int row, int col)
    : AccessibleLeaf(grid), grid(grid), row(row), col(col) {}

bool CGridCellAccessible::isValid() const {
    return grid && grid->IsValid(row, col);
}

CGridCellBase* CGridCellAccessible::Cell() const {
    return isValid() ? grid->GetCell(row, col) : nullptr;
}

bool CGridCellAccessible::IsHeader() const {
    return grid->IsCellFixed(row, col);
}

std::optional<bool> CGridCellAccessible::Check() const {
    if (const auto* check = dynamic_cast<const CGridCellCheck*>(Cell()))
        return check->GetCheck();
    return std::nullopt;
}

QString CGridCellAccessible::text(QAccessible::Text type) const {
    const CGridCellBase* cell = Cell();
    if (!cell || type != QAccessible::Name)
        return {};
    return cell->GetShownText();
}

QRect CGridCellAccessible::rect() const {
    QRect area;
    if (!isValid() || !grid->GetCellRect(row, col, &area))
        return {};
    return QRect(grid->mapToGlobal(area.topLeft()), area.size());
}

// A check-box cell is a check box: not every bridge tells tools that a cell is checkable.
QAccessible::Role CGridCellAccessible::role() const {
    if (!isValid())
        return QAccessible::Cell;
    if (IsHeader())
        return row < grid->GetFixedRowCount() ? QAccessible::ColumnHeader : QAccessible::RowHeader;
    return Check() ? QAccessible::CheckBox : QAccessible::Cell;
}

QAccessible::State CGridCellAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.invisible = !grid->isVisible();
    state.offscreen = !grid->IsCellVisible(row, col);
    state.disabled = !grid->isEnabled();
    if (IsHeader())
        return state;
    state.focusable = true;
    state.focused = grid->hasFocus() && grid->GetFocusCell() == CCellID(row, col);
    state.selectable = grid->IsSelectable();
    state.selected = grid->IsCellSelected(row, col);
    state.editable = grid->IsCellEditable(row, col);
    state.readOnly = !state.editable;
    if (const std::optional<bool> checked = Check()) {
        state.checkable = true;
        state.checked = *checked;
    }
    return state;
}

void* CGridCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface && isValid() && !IsHeader())
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool CGridCellAccessible::isSelected() const {
    return isValid() && grid->IsCellSelected(row, col);
}

QList<QAccessibleInterface*> CGridCellAccessible::columnHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    const auto* table = static_cast<const CGridAccessible*>(parent());
    for (int header = 0; isValid() && table && header < grid->GetFixedRowCount(); ++header)
        headers.append(table->CellInterface(header, col));
    return headers;
}

QList<QAccessibleInterface*> CGridCellAccessible::rowHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    const auto* table = static_cast<const CGridAccessible*>(parent());
    for (int header = 0; isValid() && table && header < grid->GetFixedColumnCount(); ++header)
        headers.append(table->CellInterface(row, header));
    return headers;
}

int CGridCellAccessible::columnIndex() const {
    return isValid() ? col - grid->GetFixedColumnCount() : -1;
}

int CGridCellAccessible::rowIndex() const {
    return isValid() ? row - grid->GetFixedRowCount() : -1;
}

QStringList CGridCellAccessible::actionNames() const {
    if (!isValid() || IsHeader() || !grid->isEnabled())
        return {};
    if (Check())
        return {toggleAction(), setFocusAction()};
    return {setFocusAction()};
}

void CGridCellAccessible::doAction(const QString& actionName) {
    if (!actionNames().contains(actionName))
        return;
    if (actionName == toggleAction()) {
        auto* check = static_cast<CGridCellCheck*>(Cell());
        check->SetCheck(!check->GetCheck());
        return;
    }
    grid->EnsureVisible(row, col);
    grid->SetFocusCell(row, col);
    grid->setFocus(Qt::OtherFocusReason);
}

} // namespace grid
