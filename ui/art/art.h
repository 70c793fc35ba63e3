#pragma once
// The program's pictures, drawn with QPainter so that the build can make
// them from source: the backdrop, the eight arrow images and the icon.

#include <QImage>

namespace art {

enum class ArrowState { Up, Down, Focus, Dim };

// Each picture is drawn in the same device-independent coordinates at any
// scale: the image has scale times as many pixels and scale as its device
// pixel ratio, so that a high-DPI screen gets a picture drawn for it, not
// a blown-up one. Scale 1 is the picture as it always was.

// 632 x 453: the ground of the search view, with the names of its fields.
QImage DrawBackdrop(qreal scale = 1);
// 19 x 23: the Prev (left) or Next (right) button in one of its four states.
QImage DrawArrow(bool next, ArrowState state, qreal scale = 1);
// An image of width x height device-independent pixels drawn at scale.
QImage ScaledCanvas(int width, int height, qreal scale, QImage::Format format);
// The program icon, size x size.
QImage DrawIcon(int size);

}  // namespace art
