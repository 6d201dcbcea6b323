#include "controls/optiontree/OptionTreeComboBox.h"

#include "controls/optiontree/OptionTreeList.h"

#include <QApplication>
#include <QKeyEvent>

COptionTreeComboBox::COptionTreeComboBox(QWidget* list) : QComboBox(list) {
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);
}

bool COptionTreeComboBox::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* list = qobject_cast<COptionTreeList*>(parentWidget());
        if (list && list->TakeBackFocus(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QComboBox::event(event);
}

void COptionTreeComboBox::focusInEvent(QFocusEvent* event) {
    Q_EMIT focusEntered();
    QComboBox::focusInEvent(event);
}

void COptionTreeComboBox::focusOutEvent(QFocusEvent* event) {
    // Opening the list moves the keyboard to the popup for a while; the edit goes on.
    if (event->reason() != Qt::PopupFocusReason && QApplication::focusWidget() != this)
        Q_EMIT focusLeft(QApplication::focusWidget());
    QComboBox::focusOutEvent(event);
}
