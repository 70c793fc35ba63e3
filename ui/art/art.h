#pragma once
// The program's pictures, drawn with QPainter so that the build can make
// them from source: the backdrop, the eight arrow images and the icon.

#include <QImage>

namespace art {

enum class ArrowState { Up, Down, Focus, Dim };

// 632 x 453: the ground of the search view, with the names of its fields.
QImage DrawBackdrop();
// 19 x 23: the Prev (left) or Next (right) button in one of its four states.
QImage DrawArrow(bool next, ArrowState state);
// The program icon, size x size.
QImage DrawIcon(int size);

}  // namespace art
