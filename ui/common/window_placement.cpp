#include "ui/common/window_placement.h"

#include <algorithm>

#include <QScreen>
#include <QWidget>

namespace window_placement {

namespace {

// The first coordinate of a run of length that starts at wanted and stays
// within [low, high] (a run longer than the room starts at low).
int Clamped(int wanted, int length, int low, int high) {
    return std::max(low, std::min(wanted, high - length + 1));
}

}  // namespace

QRect Beside(const QRect& available, const QRect& ownerFrame, QSize wanted, const QMargins& frame) {
    const QSize room = available.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    const QSize size = wanted.boundedTo(room).expandedTo(QSize(1, 1));
    const QSize outer = size.grownBy(frame);
    // To the right where it fits, else to the left; where neither side has
    // room, on the roomier side, over as little of the owner as it can.
    const int roomRight = available.right() - ownerFrame.right();
    const int roomLeft = ownerFrame.left() - available.left();
    const bool right = roomRight >= outer.width() || (roomLeft < outer.width() && roomRight >= roomLeft);
    int x = right ? ownerFrame.right() + 1 : ownerFrame.left() - outer.width();
    x = Clamped(x, outer.width(), available.left(), available.right());
    const int y = Clamped(ownerFrame.top(), outer.height(), available.top(), available.bottom());
    return QRect(QPoint(x + frame.left(), y + frame.top()), size);
}

void PlaceBeside(QWidget& window, const QWidget& owner, QSize wanted) {
    const QWidget& top = *owner.window();
    const QScreen* screen = top.screen();
    if (screen == nullptr) return;
    // Before it is first shown a window's frame is not known; the owner's is the best guess.
    const QRect outer = top.frameGeometry();
    const QRect inner = top.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    window.setGeometry(Beside(screen->availableGeometry(), outer, wanted, frame));
}

}  // namespace window_placement
