#include "controls/grid/GridCellPassword.h"

#include "controls/grid/GridCellEdit.h"
#include "controls/grid/GridCtrl.h"

#include <QApplication>
#include <QStyle>

namespace grid {

QString CGridCellPassword::GetShownText() const {
    const QWidget* grid = GetGrid();
    const QStyle* style = grid ? grid->style() : QApplication::style();
    const auto mask = char16_t(style->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, grid));
    return QString(GetText().size(), QChar(mask));
}

unsigned CGridCellPassword::EditorStyle() const {
    return CGridCell::EditorStyle() | ES_PASSWORD;
}

} // namespace grid
