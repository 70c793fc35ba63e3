#include "ui/art/seal.h"

#include <cmath>

#include <QPainterPath>
#include <QRadialGradient>

#include "ui/art/palette.h"

namespace art {

namespace {

QPainterPath Star(QPointF centre, double outer, double inner) {
    QPainterPath path;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double angle = -pi / 2 + i * pi / 5;
        const QPointF point(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    path.closeSubpath();
    return path;
}

}  // namespace

void DrawSeal(QPainter& painter, QPointF centre, double radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);

    // A soft shadow lifts the seal off the page.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(centre + QPointF(radius * 0.04, radius * 0.06), radius, radius);

    QRadialGradient gold(centre - QPointF(radius * 0.3, radius * 0.35), radius * 1.3);
    gold.setColorAt(0.0, Gold().lighter(125));
    gold.setColorAt(0.6, Gold());
    gold.setColorAt(1.0, DeepGold());
    painter.setBrush(gold);
    painter.setPen(QPen(SealInk(), std::max(1.0, radius * 0.045)));
    painter.drawEllipse(centre, radius, radius);

    // Inner ring with a row of beads, as on a pressed seal.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(SealInk(), std::max(1.0, radius * 0.025)));
    painter.drawEllipse(centre, radius * 0.80, radius * 0.80);
    if (radius >= 20) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(SealInk());
        const double pi = 3.14159265358979323846;
        for (int i = 0; i < 36; ++i) {
            const double angle = i * pi / 18;
            const QPointF bead(centre.x() + radius * 0.9 * std::cos(angle),
                               centre.y() + radius * 0.9 * std::sin(angle));
            painter.drawEllipse(bead, radius * 0.025, radius * 0.025);
        }
    }

    painter.setPen(QPen(SealInk().darker(120), std::max(0.8, radius * 0.02)));
    painter.setBrush(SealInk());
    painter.drawPath(Star(centre, radius * 0.55, radius * 0.22));
    painter.restore();
}

}  // namespace art
