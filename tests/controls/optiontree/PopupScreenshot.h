#pragma once

#include "TestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include <algorithm>

// Screenshots are taken at the default font (pixel size 0) and at a large one; the large
// ones carry the suffix "-large".
inline void addScreenshotFontRows() {
    QTest::addColumn<int>("pixelSize");
    QTest::newRow("default") << 0;
    QTest::newRow("large") << 22;
}

inline QString screenshotSuffix(int pixelSize) {
    return pixelSize ? QStringLiteral("-large") : QString();
}

inline void applyScreenshotFont(QWidget* widget, int pixelSize) {
    if (!pixelSize)
        return;
    QFont large = widget->font();
    large.setPixelSize(pixelSize);
    widget->setFont(large);
}

// Saves widget with popup (a window of its own, so missing from the widget's picture) drawn
// where the platform put it.
inline QString saveWithPopupWindow(QWidget* widget, QWidget* popup, const QString& module, const QString& state) {
    const QPoint at = popup->mapToGlobal(QPoint()) - widget->mapToGlobal(QPoint());
    QPixmap composed(std::max(widget->width(), at.x() + popup->width()),
                     std::max(widget->height(), at.y() + popup->height()));
    composed.fill(Qt::white);
    QPainter painter(&composed);
    painter.drawPixmap(0, 0, widget->grab());
    painter.drawPixmap(at, popup->grab());
    painter.end();
    QLabel label;
    label.setPixmap(composed);
    label.resize(composed.size());
    return testsupport::saveScreenshot(&label, module, state);
}

// The same with the open drop-down list of combo.
inline QString saveWithPopup(QWidget* widget, QComboBox* combo, const QString& module, const QString& state) {
    return saveWithPopupWindow(widget, combo->view()->window(), module, state);
}
