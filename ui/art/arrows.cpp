// The Prev and Next buttons' four images: normal, pressed, focused, disabled.

#include <QPainter>
#include <QPainterPath>

#include "ui/art/art.h"
#include "ui/art/palette.h"

namespace art {

namespace {

constexpr int kWidth = 19;
constexpr int kHeight = 23;

QPainterPath Triangle(bool next, QPointF offset) {
    QPainterPath path;
    if (next) {
        path.moveTo(QPointF(13.5, 11.5) + offset);
        path.lineTo(QPointF(7, 5.5) + offset);
        path.lineTo(QPointF(7, 17.5) + offset);
    } else {
        path.moveTo(QPointF(5.5, 11.5) + offset);
        path.lineTo(QPointF(12, 5.5) + offset);
        path.lineTo(QPointF(12, 17.5) + offset);
    }
    path.closeSubpath();
    return path;
}

void Bevel(QPainter& p, bool sunken, QColor light, QColor shade) {
    const OnePixelLines lines(p);
    const QColor topLeft = sunken ? shade : light;
    const QColor bottomRight = sunken ? light : shade;
    p.setPen(topLeft);
    p.drawLine(1, 1, kWidth - 3, 1);
    p.drawLine(1, 1, 1, kHeight - 3);
    p.setPen(bottomRight);
    p.drawLine(1, kHeight - 2, kWidth - 2, kHeight - 2);
    p.drawLine(kWidth - 2, 1, kWidth - 2, kHeight - 2);
}

}  // namespace

QImage DrawArrow(bool next, ArrowState state, qreal scale) {
    QImage image = ScaledCanvas(kWidth, kHeight, scale, QImage::Format_RGB32);
    QPainter p(&image);
    const bool dim = state == ArrowState::Dim;
    const bool down = state == ArrowState::Down;

    p.fillRect(0, 0, kWidth, kHeight, dim ? QColor(0xe2, 0xda, 0xc6) : QColor(0xea, 0xdf, 0xc1));
    p.setPen(dim ? QColor(0x9c, 0x90, 0x7a) : Ink());
    {
        const OnePixelLines lines(p);
        p.drawRect(0, 0, kWidth - 1, kHeight - 1);
    }
    if (!dim) Bevel(p, down, QColor(0xff, 0xfa, 0xee), QColor(0xa0, 0x8c, 0x64));

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    if (dim) {
        // Embossed, as disabled pictures are shown.
        p.setBrush(QColor(0xfb, 0xf7, 0xec));
        p.drawPath(Triangle(next, QPointF(1, 1)));
        p.setBrush(QColor(0xaa, 0x9f, 0x88));
        p.drawPath(Triangle(next, QPointF(0, 0)));
    } else {
        p.setBrush(state == ArrowState::Focus ? QColor(0x7a, 0x1e, 0x12) : Ink());
        p.drawPath(Triangle(next, down ? QPointF(1, 1) : QPointF(0, 0)));
    }
    p.setRenderHint(QPainter::Antialiasing, false);

    if (state == ArrowState::Focus) {
        QPen dotted(Ink(), 1, Qt::DotLine);
        p.setPen(dotted);
        p.setBrush(Qt::NoBrush);
        const OnePixelLines lines(p);
        p.drawRect(3, 3, kWidth - 7, kHeight - 7);
    }
    p.end();
    return image;
}

}  // namespace art
