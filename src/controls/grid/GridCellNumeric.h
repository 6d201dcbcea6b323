#pragma once

#include "controls/grid/GridCell.h"

namespace grid {

// A cell whose in-place editor accepts digits only.
class CGridCellNumeric : public CGridCell {
public:
    QString GetRuntimeClassName() const override { return QStringLiteral("CGridCellNumeric"); }

protected:
    unsigned EditorStyle() const override;
};

} // namespace grid
