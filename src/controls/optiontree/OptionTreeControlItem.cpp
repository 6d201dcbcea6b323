#include "controls/optiontree/OptionTreeControlItem.h"

#include "controls/optiontree/OptionTree.h"
#include "platform/DrawText.h"

#include <QLabel>

COptionTreeControlItem::~COptionTreeControlItem() {
    delete control.data();
}

void COptionTreeControlItem::AttachControl(QWidget* window) {
    control = window;
    window->setProperty("controlId", GetId());
    window->setAccessibleName(GetLabelText());
    // On Linux Qt names a combo box by its value and leaves the name of what it sets to a
    // label whose buddy it is: a hidden one carries the row's label to screen readers.
    auto* label = new QLabel(GetLabelText(), window->parentWidget());
    label->setTextFormat(Qt::PlainText);
    label->hide();
    label->setBuddy(window);
    QObject::connect(window, &QObject::destroyed, label, &QObject::deleteLater);
    PlaceControl();
    window->hide();
}

void COptionTreeControlItem::PlaceControl() {
    // Set explicitly: a style sheet on the control would stop the tree's font reaching it.
    const QFont font = GetTree()->GetNormalFont();
    if (control->font() != font)
        control->setFont(font);
    control->setGeometry(GetValueRect());
}

void COptionTreeControlItem::DrawValue(QPainter& painter, const QRect& rect) const {
    if (hasFocus || !GetTree() || !control)
        return;
    DrawValueText(painter, rect, ValueText(), platform::DT_SINGLELINE | platform::DT_VCENTER);
}

void COptionTreeControlItem::StartEditing() {
    if (!control)
        return;
    hasFocus = true;
    valueAtStart = ValueText();
    PlaceControl();
    control->show();
    control->raise();
    control->setFocus(Qt::OtherFocusReason);
}

void COptionTreeControlItem::RepositionControl() {
    if (!control)
        return;
    PlaceControl();
    if (!hasFocus)
        control->hide();
}

void COptionTreeControlItem::SyncControl() {
    if (control)
        PlaceControl();
}

void COptionTreeControlItem::FinishEditing() {
    HideControl();
}

void COptionTreeControlItem::OnDeselected() {
    HideControl();
}

void COptionTreeControlItem::HideControl() {
    if (control)
        control->hide();
}

void COptionTreeControlItem::DestroyControl() {
    delete control.data();
}

void COptionTreeControlItem::OnListFocused() {
    if (IsEditing() && hasFocus && control && !control->hasFocus())
        CommitEdit();
}

void COptionTreeControlItem::ControlFocusLeft(QWidget* newFocus) {
    if (GetTree() && newFocus && GetTree()->isAncestorOf(newFocus))
        CommitEdit();
}

void COptionTreeControlItem::CancelEdit() {
    if (IsEditing())
        RestoreValueText(valueAtStart);
}

void COptionTreeControlItem::CommitEdit() {
    hasFocus = false;
    EndEdit();
}
