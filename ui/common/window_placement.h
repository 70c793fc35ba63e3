#pragma once
// Where a window of the viewer's own opens: whole within the screen's
// available area (the screen less its panels), beside the window that
// opens it where there is room, else over it. All in the logical pixels Qt
// lays windows out in, so that a screen at scale 2 is half as large.

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace window_placement {

// The client rectangle for a window that would like to be wanted large,
// whose frame adds frame round it, next to ownerFrame (the opening
// window's frame), within available: the size shrinks to fit, the window
// goes to the right of its owner, else to its left, else on the roomier
// side over as little of it as it can, its top level with the owner's
// top where it can be.
QRect Beside(const QRect& available, const QRect& ownerFrame, QSize wanted, const QMargins& frame);

// Places window (not shown yet, or shown) by Beside: next to owner on
// owner's screen, its frame taken to be as wide as owner's.
void PlaceBeside(QWidget& window, const QWidget& owner, QSize wanted);

}  // namespace window_placement
