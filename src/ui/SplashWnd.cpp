#include "ui/SplashWnd.h"

#include <QApplication>
#include <QEvent>
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
    if (!closesTheSplash(event->type()))
        return false;
    // A shortcut override only asks; the press that follows closes the splash.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    HideSplashScreen();
    return true;
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture);
}
