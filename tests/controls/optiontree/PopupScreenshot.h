#pragma once

#include "TestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPainter>

#include <algorithm>

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
