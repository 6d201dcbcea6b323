#pragma once

#include <QPixmap>
#include <QWidget>

#include <set>

// The start-up picture: shown over the main window for 750 ms, or until a key or a mouse
// button is pressed anywhere in the program; that press only closes it and goes no further,
// nor do keys and buttons held with it until they are released.
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    // Set once at start-up; "--no-splash" turns it off.
    static void EnableSplashScreen(bool enable);
    static bool IsEnabled();
    // Shows the splash centred over owner, when enabled and none is shown yet; null otherwise.
    // Its window's keyboard shortcuts are the owner's to hold back until it is destroyed.
    static CSplashWnd* ShowSplashScreen(QWidget* owner);
    // The one splash shown now, or still taking the keys held when it closed; or null.
    static CSplashWnd* Current();

protected:
    bool eventFilter(QObject*, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

public:
    ~CSplashWnd() override;

private:
    CSplashWnd(const QPixmap& picture, QWidget* owner);
    void HideSplashScreen();
    void followPress(QEvent* event);

    QPixmap picture;
    std::set<int> heldKeys; // pressed since the splash was shown, not yet released
    Qt::MouseButtons heldButtons;
};
