#include "controls/optiontree/OptionTreeSpinnerEdit.h"

#include "controls/optiontree/OptionTreeList.h"
#include "controls/optiontree/OptionTreeSpinner.h"
#include "resource.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

COptionTreeSpinnerEdit::COptionTreeSpinnerEdit(COptionTreeSpinner* owner) : QLineEdit(owner), spinner(owner) {
    setProperty("controlId", IDC_SPINNER_EDIT);
}

bool COptionTreeSpinnerEdit::event(QEvent* event) {
    return COptionTreeList::TakeBackFocus(spinner, event) || QLineEdit::event(event);
}

void COptionTreeSpinnerEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        spinner->StepUp();
    } else if (event->key() == Qt::Key_Down) {
        spinner->StepDown();
    } else {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The step took the key; nothing behind the edit may act on it again.
    event->accept();
}

void COptionTreeSpinnerEdit::focusInEvent(QFocusEvent* event) {
    Q_EMIT spinner->editFocusEntered();
    QLineEdit::focusInEvent(event);
}

void COptionTreeSpinnerEdit::focusOutEvent(QFocusEvent* event) {
    if (QApplication::focusWidget() != spinner && event->reason() != Qt::PopupFocusReason)
        Q_EMIT spinner->editFocusLost();
    QLineEdit::focusOutEvent(event);
}

void COptionTreeSpinnerEdit::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu = spinner->CreateContextMenu();
    menu->exec(event->globalPos());
}
