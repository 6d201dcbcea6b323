#include "ui/SplashWnd.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int SPLASH_MILLISECONDS = 750;

bool splashEnabled = true;
QPointer<CSplashWnd> liveSplash;

bool closesTheSplash(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        return true;
    default:
        return false;
    }
}

// The rest of a press that closed the splash: its release, and keys pressed with it.
bool finishesAPress(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::MouseMove:
        return true;
    default:
        return closesTheSplash(type);
    }
}

} // namespace

void CSplashWnd::EnableSplashScreen(bool enable) {
    splashEnabled = enable;
}

bool CSplashWnd::IsEnabled() {
    return splashEnabled;
}

CSplashWnd* CSplashWnd::Current() {
    return liveSplash;
}

CSplashWnd* CSplashWnd::ShowSplashScreen(QWidget* owner) {
    if (!splashEnabled || liveSplash)
        return nullptr;
    const QPixmap picture(QStringLiteral(":/images/splash.svg"));
    if (picture.isNull())
        return nullptr;
    liveSplash = new CSplashWnd(picture, owner);
    liveSplash->show();
    return liveSplash;
}

CSplashWnd::CSplashWnd(const QPixmap& picture, QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture(picture) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(picture.deviceIndependentSize().toSize());
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry() : screen()->availableGeometry();
    move(area.center() - rect().center());
    QTimer::singleShot(SPLASH_MILLISECONDS, this, &CSplashWnd::HideSplashScreen);
    qApp->installEventFilter(this);
}

CSplashWnd::~CSplashWnd() {
    qApp->removeEventFilter(this);
}

void CSplashWnd::HideSplashScreen() {
    qApp->removeEventFilter(this);
    close();
    if (QWidget* owner = parentWidget())
        owner->update();
}

bool CSplashWnd::eventFilter(QObject*, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate && !isVisible()) {
        HideSplashScreen(); // the releases go to another program now
        return false;
    }
    if (!(isVisible() ? closesTheSplash(type) : finishesAPress(type)))
        return false;
    // A shortcut override only asks; the press that follows closes the splash.
    if (type == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    followPress(event);
    if (isVisible())
        hide();
    // Held keys and buttons would reach the window as fresh presses (Ctrl closes the splash,
    // then O arrives as Ctrl+O): the splash takes them all until the last is released.
    if (heldKeys.empty() && heldButtons == Qt::NoButton)
        HideSplashScreen();
    return true;
}

void CSplashWnd::followPress(QEvent* event) {
    if (event->type() != QEvent::MouseMove && dynamic_cast<QMouseEvent*>(event)) {
        heldButtons = static_cast<QMouseEvent*>(event)->buttons(); // those still down after it
        return;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat())
        return;
    if (event->type() == QEvent::KeyPress)
        heldKeys.insert(key->key());
    else
        heldKeys.erase(key->key());
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture);
}
