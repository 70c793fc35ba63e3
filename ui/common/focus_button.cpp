#include "ui/common/focus_button.h"

#include <QPainter>
#include <QPen>

CFocusButton::CFocusButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void CFocusButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    // Inside the style's frame and its default-button rim, clear of the text.
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}
