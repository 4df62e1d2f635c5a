#include "monitor/app_icons.h"

#include <QPainter>
#include <QPixmap>

namespace {
// A small LED panel: a dark rounded square with a lit bar in the given colour, drawn at
// the sizes a tray asks for.
QIcon ledIcon(const QColor& lit, bool envelope = false) {
    QIcon icon;
    for (int size : {16, 22, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        painter.setPen(QPen(QColor(90, 90, 90), unit));
        painter.setBrush(Qt::black);
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 2 * unit, 2 * unit);
        if (envelope) {
            painter.setPen(QPen(lit, unit));
            painter.setBrush(Qt::NoBrush);
            const QRectF body(3 * unit, 5 * unit, 10 * unit, 7 * unit);
            painter.drawRect(body);
            painter.drawLine(body.topLeft(), QPointF(8 * unit, 9 * unit));
            painter.drawLine(body.topRight(), QPointF(8 * unit, 9 * unit));
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(lit);
            // A "V" of dots, the program's initial.
            const int dots[][2] = {{3, 4},   {4, 6},  {5, 8},  {6, 10}, {8, 12},
                                   {10, 10}, {11, 8}, {12, 6}, {13, 4}};
            for (const auto& d : dots)
                painter.drawEllipse(QPointF(d[0] * unit, d[1] * unit), 1.1 * unit, 1.1 * unit);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace

AppIcons makeAppIcons() {
    AppIcons icons;
    icons.normal = ledIcon(QColor(255, 128, 0));
    icons.minimum = ledIcon(QColor(255, 255, 128));
    icons.maximum = ledIcon(QColor(0, 255, 0));
    icons.connected = ledIcon(QColor(0, 160, 255));
    icons.mail = ledIcon(QColor(255, 255, 0), true);
    icons.noMail = ledIcon(QColor(128, 128, 128), true);
    return icons;
}
