#include "controls/grid/GridCellNumeric.h"

#include "controls/grid/GridCellEdit.h"

namespace grid {

unsigned CGridCellNumeric::EditorStyle() const {
    return ES_NUMBER;
}

} // namespace grid
