#include "ui/common/finder_window.h"

#include <QDialog>
#include <QLineEdit>

#include "ui/common/typed_text.h"

namespace finder_window {

void Name(QDialog& dialog, const QString& title, const QString& objectName) {
    dialog.setModal(true);
    dialog.setWindowTitle(title);
    dialog.setObjectName(objectName);
}

void SetUpText(QLineEdit& field, const QString& objectName, const QString& accessibleName, int maxLength,
               const QString& text) {
    field.setObjectName(objectName);
    field.setAccessibleName(accessibleName);
    field.setMaxLength(maxLength);
    typed_text::Guard(field);
    field.setText(text);
    field.selectAll();
}

}  // namespace finder_window
