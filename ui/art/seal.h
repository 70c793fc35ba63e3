#pragma once
// The seal that marks the program: a gold disc with a ring and a star.

#include <QPainter>
#include <QPointF>

namespace art {

void DrawSeal(QPainter& painter, QPointF centre, double radius);

}  // namespace art
