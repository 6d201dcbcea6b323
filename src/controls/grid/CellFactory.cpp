#include "controls/grid/CellFactory.h"

#include "controls/grid/GridCell.h"
#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCellNumeric.h"
#include "controls/grid/GridCellPassword.h"
#include "controls/grid/GridDefaultCell.h"

#include <QHash>

namespace grid {

namespace {

template <typename Cell> CellFactory::Creator creatorOf() {
    return [] { return std::make_unique<Cell>(); };
}

QHash<QString, CellFactory::Creator>& registry() {
    static QHash<QString, CellFactory::Creator> classes{
        {QStringLiteral("CGridCell"), creatorOf<CGridCell>()},
        {QStringLiteral("CGridDefaultCell"), creatorOf<CGridDefaultCell>()},
        {QStringLiteral("CGridCellCheck"), creatorOf<CGridCellCheck>()},
        {QStringLiteral("CGridCellNumeric"), creatorOf<CGridCellNumeric>()},
        {QStringLiteral("CGridCellPassword"), creatorOf<CGridCellPassword>()},
    };
    return classes;
}

} // namespace

void CellFactory::Register(const QString& className, Creator creator) {
    registry().insert(className, std::move(creator));
}

bool CellFactory::IsRegistered(const QString& className) {
    return registry().contains(className);
}

std::unique_ptr<CGridCellBase> CellFactory::Create(const QString& className) {
    const auto found = registry().constFind(className);
    return found == registry().constEnd() ? nullptr : (*found)();
}

} // namespace grid
