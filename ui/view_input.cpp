// The search view's focus, cursor and dialog-box keyboard.

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

#include "ui/view_view.h"

void CViewView::OnSetFocus() {
    if (surnameEdit_ != nullptr) surnameEdit_->setFocus(Qt::OtherFocusReason);
}

void CViewView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    OnSetFocus();
}

void CViewView::OnSetCursor() {
    // The view answers for its controls as well, edit boxes included.
    const Qt::CursorShape shape = busy_ ? Qt::WaitCursor : Qt::ArrowCursor;
    setCursor(shape);
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow() && widget->property("controlId").isValid()) {
            widget->setCursor(shape);
        }
    }
}

bool CViewView::eventFilter(QObject* watched, QEvent* event) {
    if (PreTranslateMessage(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

QAbstractButton* CViewView::MnemonicTarget(QObject* watched, const QKeyEvent& key) const {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() < Qt::Key_A || key.key() > Qt::Key_Z) return nullptr;
    // Alt with the letter anywhere; the bare letter too while a button has
    // the focus, since buttons take no characters.
    const bool onButton = qobject_cast<QAbstractButton*>(watched) != nullptr;
    if (modifiers != Qt::AltModifier && !(modifiers == Qt::NoModifier && onButton)) return nullptr;
    const QKeySequence wanted(key.key() | Qt::AltModifier);
    for (QObject* child : children()) {
        auto* button = qobject_cast<QAbstractButton*>(child);
        if (button == nullptr || !button->isEnabled() || !button->isVisible()) continue;
        if (QKeySequence::mnemonic(button->text()) == wanted) return button;
    }
    return nullptr;
}

bool CViewView::PreTranslateMessage(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);

    if (QAbstractButton* button = MnemonicTarget(watched, *key)) {
        // Claim the key before Qt's own mnemonic shortcut, which would press
        // the button only after an animation; the press follows as a key press.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        button->click();
        return true;
    }

    if (event->type() != QEvent::KeyPress) return false;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier) {
        return false;
    }
    // Enter presses the focused button; in an edit box or the list it is Search.
    if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
        if (button->isEnabled()) button->click();
        return true;
    }
    if (qobject_cast<QLineEdit*>(watched) != nullptr || qobject_cast<QComboBox*>(watched) != nullptr) {
        OnSearch();
        return true;
    }
    return false;
}
