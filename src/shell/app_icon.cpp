#include "app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace quillet {

namespace {

// A sheet of paper with a quill stroke across it.
QPixmap draw_icon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;

    const QRectF sheet(2.5 * unit, 1 * unit, 10 * unit, 14 * unit);
    painter.setPen(QPen(QColor(40, 60, 90), std::max(1.0, 0.6 * unit)));
    painter.setBrush(QColor(250, 250, 245));
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(120, 140, 170), std::max(1.0, 0.5 * unit)));
    for (int line = 0; line < 4; ++line) {
        const qreal y = (4.5 + 2.5 * line) * unit;
        painter.drawLine(QPointF(4.5 * unit, y), QPointF(10.5 * unit, y));
    }

    QPainterPath quill;
    quill.moveTo(15 * unit, 0.5 * unit);
    quill.cubicTo(10 * unit, 2 * unit, 7 * unit, 8 * unit, 6 * unit, 13 * unit);
    quill.cubicTo(9 * unit, 9 * unit, 12 * unit, 6 * unit, 15 * unit, 0.5 * unit);
    painter.setPen(QPen(QColor(20, 70, 110), std::max(1.0, 0.4 * unit)));
    painter.setBrush(QColor(30, 110, 170));
    painter.drawPath(quill);
    return pixmap;
}

}  // namespace

QIcon application_icon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(draw_icon(size));
    }
    return icon;
}

}  // namespace quillet
