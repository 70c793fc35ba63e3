// The program icon: the seal on a transparent ground.

#include <QPainter>

#include "ui/art/art.h"
#include "ui/art/seal.h"

namespace art {

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const double radius = size * 0.46;
    DrawSeal(p, QPointF(size / 2.0, size / 2.0 - size * 0.01), radius);
    p.end();
    return image;
}

}  // namespace art
