#include "ui/common/count_label.h"

#include "ui/common/accessible_events.h"

CCountLabel::CCountLabel(QWidget* parent, const QString& objectName) : QLabel(parent) {
    setObjectName(objectName);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

bool CCountLabel::Show(const QString& text) {
    const QString old = QLabel::text();
    if (old == text) return false;
    setText(text);
    accessible_events::TextChanged(this, old, text);
    return true;
}
