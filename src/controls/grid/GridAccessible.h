#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace grid {

class CGridCtrl;

// The grid as assistive tools see it: a table whose children are its cells row by row (the
// fixed rows first, as column headers), then its child windows (the scroll bars, an open cell
// editor). The table's own rows and columns are the scrolling ones; the fixed cells head them.
// Cell interfaces are made on demand and kept until the grid's rows or columns change.
class CGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CGridAccessible(CGridCtrl* grid);
    ~CGridAccessible() override;

    // The child index of a cell, as events about the cell name it.
    static int ChildIndex(const CGridCtrl& grid, int row, int col);

    CGridCtrl* Grid() const;
    // The interface of a cell by its grid position; null outside the grid.
    QAccessibleInterface* CellInterface(int row, int col) const;

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    // The selection follows the user's keys and clicks alone.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    int CellCount() const;
    bool IsLineSelected(int index, bool column) const;
    void ForgetCells();

    mutable QHash<quint64, QAccessible::Id> cells;
};

} // namespace grid
