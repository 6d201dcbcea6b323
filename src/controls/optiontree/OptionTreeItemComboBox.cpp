#include "controls/optiontree/OptionTreeItemComboBox.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeComboBox.h"
#include "controls/optiontree/OptionTreeList.h"

#include <QFontMetrics>

#include <algorithm>

COptionTreeItemComboBox::COptionTreeItemComboBox() {
    SetKind(OT_KIND_COMBOBOX);
}

bool COptionTreeItemComboBox::CreateComboWindow() {
    if (!GetTree() || GetControl())
        return false;
    auto* combo = new COptionTreeComboBox(GetTree()->GetListWindow());
    AttachControl(combo);
    ApplyDropDownHeight();
    QObject::connect(combo, &COptionTreeComboBox::focusEntered, combo, [this] { SetHasFocus(true); });
    QObject::connect(combo, &COptionTreeComboBox::focusLeft, combo,
                     [this](QWidget* newFocus) { ControlFocusLeft(newFocus); });
    return true;
}

void COptionTreeItemComboBox::SetDropDownHeight(int pixels) {
    if (pixels == dropDownHeight)
        return;
    dropDownHeight = pixels;
    ApplyDropDownHeight();
}

void COptionTreeItemComboBox::ApplyDropDownHeight() {
    COptionTreeComboBox* combo = GetComboWindow();
    if (!combo)
        return;
    const int entryHeight = std::max(1, QFontMetrics(combo->font()).height() + 4);
    combo->setMaxVisibleItems(std::max(1, dropDownHeight / entryHeight));
}

void COptionTreeItemComboBox::RestoreValueText(const QString& text) {
    if (COptionTreeComboBox* combo = GetComboWindow())
        combo->setCurrentIndex(combo->findText(text));
}

COptionTreeComboBox* COptionTreeItemComboBox::GetComboWindow() const {
    return static_cast<COptionTreeComboBox*>(GetControl());
}

int COptionTreeItemComboBox::AddString(const QString& text) {
    COptionTreeComboBox* combo = GetComboWindow();
    if (!combo)
        return -1;
    combo->addItem(text);
    return combo->count() - 1;
}

void COptionTreeItemComboBox::SetCurSel(int index) {
    if (COptionTreeComboBox* combo = GetComboWindow())
        combo->setCurrentIndex(index);
}

int COptionTreeItemComboBox::GetCurSel() const {
    const COptionTreeComboBox* combo = GetComboWindow();
    return combo ? combo->currentIndex() : -1;
}

QString COptionTreeItemComboBox::GetWindowText() const {
    const COptionTreeComboBox* combo = GetComboWindow();
    return combo ? combo->currentText() : QString();
}
