#pragma once
// CCountLine: the count line ("23 records found.") over the count area. It
// paints the line onto the backdrop under it and is what screen readers
// find and hear change: its accessible name is the line's text, its
// description the page shown. It takes neither the mouse nor the focus.

#include <QString>
#include <QWidget>

class CCountLine : public QWidget {
    Q_OBJECT
public:
    explicit CCountLine(QWidget* view);

    // Sets the text and the page, and announces them: a changed text is a
    // name and text change, and every call (each search and page turn) says
    // the page anew. Repaints nothing (the view's RefreshList does).
    void Announce(const QString& text, const QString& page);
    // Sets the text painted without a word to screen readers (a search
    // under way shows the Empty state).
    void SetShownText(const QString& text) { shown_ = text; }

    const QString& Text() const { return text_; }
    const QString& Page() const { return page_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QString page_;
    QString shown_;
};
