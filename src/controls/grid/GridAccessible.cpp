#include "controls/grid/GridAccessible.h"

#include "controls/grid/GridCellAccessible.h"
#include "controls/grid/GridCtrl.h"

namespace grid {

namespace {

quint64 cellKey(int row, int col) {
    return (quint64(quint32(row)) << 32) | quint32(col);
}

} // namespace

CGridAccessible::CGridAccessible(CGridCtrl* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

CGridAccessible::~CGridAccessible() {
    ForgetCells();
}

int CGridAccessible::ChildIndex(const CGridCtrl& grid, int row, int col) {
    return row * grid.GetColumnCount() + col;
}

CGridCtrl* CGridAccessible::Grid() const {
    return static_cast<CGridCtrl*>(widget());
}

int CGridAccessible::CellCount() const {
    return Grid()->GetRowCount() * Grid()->GetColumnCount();
}

QAccessibleInterface* CGridAccessible::CellInterface(int row, int col) const {
    if (!Grid()->IsValid(row, col))
        return nullptr;
    const quint64 key = cellKey(row, col);
    if (const auto found = cells.constFind(key); found != cells.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* cell = new CGridCellAccessible(Grid(), row, col);
    cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

void CGridAccessible::ForgetCells() {
    for (const QAccessible::Id id : std::as_const(cells))
        QAccessible::deleteAccessibleInterface(id);
    cells.clear();
}

void* CGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int CGridAccessible::childCount() const {
    return CellCount() + QAccessibleWidget::childCount();
}

QAccessibleInterface* CGridAccessible::child(int index) const {
    const int columns = Grid()->GetColumnCount();
    if (index < 0)
        return nullptr;
    if (index < CellCount())
        return CellInterface(index / columns, index % columns);
    return QAccessibleWidget::child(index - CellCount());
}

int CGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (const auto* cell = dynamic_cast<const CGridCellAccessible*>(child))
        return cell->isValid() && cell->Grid() == Grid() ? ChildIndex(*Grid(), cell->Row(), cell->Col()) : -1;
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : CellCount() + widgetIndex;
}

// A shown window (an editor, a scroll bar) lies over the cells; the base class would ask
// every cell for its rectangle.
QAccessibleInterface* CGridAccessible::childAt(int x, int y) const {
    const QPoint point = Grid()->mapFromGlobal(QPoint(x, y));
    if (!Grid()->rect().contains(point))
        return nullptr;
    for (QWidget* window : Grid()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (window->isVisible() && window->geometry().contains(point))
            return QAccessible::queryAccessibleInterface(window);
    }
    const CCellID cell = Grid()->HitTestCell(point, true);
    return cell.IsValid() ? CellInterface(cell.row, cell.col) : nullptr;
}

QAccessibleInterface* CGridAccessible::focusChild() const {
    const CCellID focus = Grid()->GetFocusCell();
    if (Grid()->hasFocus() && Grid()->IsValid(focus))
        return CellInterface(focus.row, focus.col);
    return QAccessibleWidget::focusChild();
}

QAccessibleInterface* CGridAccessible::cellAt(int row, int column) const {
    if (row < 0 || column < 0)
        return nullptr;
    return CellInterface(row + Grid()->GetFixedRowCount(), column + Grid()->GetFixedColumnCount());
}

int CGridAccessible::rowCount() const {
    return Grid()->GetRowCount() - Grid()->GetFixedRowCount();
}

int CGridAccessible::columnCount() const {
    return Grid()->GetColumnCount() - Grid()->GetFixedColumnCount();
}

int CGridAccessible::selectedCellCount() const {
    return int(selectedCells().size());
}

QList<QAccessibleInterface*> CGridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> selected;
    for (int row = 0; row < rowCount(); ++row)
        for (int column = 0; column < columnCount(); ++column)
            if (Grid()->IsCellSelected(row + Grid()->GetFixedRowCount(),
                                       column + Grid()->GetFixedColumnCount()))
                selected.append(cellAt(row, column));
    return selected;
}

QString CGridAccessible::columnDescription(int column) const {
    return column < 0 ? QString()
                      : Grid()->GetHeaderText(Qt::Horizontal, column + Grid()->GetFixedColumnCount());
}

QString CGridAccessible::rowDescription(int row) const {
    return row < 0 ? QString() : Grid()->GetHeaderText(Qt::Vertical, row + Grid()->GetFixedRowCount());
}

bool CGridAccessible::IsLineSelected(int index, bool column) const {
    const int length = column ? rowCount() : columnCount();
    if (index < 0 || index >= (column ? columnCount() : rowCount()) || length == 0)
        return false;
    for (int along = 0; along < length; ++along) {
        const int row = (column ? along : index) + Grid()->GetFixedRowCount();
        const int col = (column ? index : along) + Grid()->GetFixedColumnCount();
        if (!Grid()->IsCellSelected(row, col))
            return false;
    }
    return true;
}

bool CGridAccessible::isColumnSelected(int column) const {
    return IsLineSelected(column, true);
}

bool CGridAccessible::isRowSelected(int row) const {
    return IsLineSelected(row, false);
}

QList<int> CGridAccessible::selectedColumns() const {
    QList<int> selected;
    for (int column = 0; column < columnCount(); ++column)
        if (isColumnSelected(column))
            selected.append(column);
    return selected;
}

QList<int> CGridAccessible::selectedRows() const {
    QList<int> selected;
    for (int row = 0; row < rowCount(); ++row)
        if (isRowSelected(row))
            selected.append(row);
    return selected;
}

// Rows and columns renumber on any change, so no kept cell names the cell it named before.
void CGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    ForgetCells();
}

} // namespace grid
