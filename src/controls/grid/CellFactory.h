#pragma once

#include "controls/grid/GridCellBase.h"

#include <functional>
#include <memory>

namespace grid {

// Creates cells by class name, so a grid can be told which class its new cells have and can
// replace a cell by one of another class. The grid's own cell classes are known from the
// start; an application registers its own before using them.
class CellFactory {
public:
    using Creator = std::function<std::unique_ptr<CGridCellBase>()>;

    static void Register(const QString& className, Creator creator);
    static bool IsRegistered(const QString& className);
    // Null for a class nobody registered.
    static std::unique_ptr<CGridCellBase> Create(const QString& className);
};

} // namespace grid
