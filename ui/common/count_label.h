#pragma once
// CCountLabel: a finder's count line: how many it found, or why nothing is
// listed. As the list follows the typing, a screen reader hears the line
// change wherever the keyboard is.

#include <QLabel>
#include <QString>

class CCountLabel : public QLabel {
public:
    // Named at once: screen readers' interface for the line is chosen by its name.
    CCountLabel(QWidget* parent, const QString& objectName);

    // Shows text; true when it changed, which was announced.
    bool Show(const QString& text);
};
