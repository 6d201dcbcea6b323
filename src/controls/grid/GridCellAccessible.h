#pragma once

#include "platform/AccessibleLeaf.h"

#include <QPointer>

#include <optional>

namespace grid {

class CGridCellBase;
class CGridCtrl;

// One grid cell for assistive tools, by its grid position: a column or row header for a fixed
// cell, else a table cell named by the text it shows. A check-box cell is a checkable check
// box that toggles as a click on its box does.
class CGridCellAccessible : public platform::AccessibleLeaf,
                            public QAccessibleTableCellInterface,
                            public QAccessibleActionInterface {
public:
    CGridCellAccessible(CGridCtrl* grid, int row, int col);

    CGridCtrl* Grid() const { return grid; }
    int Row() const { return row; }
    int Col() const { return col; }

    bool isValid() const override;
    QString text(QAccessible::Text type) const override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    CGridCellBase* Cell() const;
    bool IsHeader() const;
    // The check-box cell's state; nothing for another kind of cell.
    std::optional<bool> Check() const;

    QPointer<CGridCtrl> grid;
    int row;
    int col;
};

} // namespace grid
