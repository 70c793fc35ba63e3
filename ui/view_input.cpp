// The search view's focus, cursor and dialog-box keyboard, and the keys of
// the result list.

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>

#include "ui/result_list.h"
#include "ui/view_layout.h"
#include "ui/view_view.h"

void CViewView::OnSetFocus() {
    // Back from a record opened in the result list, the keyboard goes on in the list.
    if (focusListAgain_ && resultList_ != nullptr && resultList_->focusPolicy() != Qt::NoFocus) {
        resultList_->setFocus(Qt::OtherFocusReason);
        return;
    }
    focusListAgain_ = false;
    if (surnameEdit_ != nullptr) surnameEdit_->setFocus(Qt::OtherFocusReason);
}

void CViewView::ReturnFromDialog(bool toList) {
    // Until the focus leaves the list again (Tab, another window), the
    // view's focus rule means the list; then it means the surname edit again.
    focusListAgain_ = toList;
    if (window()->isActiveWindow()) {
        if (toList) OnSetFocus();
        return;
    }
    // A window manager gives the activation back by itself; without one the
    // keyboard would reach no window at all.
    window()->activateWindow();
}

void CViewView::OnListFocusOut() { focusListAgain_ = false; }

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

}  // namespace

QAbstractButton* CViewView::KeyTarget(QObject* watched, const QKeyEvent& key) const {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_F1 && modifiers == Qt::NoModifier) {
        return helpButton_ != nullptr && helpButton_->isEnabled() ? helpButton_ : nullptr;
    }
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

    if (QAbstractButton* button = KeyTarget(watched, *key)) {
        // Claim the key before Qt's own shortcut, which would press the
        // button only after an animation; the press follows as a key press.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        button->click();
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
    // it is Search; in the result list it is More Info (OnListKey).
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

bool CViewView::OnListKey(int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= ~Qt::KeypadModifier;
    if ((key == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
        (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        const int row = std::max(selectedRow_, 0);
        const QPoint corner(view_layout::kColumns[0].left, view_layout::kListTop + row * TextHeight());
        OnContextMenu(mapToGlobal(corner));
        return true;
    }
    if (modifiers != Qt::NoModifier) return false;
    const int last = RowsOnPage() - 1;
    switch (key) {
        case Qt::Key_Up:
            SelectRow(selectedRow_ > 0 ? selectedRow_ - 1 : 0);
            return true;
        case Qt::Key_Down:
            SelectRow(selectedRow_ < 0 ? 0 : std::min(selectedRow_ + 1, last));
            return true;
        case Qt::Key_Home:
            SelectRow(0);
            return true;
        case Qt::Key_End:
            SelectRow(last);
            return true;
        // The same handlers as the arrow buttons, data-disk check included;
        // the first row of the new page is then selected, so that the focus
        // has a row to show and to read out.
        case Qt::Key_PageDown:
            if (HasNext() && OnNextPage()) SelectRow(0);
            return true;
        case Qt::Key_PageUp:
            if (HasPrev() && OnPrevPage()) SelectRow(0);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            OnMoreInfo();
            return true;
        default:
            return false;
    }
}

bool CViewView::OnContextMenu(const QPoint& /*globalPos*/) { return false; }

void CViewView::contextMenuEvent(QContextMenuEvent* event) {
    if (view_layout::kListArea.ToQRect().contains(event->pos()) && OnContextMenu(event->globalPos())) {
        event->accept();
        return;
    }
    event->ignore();
}
