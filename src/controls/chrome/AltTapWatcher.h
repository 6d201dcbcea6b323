#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Reports Alt pressed and released alone inside one window, the key that puts a menu bar
// into keyboard mode. A widget of the window that takes Alt for itself (by accepting its
// shortcut override) keeps it; any other key, click or focus change in between cancels.
class CAltTapWatcher : public QObject {
    Q_OBJECT

public:
    explicit CAltTapWatcher(QObject* parent = nullptr);
    ~CAltTapWatcher() override;

    // The top-level window to watch; the previous one is let go.
    void Watch(QWidget* window);

Q_SIGNALS:
    void tapped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setPressed(bool pressed);
    // Whether event, seen while Alt is down, ends the tap; emits tapped() for the release.
    bool endsTap(const QEvent* event);

    QPointer<QWidget> window;
    bool altPressed = false;
};
