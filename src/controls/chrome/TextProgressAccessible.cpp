#include "controls/chrome/TextProgressAccessible.h"

#include "controls/chrome/TextProgressCtrl.h"

CTextProgressAccessible::CTextProgressAccessible(CTextProgressCtrl* bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

CTextProgressCtrl* CTextProgressAccessible::Bar() const {
    return static_cast<CTextProgressCtrl*>(widget());
}

QString CTextProgressAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value)
        return Bar()->displayText();
    return QAccessibleWidget::text(type);
}

void* CTextProgressAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant CTextProgressAccessible::currentValue() const {
    return Bar()->GetPos();
}

QVariant CTextProgressAccessible::maximumValue() const {
    return Bar()->GetRange(false);
}

QVariant CTextProgressAccessible::minimumValue() const {
    return Bar()->GetRange(true);
}
