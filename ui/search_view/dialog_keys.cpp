#include "ui/search_view/dialog_keys.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>

#include "ui/search_view/view_layout.h"

namespace {

// An Alt (or Alt+Shift) key that would type a character: in a dialog-style
// keyboard it is meant for a button, and types nothing when none takes it.
bool IsAltCharacter(const QKeyEvent& key, Qt::KeyboardModifiers modifiers) {
    if (modifiers != Qt::AltModifier && modifiers != (Qt::AltModifier | Qt::ShiftModifier)) return false;
    if ((key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) ||
        (key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9)) {
        return true;
    }
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

int ControlId(const QObject& control) { return control.property("controlId").toInt(); }

}  // namespace

CDialogKeys::CDialogKeys(QWidget& host) : QObject(&host), host_(host) {}

void CDialogKeys::Watch(QWidget& control) { control.installEventFilter(this); }

void CDialogKeys::StopWatching() {
    for (QObject* child : host_.children()) child->removeEventFilter(this);
}

bool CDialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (CommandKey(watched, event)) return true;
    if (DialogKey(watched, event)) return true;
    return QObject::eventFilter(watched, event);
}

QAbstractButton* CDialogKeys::KeyTarget(QObject* watched, const QKeyEvent& key) const {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_F1 && modifiers == Qt::NoModifier) {
        for (QObject* child : host_.children()) {
            auto* button = qobject_cast<QAbstractButton*>(child);
            if (button != nullptr && ControlId(*button) == view_layout::kIdHelp) {
                return button->isEnabled() ? button : nullptr;
            }
        }
        return nullptr;
    }
    if (key.key() < Qt::Key_A || key.key() > Qt::Key_Z) return nullptr;
    // Alt with the letter anywhere; the bare letter too while a button has
    // the focus, since buttons take no characters.
    const bool onButton = qobject_cast<QAbstractButton*>(watched) != nullptr;
    if (modifiers != Qt::AltModifier && !(modifiers == Qt::NoModifier && onButton)) return nullptr;
    const QKeySequence wanted(key.key() | Qt::AltModifier);
    for (QObject* child : host_.children()) {
        auto* button = qobject_cast<QAbstractButton*>(child);
        if (button == nullptr || !button->isEnabled() || !button->isVisible()) continue;
        if (QKeySequence::mnemonic(button->text()) == wanted) return button;
    }
    return nullptr;
}

bool CDialogKeys::DialogKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);

    if (QAbstractButton* button = KeyTarget(watched, *key)) {
        // Claim the key before Qt's own shortcut, which would press the
        // button only after an animation; the press follows as a key press.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        emit buttonPressed(ControlId(*button));
        return true;
    }

    if (event->type() != QEvent::KeyPress) return false;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    // Alt with a letter that no enabled button has (More Info while it is
    // disabled, a letter no button underlines) types nothing, in the edit
    // boxes too, so that the next search is of the name as it was.
    if (IsAltCharacter(*key, modifiers)) return true;
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier) {
        return false;
    }
    // Enter presses the focused button; in an edit box or the database list
    // it is Search; in the result list it is More Info (the list's own key).
    if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
        if (button->isEnabled()) emit buttonPressed(ControlId(*button));
        return true;
    }
    if (qobject_cast<QLineEdit*>(watched) != nullptr || qobject_cast<QComboBox*>(watched) != nullptr) {
        emit commandAsked(view_layout::kIdSearch);
        return true;
    }
    return false;
}

bool CDialogKeys::CommandKey(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::ContextMenu && edit != nullptr) {
        emit editMenuRequested(edit, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    MenuCommand command = view_menus::CommandOfKey(*key);
    // In an edit box with a selection Ctrl+C copies the selected text, as
    // anywhere; without one it copies the rows, as in the rest of the window.
    if (command == MenuCommand::CopyRows && edit != nullptr && edit->hasSelectedText()) {
        command = MenuCommand::None;
    }
    // An edit box's menu from the keyboard (the menu key comes as a
    // context-menu event of its own).
    const bool menu = edit != nullptr && key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (command == MenuCommand::None && !menu) return false;
    // Claimed before the edit's own Ctrl+C and Qt's shortcuts; the press follows.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (menu) {
        const QRect cursor = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        emit editMenuRequested(edit, edit->mapToGlobal(cursor.bottomLeft()));
    } else {
        emit menuCommand(command);
    }
    return true;
}
