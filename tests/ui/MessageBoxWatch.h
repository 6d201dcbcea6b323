#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

// Watches for message boxes, modal or not, while it lives: each new one is recorded and acted
// on (queued, so whatever loop shows the box runs first). A box still open seconds after it was
// acted on is answered here and counted, so a box the act fails to close fails the test instead
// of hanging it.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(std::function<void()> onNewBox) : onNewBox(std::move(onNewBox)) {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { look(); });
        timer.start(20);
    }

    QStringList texts;    // of every box seen, in order
    int answeredHere = 0; // boxes left open by the act

    static QList<QMessageBox*> shown() {
        QList<QMessageBox*> boxes;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
                boxes.append(box);
        }
        return boxes;
    }

private:
    void look() {
        for (QMessageBox* box : shown()) {
            if (!seen.contains(box)) {
                seen.append(box);
                texts.append(box->text());
                ticksOpen = 0;
                QTimer::singleShot(0, &timer, onNewBox);
            } else if (++ticksOpen > 100) {
                box->accept();
                ++answeredHere;
            }
        }
    }

    std::function<void()> onNewBox;
    QTimer timer;
    QList<QPointer<QMessageBox>> seen;
    int ticksOpen = 0;
};
