#include "SampleIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace sampleicons {

namespace {

void paintPage(QPainter& painter, qreal s) {
    QPolygonF page({{0.2 * s, 0.08 * s},
                    {0.62 * s, 0.08 * s},
                    {0.8 * s, 0.26 * s},
                    {0.8 * s, 0.92 * s},
                    {0.2 * s, 0.92 * s}});
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(page);
    painter.setPen(QPen(QColor(200, 30, 30), 1.5));
    for (qreal y : {0.42, 0.56, 0.70})
        painter.drawLine(QPointF(0.3 * s, y * s), QPointF(0.7 * s, y * s));
}

void paintFolder(QPainter& painter, qreal s) {
    QPainterPath path;
    path.moveTo(0.08 * s, 0.24 * s);
    path.lineTo(0.4 * s, 0.24 * s);
    path.lineTo(0.48 * s, 0.34 * s);
    path.lineTo(0.92 * s, 0.34 * s);
    path.lineTo(0.92 * s, 0.84 * s);
    path.lineTo(0.08 * s, 0.84 * s);
    path.closeSubpath();
    painter.setPen(QPen(QColor(150, 110, 20), 1));
    painter.setBrush(QColor(240, 200, 80));
    painter.drawPath(path);
}

void paintCross(QPainter& painter, qreal s) {
    painter.setPen(QPen(QColor(200, 30, 30), 0.16 * s, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0.25 * s, 0.25 * s), QPointF(0.75 * s, 0.75 * s));
    painter.drawLine(QPointF(0.75 * s, 0.25 * s), QPointF(0.25 * s, 0.75 * s));
}

void paintEmptyBox(QPainter& painter, qreal s) {
    painter.setPen(QPen(QColor(40, 90, 170), 0.1 * s));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0.2 * s, 0.2 * s, 0.6 * s, 0.6 * s));
}

void paintPlay(QPainter& painter, qreal s) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 150, 60));
    painter.drawPolygon(QPolygonF({{0.25 * s, 0.15 * s}, {0.85 * s, 0.5 * s}, {0.25 * s, 0.85 * s}}));
}

void paintStop(QPainter& painter, qreal s) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 40, 40));
    painter.drawRoundedRect(QRectF(0.2 * s, 0.2 * s, 0.6 * s, 0.6 * s), 0.08 * s, 0.08 * s);
}

} // namespace

QPixmap icon(Role role, int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;
    switch (role) {
    case Role::OpenFile:
        paintPage(painter, s);
        break;
    case Role::OpenDirectory:
        paintFolder(painter, s);
        break;
    case Role::RemoveSelected:
        paintPage(painter, s);
        paintCross(painter, s);
        break;
    case Role::ClearAllSelected:
        paintEmptyBox(painter, s);
        break;
    case Role::StartConvert:
        paintPlay(painter, s);
        break;
    case Role::StopConvert:
        paintStop(painter, s);
        break;
    }
    return pixmap;
}

} // namespace sampleicons
