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

// Saves widget with the open drop-down list of combo drawn where the platform put it: the
// list is a window of its own and would be missing from the widget's picture.
inline QString saveWithPopup(QWidget* widget, QComboBox* combo, const QString& module, const QString& state) {
    QWidget* popup = combo->view()->window();
    const QPoint at = popup->mapToGlobal(QPoint()) - widget->mapToGlobal(QPoint());
    QPixmap composed(widget->width(), std::max(widget->height(), at.y() + popup->height()));
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
