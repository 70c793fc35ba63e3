// The search view's focus, cursor and dialog-box keyboard, its context
// menus and command keys.

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "ui/common/view_menus.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/search_view/view_view.h"

void CViewView::OnSetFocus() {
    // Back from a record opened in the result list, the keyboard goes on in the list.
    if (focusListAgain_ && resultList_ != nullptr && resultList_->focusPolicy() != Qt::NoFocus) {
        resultList_->setFocus(Qt::OtherFocusReason);
        return;
    }
    focusListAgain_ = false;
    if (surnameEdit_ != nullptr) surnameEdit_->setFocus(Qt::OtherFocusReason);
}

void CViewView::FocusList() {
    if (resultList_ != nullptr && resultList_->focusPolicy() != Qt::NoFocus) {
        resultList_->setFocus(Qt::MouseFocusReason);
    }
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
    if (OnCommandKey(watched, event)) return true;
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
    // it is Search; in the result list it is More Info (the list's own key).
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

void CViewView::ExecMenu(QMenu& menu, const QPoint& globalPos) {
    CommandScope scope(*this);
    const bool fromList = ListHasFocus();
    // The entry's command runs once the menu has closed, however the entry
    // was taken (a click, Enter, its letter or its shortcut); the edit's own
    // entries carry no command and act by themselves.
    MenuCommand chosen = MenuCommand::None;
    connect(&menu, &QMenu::triggered, &menu, [&chosen](QAction* action) {
        const MenuCommand command = view_menus::CommandOf(action);
        if (command != MenuCommand::None) chosen = command;
    });
    menu.exec(globalPos);
    if (chosen != MenuCommand::None && !viewDestroyed_) RunMenuCommand(chosen, fromList);
}

std::unique_ptr<QMenu> CViewView::MakeListMenu() {
    view_menus::ListState state;
    state.rows = RowsOnPage();
    state.selected = SelectedRow() >= 0 && SelectedRow() < state.rows;
    state.results = RecordCount() > 0;
    return view_menus::ListMenu(this, state);
}

std::unique_ptr<QMenu> CViewView::MakeSurnameMenu() { return view_menus::SurnameMenu(*surnameEdit_); }

std::unique_ptr<QMenu> CViewView::MakeFirstNameMenu() {
    return view_menus::FirstNameMenu(*firstNameEdit_, nameVariants_);
}

void CViewView::ShowEditMenu(QObject* edit, const QPoint& globalPos) {
    ExecMenu(*(edit == firstNameEdit_ ? MakeFirstNameMenu() : MakeSurnameMenu()), globalPos);
}

bool CViewView::OnContextMenu(const QPoint& globalPos) {
    if (viewDestroyed_ || session_ == nullptr) return false;
    ExecMenu(*MakeListMenu(), globalPos);
    return true;
}

bool CViewView::OnCommandKey(QObject* watched, QEvent* event) {
    if (viewDestroyed_) return false;
    const bool inEdit = watched == surnameEdit_ || watched == firstNameEdit_;
    if (event->type() == QEvent::ContextMenu && inEdit) {
        ShowEditMenu(watched, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    MenuCommand command = view_menus::CommandOfKey(*key);
    // In an edit box with a selection Ctrl+C copies the selected text, as
    // anywhere; without one it copies the rows, as in the rest of the window.
    if (auto* edit = qobject_cast<QLineEdit*>(watched);
        command == MenuCommand::CopyRows && edit != nullptr && edit->hasSelectedText()) {
        command = MenuCommand::None;
    }
    // An edit box's menu from the keyboard (the menu key comes as a
    // context-menu event of its own).
    const bool menu = inEdit && key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (command == MenuCommand::None && !menu) return false;
    // Claimed before the edit's own Ctrl+C and Qt's shortcuts; the press follows.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (menu) {
        auto* edit = static_cast<QLineEdit*>(watched);
        const QRect cursor = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        ShowEditMenu(edit, edit->mapToGlobal(cursor.bottomLeft()));
    } else {
        RunMenuCommand(command);
    }
    return true;
}

void CViewView::contextMenuEvent(QContextMenuEvent* event) {
    if (!view_layout::kListArea.ToQRect().contains(event->pos())) {
        event->ignore();
        return;
    }
    // A right click on a row selects it first, as the entries act on the
    // selection, and puts the keyboard in the list, as a left click does.
    if (event->reason() == QContextMenuEvent::Mouse) {
        const int row = RowAt(event->pos());
        if (row >= 0) {
            SelectRow(row);
            FocusList();
        }
    }
    if (OnContextMenu(event->globalPos())) {
        event->accept();
        return;
    }
    event->ignore();
}
