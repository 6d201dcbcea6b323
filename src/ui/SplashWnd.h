#pragma once

#include <QPixmap>
#include <QWidget>

// The start-up picture: shown over the main window for 750 ms, or until a key or a mouse
// button is pressed anywhere in the program; that press only closes it and goes no further.
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    // Set once at start-up; "--no-splash" turns it off.
    static void EnableSplashScreen(bool enable);
    static bool IsEnabled();
    // Shows the splash centred over owner, when enabled and none is shown yet; null otherwise.
    // Its window's keyboard shortcuts are the owner's to hold back until it is destroyed.
    static CSplashWnd* ShowSplashScreen(QWidget* owner);
    // The one splash shown now, or null.
    static CSplashWnd* Current();

protected:
    bool eventFilter(QObject*, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

public:
    ~CSplashWnd() override;

private:
    CSplashWnd(const QPixmap& picture, QWidget* owner);
    void HideSplashScreen();

    QPixmap picture;
};
