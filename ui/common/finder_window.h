#pragma once
// What the two finders (Find Surname, Find in Records) share as windows:
// a modal dialog with a title bar and a close button but no help button,
// and a text field that starts with the text given, selected, guarded as
// every searched box is (ui/common/typed_text.h).

#include <Qt>

class QDialog;
class QLineEdit;
class QString;

namespace finder_window {

// The window's flags, for the dialog's constructor.
inline constexpr Qt::WindowFlags kFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;

// Names the modal dialog: its title and its object name.
void Name(QDialog& dialog, const QString& title, const QString& objectName);
// Sets up the text field: its names, its longest text, the guard, and
// text, selected so that typing replaces it.
void SetUpText(QLineEdit& field, const QString& objectName, const QString& accessibleName, int maxLength,
               const QString& text);

}  // namespace finder_window
