#include "controls/chrome/AltTapWatcher.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

bool isAloneAlt(const QKeyEvent* key) {
    return key->key() == Qt::Key_Alt && (key->modifiers() & ~Qt::AltModifier) == 0;
}

} // namespace

CAltTapWatcher::CAltTapWatcher(QObject* parent) : QObject(parent) {}

CAltTapWatcher::~CAltTapWatcher() {
    setPressed(false);
}

void CAltTapWatcher::Watch(QWidget* newWindow) {
    if (newWindow == window)
        return;
    if (window)
        window->removeEventFilter(this);
    setPressed(false);
    window = newWindow;
    if (window)
        window->installEventFilter(this);
}

bool CAltTapWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (altPressed) {
        if (endsTap(event))
            setPressed(false);
        return false;
    }
    // The override reaches the window only when no widget inside took the key.
    if (watched == window && event->type() == QEvent::ShortcutOverride &&
        isAloneAlt(static_cast<QKeyEvent*>(event)))
        setPressed(true);
    return false;
}

bool CAltTapWatcher::endsTap(const QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        // The press that follows the override is the same key; any other ends the tap. A key
        // taken as a shortcut arrives as a Shortcut event instead.
        return !isAloneAlt(static_cast<const QKeyEvent*>(event));
    case QEvent::KeyRelease:
        if (static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Alt) {
            setPressed(false);
            Q_EMIT tapped();
        }
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

void CAltTapWatcher::setPressed(bool pressed) {
    if (pressed == altPressed)
        return;
    altPressed = pressed;
    // Between press and release every event of the application counts.
    if (pressed)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}
