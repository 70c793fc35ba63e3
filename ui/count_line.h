#pragma once
// CCountLine: the count line ("23 records found.") as an object that screen
// readers can find and hear change. The view paints the line; this
// transparent child over the count area paints nothing and takes neither
// the mouse nor the focus. Its accessible name is the line's text, its
// description the page shown.

#include <QString>
#include <QWidget>

class CCountLine : public QWidget {
    Q_OBJECT
public:
    explicit CCountLine(QWidget* view);

    // Sets the text and the page, and announces them: a changed text is a
    // name and text change, and every call (each search and page turn) says
    // the page anew.
    void Announce(const QString& text, const QString& page);

    const QString& Text() const { return text_; }
    const QString& Page() const { return page_; }

private:
    QString text_;
    QString page_;
};
