#pragma once
// CFocusButton: a push button whose keyboard focus can always be seen.
// Where the style marks the default button and the focused one alike (the
// main window's Search button is both at once), a dotted frame inside the
// button marks the focus. Without the focus it is painted exactly as a
// QPushButton.

#include <QPushButton>

class CFocusButton : public QPushButton {
    Q_OBJECT
public:
    CFocusButton(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
