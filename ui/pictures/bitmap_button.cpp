#include "ui/pictures/bitmap_button.h"

#include <QPainter>

CBitmapButton::CBitmapButton(QWidget* parent) : QAbstractButton(parent) { setFocusPolicy(Qt::StrongFocus); }

bool CBitmapButton::LoadBitmaps(const char* normal, const char* pressed, const char* focused,
                                const char* disabled) {
    normal_.Load(normal);
    pressed_.Load(pressed);
    focused_.Load(focused);
    disabled_.Load(disabled);
    update();
    return !normal_.IsNull();
}

void CBitmapButton::SizeToContent() {
    if (!normal_.IsNull()) resize(normal_.Size());
}

const CScaledPicture& CBitmapButton::CurrentPicture() const {
    // Pressed, else focused, else disabled, else normal; a missing image
    // falls back to the normal one.
    if (isDown() && !pressed_.IsNull()) return pressed_;
    if (hasFocus() && !focused_.IsNull()) return focused_;
    if (!isEnabled() && !disabled_.IsNull()) return disabled_;
    return normal_;
}

QSize CBitmapButton::sizeHint() const { return normal_.IsNull() ? QSize(20, 20) : normal_.Size(); }

void CBitmapButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    CurrentPicture().Paint(painter, QPoint(0, 0));
}
