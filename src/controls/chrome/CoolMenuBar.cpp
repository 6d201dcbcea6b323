#include "controls/chrome/CoolMenuBar.h"

#include "controls/chrome/AltTapWatcher.h"
#include "controls/chrome/CoolMenuBarAccessible.h"
#include "controls/chrome/MenuXP.h"

#include "platform/AccessibleFactory.h"
#include "platform/Colors.h"
#include "platform/DrawText.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QTimer>

#include <utility>

using namespace platform;

namespace {

// Room between the bar's edge and its buttons.
constexpr int bandMargin = 2;

bool holdsSubmenu(const QMenu* menu, const QMenu* wanted, int depth = 0) {
    // Menus may be shared between several parents; a loop among them must not hang the walk.
    constexpr int deepestNesting = 16;
    if (depth > deepestNesting)
        return false;
    const QList<QAction*> actions = menu->actions();
    for (const QAction* action : actions) {
        const QMenu* submenu = action->menu();
        if (submenu && (submenu == wanted || holdsSubmenu(submenu, wanted, depth + 1)))
            return true;
    }
    return false;
}

bool isOpenKey(int key) {
    return key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Space;
}

} // namespace

CCoolMenuBar::CCoolMenuBar(QWidget* parent) : QWidget(parent), altWatcher(new CAltTapWatcher(this)) {
    platform::installAccessibleFactory<CCoolMenuBar, CCoolMenuBarAccessible>();
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    renewMenuFont();
    connect(altWatcher, &CAltTapWatcher::tapped, this, &CCoolMenuBar::toggleKeyboardMode);
    f10ShortcutId = grabShortcut(QKeySequence(Qt::Key_F10), Qt::WindowShortcut);
}

CCoolMenuBar::~CCoolMenuBar() {
    // The menus outlive the bar: none may call back into it.
    stopWatchingPopup();
}

void CCoolMenuBar::stopWatchingPopup() {
    for (const QMetaObject::Connection& connection : std::as_const(popupWatch))
        disconnect(connection);
    popupWatch.clear();
}

void CCoolMenuBar::SetMenus(const QList<QMenu*>& menus) {
    closePopups();
    state = TrackState::None;
    hot = -1;
    releaseMnemonics();
    buttons.clear();
    for (QMenu* menu : menus) {
        if (!menu || menu->title().isEmpty())
            continue;
        CMenuXP::Apply(menu);
        buttons.append(Button{menu, menu->title(), QRect(), 0});
    }
    grabMnemonics();
    layoutButtons();
}

QString CCoolMenuBar::ButtonText(int index) const {
    return index >= 0 && index < buttons.size() ? buttons.at(index).text : QString();
}

QRect CCoolMenuBar::ButtonRect(int index) const {
    return index >= 0 && index < buttons.size() ? buttons.at(index).rect : QRect();
}

QMenu* CCoolMenuBar::TrackedMenu() const {
    return state == TrackState::Popup && hot >= 0 ? buttons.at(hot).menu.data() : nullptr;
}

void CCoolMenuBar::OpenMenu(int index) {
    if (index < 0 || index >= ButtonCount())
        return;
    if (state == TrackState::Popup)
        switchPopup(index);
    else
        trackPopup(index);
}

QSize CCoolMenuBar::sizeHint() const {
    const int buttonsRight = buttons.isEmpty() ? bandMargin : buttons.last().rect.right() + 1;
    return QSize(buttonsRight + bandMargin, fontMetrics().height() + 6 + 2 * bandMargin);
}

QSize CCoolMenuBar::minimumSizeHint() const {
    return sizeHint();
}

void CCoolMenuBar::layoutButtons() {
    const QFontMetrics fm = fontMetrics();
    const int padding = fm.height() / 2;
    const int height = fm.height() + 6;
    int x = bandMargin;
    for (Button& button : buttons) {
        const int width =
            fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic, button.text).width() + 2 * padding;
        button.rect = QRect(x, bandMargin, width, height);
        x += width;
    }
    updateGeometry();
    update();
}

// The system's menu font, asked again whenever the desktop's fonts or colours change.
void CCoolMenuBar::renewMenuFont() {
    setFont(QApplication::font("QMenu"));
}

void CCoolMenuBar::grabMnemonics() {
    for (Button& button : buttons) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(button.text);
        button.shortcutId = mnemonic.isEmpty() ? 0 : grabShortcut(mnemonic, Qt::WindowShortcut);
    }
}

void CCoolMenuBar::releaseMnemonics() {
    for (Button& button : buttons) {
        if (button.shortcutId)
            releaseShortcut(button.shortcutId);
        button.shortcutId = 0;
    }
}

int CCoolMenuBar::buttonAt(const QPoint& position) const {
    if (!rect().contains(position))
        return -1;
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons.at(i).rect.contains(position))
            return i;
    }
    return -1;
}

int CCoolMenuBar::buttonWithMnemonic(int key) const {
    for (int i = 0; i < buttons.size(); ++i) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(buttons.at(i).text);
        if (!mnemonic.isEmpty() && int(mnemonic[0].key()) == key)
            return i;
    }
    return -1;
}

int CCoolMenuBar::wrapped(int index) const {
    const int count = ButtonCount();
    return count == 0 ? -1 : (index % count + count) % count;
}

void CCoolMenuBar::setHot(int index) {
    if (index == hot)
        return;
    hot = index;
    update();
    announceHotButton();
}

void CCoolMenuBar::announceHotButton() {
    if (!QAccessible::isActive() || state != TrackState::Button || !hasFocus() || hot < 0)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(hot);
    QAccessible::updateAccessibility(&event);
}

bool CCoolMenuBar::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Show:
        watchWindow();
        break;
    case QEvent::Shortcut: {
        const int id = static_cast<QShortcutEvent*>(event)->shortcutId();
        if (id == f10ShortcutId) {
            toggleKeyboardMode();
            return true;
        }
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons.at(i).shortcutId == id) {
                if (state != TrackState::Popup)
                    trackPopup(i);
                return true;
            }
        }
        break;
    }
    case QEvent::ShortcutOverride:
        // With the keyboard here, its keys are the bar's, not the window's accelerators.
        if (takeButtonKey(static_cast<QKeyEvent*>(event), false)) {
            event->accept();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void CCoolMenuBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    FillSolidRect(painter, rect(), LIGHT_BLUE);
    painter.setFont(font());
    painter.setPen(sysColor(COLOR_BTNTEXT));
    const bool showMnemonics =
        state != TrackState::None || style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this);
    const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (showMnemonics ? 0 : DT_HIDEPREFIX);
    for (int i = 0; i < buttons.size(); ++i) {
        QRect textRect = buttons.at(i).rect;
        if (i == hot && state == TrackState::Popup) {
            Draw3dRect(painter, textRect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            textRect.translate(1, 1);
        } else if (i == hot) {
            Draw3dRect(painter, textRect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        }
        DrawText(painter, buttons.at(i).text, textRect, format);
    }
}

void CCoolMenuBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Without a pointer grab the window system may send the popup's clicks here.
    if (state == TrackState::Popup) {
        takePopupMousePress(event->globalPosition().toPoint());
        return;
    }
    const int index = buttonAt(event->position().toPoint());
    if (index >= 0)
        trackPopup(index);
    else
        QWidget::mousePressEvent(event);
}

void CCoolMenuBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (state == TrackState::Popup) {
        followPopupMouse(global);
        return;
    }
    const int index = buttonAt(event->position().toPoint());
    if (state == TrackState::None)
        setHot(index);
    else if (index >= 0 && global != lastMousePosition)
        setHot(index);
    lastMousePosition = global;
}

void CCoolMenuBar::leaveEvent(QEvent* event) {
    if (state == TrackState::None)
        setHot(-1);
    QWidget::leaveEvent(event);
}

void CCoolMenuBar::keyPressEvent(QKeyEvent* event) {
    if (!takeButtonKey(event, true))
        QWidget::keyPressEvent(event);
}

void CCoolMenuBar::focusOutEvent(QFocusEvent* event) {
    // The popup takes the focus for a while; anything else ends the keyboard mode.
    if (state == TrackState::Button && event->reason() != Qt::PopupFocusReason) {
        focusBeforeMenu = nullptr;
        state = TrackState::None;
        hot = -1;
        update();
    }
    QWidget::focusOutEvent(event);
}

void CCoolMenuBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        layoutButtons();
    QWidget::changeEvent(event);
}

void CCoolMenuBar::toggleKeyboardMode() {
    if (state == TrackState::Button)
        leaveKeyboardMode();
    else if (state == TrackState::None && !buttons.isEmpty())
        enterKeyboardMode(0);
}

void CCoolMenuBar::enterKeyboardMode(int index) {
    if (!hasFocus()) {
        focusBeforeMenu = QApplication::focusWidget();
        setFocus(Qt::MenuBarFocusReason);
    }
    state = TrackState::Button;
    hot = index;
    update();
    announceHotButton();
}

void CCoolMenuBar::leaveKeyboardMode() {
    state = TrackState::None;
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    hot = underMouse() ? buttonAt(pointer) : -1;
    update();
    if (hasFocus()) {
        if (focusBeforeMenu)
            focusBeforeMenu->setFocus(Qt::MenuBarFocusReason);
        else
            clearFocus();
    }
    focusBeforeMenu = nullptr;
}

bool CCoolMenuBar::takeButtonKey(const QKeyEvent* key, bool act) {
    if (state != TrackState::Button || !hasFocus())
        return false;
    if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    const int pressed = key->key();
    int opened = -1;
    switch (pressed) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (act)
            setHot(wrapped(hot + (pressed == Qt::Key_Left ? -1 : 1)));
        return true;
    case Qt::Key_Escape:
        if (act)
            leaveKeyboardMode();
        return true;
    default:
        opened = isOpenKey(pressed) ? hot : buttonWithMnemonic(pressed);
        break;
    }
    if (opened < 0)
        return false;
    if (act)
        trackPopup(opened);
    return true;
}

void CCoolMenuBar::trackPopup(int index) {
    QMenu* menu = buttons.at(index).menu;
    if (!menu) {
        leaveKeyboardMode();
        return;
    }
    state = TrackState::Popup;
    hot = index;
    nextPopup = -1;
    escapePressed = false;
    lastMousePosition = QCursor::pos();
    update();
    qApp->installEventFilter(this);
    menu->setAttribute(Qt::WA_NoMouseReplay, false);
    // A menu deleted while open hides without telling; its destruction ends the popup too.
    popupWatch = {connect(menu, &QMenu::aboutToHide, this, &CCoolMenuBar::popupClosed),
                  connect(menu, &QObject::destroyed, this, &CCoolMenuBar::popupClosed)};
    // Below the button, its top line over the button's last row so that the two join.
    const QRect& button = buttons.at(index).rect;
    menu->popup(mapToGlobal(QPoint(button.left(), button.bottom())));
    if (!menu->isVisible()) {
        popupClosed();
        return;
    }
    // Opens with its first item selected, as the Down key does it.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &down);
}

void CCoolMenuBar::popupClosed() {
    stopWatchingPopup();
    qApp->removeEventFilter(this);
    const int next = std::exchange(nextPopup, -1);
    if (next >= 0) {
        // Opened once the closing popup has finished with the event that closed it.
        hot = next;
        update();
        QTimer::singleShot(0, this, [this, next] {
            if (state == TrackState::Popup && hot == next)
                trackPopup(next);
        });
        return;
    }
    if (escapePressed)
        enterKeyboardMode(hot);
    else
        leaveKeyboardMode();
}

void CCoolMenuBar::switchPopup(int index) {
    if (index == hot || index < 0)
        return;
    nextPopup = index;
    closePopups();
}

// Closes the open popup and its submenus, innermost first. A click that closes them here is
// the bar's: it must not reach the window behind as well.
void CCoolMenuBar::closePopups() {
    while (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        if (!isTrackedPopup(popup))
            break;
        popup->setAttribute(Qt::WA_NoMouseReplay);
        popup->close();
        if (QApplication::activePopupWidget() == popup)
            break;
    }
}

bool CCoolMenuBar::isTrackedPopup(const QMenu* menu) const {
    // A menu being destroyed is no QMenu any more (menu is null then): its pointer must not be
    // taken as one, not even to compare it.
    if (!menu)
        return false;
    const QMenu* tracked = TrackedMenu();
    return tracked && (menu == tracked || holdsSubmenu(tracked, menu));
}

bool CCoolMenuBar::isOverOpenPopup(const QPoint& globalPosition) const {
    const QWidget* popup = QApplication::activePopupWidget();
    const QMenu* tracked = TrackedMenu();
    return (popup && popup->geometry().contains(globalPosition)) ||
           (tracked && tracked->geometry().contains(globalPosition));
}

void CCoolMenuBar::watchWindow() {
    QWidget* topLevel = window();
    if (topLevel == watchedWindow)
        return;
    if (watchedWindow)
        watchedWindow->removeEventFilter(this);
    watchedWindow = topLevel;
    watchedWindow->installEventFilter(this);
    altWatcher->Watch(topLevel);
}

bool CCoolMenuBar::eventFilter(QObject* watched, QEvent* event) {
    // The desktop's font and colour changes reach the windows, not a widget with a font of its
    // own such as the bar.
    if (watched == watchedWindow && (event->type() == QEvent::ApplicationFontChange ||
                                     event->type() == QEvent::ApplicationPaletteChange)) {
        renewMenuFont();
        return false;
    }
    auto* popup = qobject_cast<QMenu*>(watched);
    if (state != TrackState::Popup || !isTrackedPopup(popup))
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        followPopupMouse(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return false;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton && takePopupMousePress(mouse->globalPosition().toPoint());
    }
    case QEvent::KeyPress:
        return takePopupKey(popup, static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

bool CCoolMenuBar::takePopupKey(QMenu* popup, const QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Left:
        // In a submenu Left goes back to its parent menu.
        if (popup != TrackedMenu())
            return false;
        switchPopup(wrapped(hot - 1));
        return true;
    case Qt::Key_Right: {
        const QAction* active = popup->activeAction();
        if (active && active->menu() && active->isEnabled())
            return false;
        switchPopup(wrapped(hot + 1));
        return true;
    }
    case Qt::Key_Escape:
        if (popup == TrackedMenu())
            escapePressed = true;
        return false;
    default:
        return false;
    }
}

bool CCoolMenuBar::takePopupMousePress(const QPoint& globalPosition) {
    const int index = isOverOpenPopup(globalPosition) ? -1 : buttonAt(mapFromGlobal(globalPosition));
    if (index < 0)
        return false;
    // A click on the open popup's own button closes it; on another button it switches.
    if (index == hot)
        closePopups();
    else
        switchPopup(index);
    return true;
}

void CCoolMenuBar::followPopupMouse(const QPoint& globalPosition) {
    if (globalPosition == lastMousePosition)
        return;
    lastMousePosition = globalPosition;
    if (isOverOpenPopup(globalPosition))
        return;
    switchPopup(buttonAt(mapFromGlobal(globalPosition)));
}
