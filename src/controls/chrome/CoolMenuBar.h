#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class CAltTapWatcher;
class QMenu;

// The window's menu: a light-blue cool bar holding one flat text button per menu ("File",
// "Edit", "Help") that drops the menu's popup below itself, first item selected. While a popup
// is open, pointing at another button or pressing Left/Right switches popups (Right opens a
// submenu where the item has one); Escape closes the popup and leaves its button hot.
// Keyboard: Alt pressed and released alone, or F10, makes the first button hot; Left/Right
// move, Down, Up, Enter or Space open, Escape leaves; Alt with a title's mnemonic letter
// opens that menu. Keys that another widget of the window takes stay with it.
class CCoolMenuBar : public QWidget {
    Q_OBJECT

public:
    // None: no button hot by keyboard, no popup. Button: a button is hot and the bar has the
    // keyboard. Popup: a button's popup is open.
    enum class TrackState { None, Button, Popup };

    explicit CCoolMenuBar(QWidget* parent = nullptr);
    ~CCoolMenuBar() override;

    // One button per menu with a title, in order, titled by the menu's title ("&File"). The
    // popups draw in the flat menu style. The bar does not own the menus.
    void SetMenus(const QList<QMenu*>& menus);

    int ButtonCount() const { return int(buttons.size()); }
    QString ButtonText(int index) const;
    QRect ButtonRect(int index) const;
    // The hot or pressed button, -1 for none.
    int HotButton() const { return hot; }
    TrackState GetTrackState() const { return state; }
    // The popup open now, or null.
    QMenu* TrackedMenu() const;
    // Drops the menu of the button at index down, as a click on it does.
    void OpenMenu(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Button {
        QPointer<QMenu> menu;
        QString text;
        QRect rect;
        int shortcutId = 0;
    };

    void layoutButtons();
    void watchWindow();
    void renewMenuFont();
    void grabMnemonics();
    void releaseMnemonics();
    int buttonAt(const QPoint& position) const;
    int buttonWithMnemonic(int key) const;
    int wrapped(int index) const;
    void setHot(int index);
    // Assistive tools hear which button is hot while the bar has the keyboard.
    void announceHotButton();

    void toggleKeyboardMode();
    void enterKeyboardMode(int index);
    void leaveKeyboardMode();
    // Keys the bar acts on while it has the keyboard; opens or moves when act is set.
    bool takeButtonKey(const QKeyEvent* key, bool act);

    void trackPopup(int index);
    void popupClosed();
    void stopWatchingPopup();
    void switchPopup(int index);
    void closePopups();
    bool isTrackedPopup(const QMenu* menu) const;
    bool isOverOpenPopup(const QPoint& globalPosition) const;
    bool takePopupKey(QMenu* popup, const QKeyEvent* key);
    bool takePopupMousePress(const QPoint& globalPosition);
    void followPopupMouse(const QPoint& globalPosition);

    QList<Button> buttons;
    TrackState state = TrackState::None;
    int hot = -1;
    // The popup to open once the current one has closed, -1 for none.
    int nextPopup = -1;
    bool escapePressed = false;
    QPoint lastMousePosition;
    QPointer<QWidget> focusBeforeMenu;
    QPointer<QWidget> watchedWindow;
    CAltTapWatcher* altWatcher;
    int f10ShortcutId = 0;
    QList<QMetaObject::Connection> popupWatch;
};
