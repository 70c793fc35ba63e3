#include "ui/common/list_keys.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>

namespace list_keys {

bool MovesInList(const QKeyEvent& key) {
    if (key.type() != QEvent::KeyPress || (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const int code = key.key();
    return code == Qt::Key_Up || code == Qt::Key_Down || code == Qt::Key_PageUp || code == Qt::Key_PageDown;
}

void MoveInList(QAbstractItemView& list, const QKeyEvent& key, const std::function<void()>& selectFirst) {
    if (list.model() != nullptr && list.model()->rowCount() > 0 && !list.currentIndex().isValid()) {
        selectFirst();
        return;
    }
    QKeyEvent moved(QEvent::KeyPress, key.key(), key.modifiers());
    QApplication::sendEvent(&list, &moved);
}

}  // namespace list_keys
