#include "controls/optiontree/OptionTreeItemSpinner.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeList.h"
#include "controls/optiontree/OptionTreeSpinnerEdit.h"

COptionTreeItemSpinner::COptionTreeItemSpinner() {
    SetKind(OT_KIND_SPINNER);
}

bool COptionTreeItemSpinner::CreateSpinnerWindow(unsigned options, double value, double minimum,
                                                 double maximum) {
    if (!GetTree() || GetControl())
        return false;
    auto* spinner = new COptionTreeSpinner(GetTree()->GetListWindow());
    spinner->SetOptions(options);
    spinner->SetRange(minimum, maximum);
    spinner->SetValue(value);
    spinner->GetEdit()->setAccessibleName(GetLabelText());
    AttachControl(spinner);
    QObject::connect(spinner, &COptionTreeSpinner::editFocusEntered, spinner, [this] { SetHasFocus(true); });
    // Queued: the edit has finished losing the focus before the row commits and hides it. An
    // edit that got the focus back in the meantime is a new edit and goes on.
    QObject::connect(
        spinner, &COptionTreeSpinner::editFocusLost, spinner,
        [this, spinner] {
            if (!spinner->GetEdit()->hasFocus())
                CommitEdit();
        },
        Qt::QueuedConnection);
    return true;
}

COptionTreeSpinner* COptionTreeItemSpinner::GetSpinnerWindow() const {
    return static_cast<COptionTreeSpinner*>(GetControl());
}

void COptionTreeItemSpinner::SetRange(double minimum, double maximum) {
    if (COptionTreeSpinner* spinner = GetSpinnerWindow())
        spinner->SetRange(minimum, maximum);
}

void COptionTreeItemSpinner::SetValue(double value) {
    if (COptionTreeSpinner* spinner = GetSpinnerWindow())
        spinner->SetValue(value);
}

bool COptionTreeItemSpinner::GetValue(double& value) const {
    const COptionTreeSpinner* spinner = GetSpinnerWindow();
    value = spinner ? spinner->GetValue() : 0.0;
    return spinner != nullptr;
}

void COptionTreeItemSpinner::SetValueInt(int value) {
    if (COptionTreeSpinner* spinner = GetSpinnerWindow())
        spinner->SetValueInt(value);
}

bool COptionTreeItemSpinner::GetValueInt(int& value) const {
    const COptionTreeSpinner* spinner = GetSpinnerWindow();
    value = spinner ? spinner->GetValueInt() : 0;
    return spinner != nullptr;
}

QString COptionTreeItemSpinner::GetValueText() const {
    const COptionTreeSpinner* spinner = GetSpinnerWindow();
    return spinner ? spinner->GetValueText() : QString();
}

bool COptionTreeItemSpinner::HasOption(unsigned bit) const {
    const COptionTreeSpinner* spinner = GetSpinnerWindow();
    return spinner && spinner->HasOption(bit);
}

void COptionTreeItemSpinner::RestoreValueText(const QString& text) {
    if (COptionTreeSpinner* spinner = GetSpinnerWindow())
        spinner->GetEdit()->setText(text);
}

void COptionTreeItemSpinner::StartEditing() {
    COptionTreeControlItem::StartEditing();
    if (COptionTreeSpinner* spinner = GetSpinnerWindow())
        spinner->GetEdit()->selectAll();
}
