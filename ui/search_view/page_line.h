#pragma once
// CPageLine: the page shown and the number of pages ("2 of 3"), painted
// under the Pages label beside Prev and Next, right-aligned to the label.
// Empty while there is no page (before a search, after one that found
// nobody, after Clear), so that the window is then as it always was.
// Screen readers find it by its name, "Page 2 of 3", which changes with it
// (the count line says the page as well, when it is announced).

#include <QString>
#include <QWidget>

class CPageLine : public QWidget {
    Q_OBJECT
public:
    explicit CPageLine(QWidget* view);

    // pageText: "Page 2 of 3", or empty for no page. Repaints itself.
    void SetPage(const QString& pageText);
    // What is painted: "2 of 3", or empty.
    const QString& Shown() const { return shown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown_;
};
