#pragma once
// CDialogKeys: the search view's keyboard, which behaves as a dialog box's
// does, as an event filter on each of the view's controls. It tells which
// command a key asks for and emits it; the view runs it. It claims its
// keys before Qt's shortcuts and the controls' own keys, so that a key
// acts at once and the same way in every control:
//   - Alt with a button's underlined letter (the bare letter too while a
//     button has the focus), F1 for Help, and Enter on a focused button:
//     that button, pressed;
//   - Enter in an edit box or the database list: Search (the result list
//     answers Enter itself);
//   - Alt with a letter no enabled button underlines types nothing;
//   - Ctrl+F, Ctrl+Shift+F, Ctrl+C, Ctrl+Shift+C, Ctrl+P: the commands of
//     the menus (view_menus::CommandOfKey); Ctrl+C in an edit box with a
//     selection stays the box's own copy;
//   - Shift+F10 and the menu key in an edit box: that box's menu.

#include <QObject>
#include <QPoint>

#include "ui/common/view_menus.h"

class QAbstractButton;
class QKeyEvent;
class QLineEdit;
class QWidget;

class CDialogKeys : public QObject {
    Q_OBJECT
public:
    // host: the window whose buttons the keys press, found among its
    // children by their underlined letters and control ids.
    explicit CDialogKeys(QWidget& host);

    // The keys of control reach the filter from now on.
    void Watch(QWidget& control);
    // No control reaches the filter any more (the view is going).
    void StopWatching();

signals:
    // A key presses the button of control id id (enabled), as a click would.
    void buttonPressed(int id);
    // Enter in an edit box or the database list: the command of id (Search).
    void commandAsked(int id);
    void menuCommand(MenuCommand command);
    // The edit box's menu, to be shown at globalPos.
    void editMenuRequested(QLineEdit* edit, const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The button that a key presses: Alt with its underlined letter, F1 for Help.
    QAbstractButton* KeyTarget(QObject* watched, const QKeyEvent& key) const;
    // The dialog-box keys: buttons by letter, F1 and Enter.
    bool DialogKey(QObject* watched, QEvent* event);
    // The keys of the menus' commands and of an edit box's menu.
    bool CommandKey(QObject* watched, QEvent* event);

    QWidget& host_;
};
