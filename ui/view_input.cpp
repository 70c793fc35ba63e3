// The search view's focus, cursor and dialog-box keyboard, and the keys of
// the result list.

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
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

namespace {

// The property that marks a menu entry with its command.
constexpr char kMenuCommand[] = "menuCommand";

QAction* AddCommand(QMenu& menu, const QString& text, const QKeySequence& shortcut,
                    CViewView::MenuCommand command, bool enabled) {
    QAction* action = menu.addAction(text);
    action->setProperty(kMenuCommand, static_cast<int>(command));
    action->setEnabled(enabled);
    // Shown beside the entry; the key itself works in the window (OnCommandKey,
    // which matches the same standard keys).
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    return action;
}

// In both menus.
QAction* AddFindSurname(QMenu& menu) {
    return AddCommand(menu, QStringLiteral("&Find Surname\u2026"), QKeySequence(QKeySequence::Find),
                      CViewView::MenuCommand::FindSurname, true);
}

}  // namespace

void CViewView::OnFindSurname() {}

void CViewView::RunMenuCommand(MenuCommand command) {
    switch (command) {
        case MenuCommand::FindSurname:
            OnFindSurname();
            break;
        case MenuCommand::CopyRows:
            OnCopyRows();
            break;
        case MenuCommand::CopyRecord:
            OnCopyRecord();
            break;
        case MenuCommand::ExportResults:
            OnExportResults();
            break;
        case MenuCommand::PrintRecord:
            OnPrintRecord();
            break;
        case MenuCommand::PrintResults:
            OnPrintResults();
            break;
    }
}

void CViewView::ExecMenu(QMenu& menu, const QPoint& globalPos) {
    CommandScope scope(*this);
    // The entry's command runs once the menu has closed, however the entry
    // was taken (a click, Enter, its letter or its shortcut); the edit's own
    // entries carry no command and act by themselves.
    int chosen = 0;
    connect(&menu, &QMenu::triggered, &menu, [&chosen](QAction* action) {
        const QVariant command = action->property(kMenuCommand);
        if (command.isValid()) chosen = command.toInt();
    });
    menu.exec(globalPos);
    if (chosen != 0 && !viewDestroyed_) RunMenuCommand(static_cast<MenuCommand>(chosen));
}

std::unique_ptr<QMenu> CViewView::MakeListMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("ResultListMenu"));
    const int rows = RowsOnPage();
    const bool selected = selectedRow_ >= 0 && selectedRow_ < rows;
    const bool results = RecordCount() > 0;
    AddFindSurname(*menu);
    menu->addSeparator();
    AddCommand(*menu, selected ? QStringLiteral("&Copy row") : QStringLiteral("&Copy rows"),
               QKeySequence(QKeySequence::Copy), MenuCommand::CopyRows, rows > 0);
    AddCommand(*menu, QStringLiteral("Copy &record"), QKeySequence(), MenuCommand::CopyRecord, selected);
    menu->addSeparator();
    AddCommand(*menu, QStringLiteral("&Export results\u2026"), QKeySequence(), MenuCommand::ExportResults,
               results);
    menu->addSeparator();
    AddCommand(*menu, QStringLiteral("&Print record\u2026"), QKeySequence(QKeySequence::Print),
               MenuCommand::PrintRecord, selected);
    AddCommand(*menu, QStringLiteral("Print re&sults\u2026"), QKeySequence(), MenuCommand::PrintResults,
               results);
    return menu;
}

std::unique_ptr<QMenu> CViewView::MakeSurnameMenu() {
    // The edit's own entries (undo, cut, copy, paste, select all) stay as they are.
    std::unique_ptr<QMenu> menu(surnameEdit_->createStandardContextMenu());
    menu->setObjectName(QStringLiteral("SurnameMenu"));
    menu->addSeparator();
    AddFindSurname(*menu);
    return menu;
}

void CViewView::ShowSurnameMenu(const QPoint& globalPos) { ExecMenu(*MakeSurnameMenu(), globalPos); }

bool CViewView::OnContextMenu(const QPoint& globalPos) {
    if (viewDestroyed_ || session_ == nullptr) return false;
    ExecMenu(*MakeListMenu(), globalPos);
    return true;
}

bool CViewView::OnCommandKey(QObject* watched, QEvent* event) {
    if (viewDestroyed_) return false;
    if (event->type() == QEvent::ContextMenu && watched == surnameEdit_) {
        ShowSurnameMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool find = key->matches(QKeySequence::Find);
    // Ctrl+P prints the selected record, as it does in More Info.
    const bool print = key->matches(QKeySequence::Print);
    bool copy = key->matches(QKeySequence::Copy);
    // In an edit box with a selection Ctrl+C copies the selected text, as
    // anywhere; without one it copies the rows, as in the rest of the window.
    if (auto* edit = qobject_cast<QLineEdit*>(watched); copy && edit != nullptr && edit->hasSelectedText()) {
        copy = false;
    }
    // The surname edit's menu from the keyboard (the menu key comes as a
    // context-menu event of its own).
    const bool menu = watched == surnameEdit_ && key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (!find && !copy && !print && !menu) return false;
    // Claimed before the edit's own Ctrl+C and Qt's shortcuts; the press follows.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (find) {
        OnFindSurname();
    } else if (copy) {
        OnCopyRows();
    } else if (print) {
        OnPrintRecord();
    } else {
        const QRect cursor = surnameEdit_->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        ShowSurnameMenu(surnameEdit_->mapToGlobal(cursor.bottomLeft()));
    }
    return true;
}

void CViewView::contextMenuEvent(QContextMenuEvent* event) {
    if (!view_layout::kListArea.ToQRect().contains(event->pos())) {
        event->ignore();
        return;
    }
    // A right click on a row selects it first, as the entries act on the selection.
    if (event->reason() == QContextMenuEvent::Mouse) {
        const int row = RowAt(event->pos());
        if (row >= 0) SelectRow(row);
    }
    if (OnContextMenu(event->globalPos())) {
        event->accept();
        return;
    }
    event->ignore();
}
