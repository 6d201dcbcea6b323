#include "controls/optiontree/OptionTreeComboBox.h"

#include "controls/optiontree/OptionTreeList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QStyle>

COptionTreeComboBox::COptionTreeComboBox(QWidget* list) : QComboBox(list) {
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);
    // The open list drops below the row and shows as many entries as the row asks for (styles
    // that lay the list over the box would ignore the count).
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

bool COptionTreeComboBox::event(QEvent* event) {
    return COptionTreeList::TakeBackFocus(this, event) || QComboBox::event(event);
}

void COptionTreeComboBox::showPopup() {
    // The value column is often narrower than the longest entry ("ISO-2022-CN (Simplified
    // Chinese)"): the open list widens to show every entry whole.
    QAbstractItemView* list = view();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(list->sizeHintForColumn(0) + scrollBar + 2 * list->frameWidth());
    QComboBox::showPopup();
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
