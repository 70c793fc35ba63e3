#include "ui/bitmap_button.h"

#include <QPainter>

CBitmapButton::CBitmapButton(QWidget* parent) : QAbstractButton(parent) { setFocusPolicy(Qt::StrongFocus); }

bool CBitmapButton::LoadBitmaps(const char* normal, const char* pressed, const char* focused,
                                const char* disabled) {
    normal_.load(QString::fromLatin1(normal));
    pressed_.load(QString::fromLatin1(pressed));
    focused_.load(QString::fromLatin1(focused));
    disabled_.load(QString::fromLatin1(disabled));
    update();
    return !normal_.isNull();
}

void CBitmapButton::SizeToContent() {
    if (!normal_.isNull()) resize(normal_.size());
}

const QPixmap& CBitmapButton::CurrentImage() const {
    // Pressed, else focused, else disabled, else normal; a missing image
    // falls back to the normal one.
    if (isDown() && !pressed_.isNull()) return pressed_;
    if (hasFocus() && !focused_.isNull()) return focused_;
    if (!isEnabled() && !disabled_.isNull()) return disabled_;
    return normal_;
}

QSize CBitmapButton::sizeHint() const { return normal_.isNull() ? QSize(20, 20) : normal_.size(); }

void CBitmapButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, CurrentImage());
}
