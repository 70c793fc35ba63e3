#pragma once
// CResultList: the result list. It holds the page shown (ResultPage) and
// the selected row, paints the rows and the highlight onto the backdrop
// under it, answers the list's keys and is what screen readers see of the
// list (ui/search_view/accessibility.cpp). It is a transparent child over the list
// area; the mouse passes through it to the view, which selects by click.
// It is a Tab stop, after the other controls, while the page has rows.
//
// It never calls its owner: what the user asked of it is a signal.

#include <vector>

#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/results/result_page.h"

class CResultList : public QWidget {
    Q_OBJECT
public:
    explicit CResultList(QWidget* parent);

    // Lays the list over the list area for the text height of its font: a
    // page of 8 rows with tall text may reach below the area.
    void FitToFont();
    // The page to show; no row is selected. Repaints nothing, and says
    // nothing to screen readers until AnnounceRows.
    void SetPage(ResultPage page);
    // Tells screen readers of the page's rows: new ones are added, the others have new texts.
    void AnnounceRows();
    const ResultPage& Page() const { return page_; }
    int Rows() const { return page_.Rows(); }
    // The columns of row, as painted; none for a row the page does not hold.
    QStringList RowColumns(int row) const;
    // The row whole, as screen readers read it and its tip shows it: its
    // columns, however much of them is painted, joined by commas.
    QString WholeRow(int row) const { return RowColumns(row).join(QLatin1String(", ")); }
    // Which rows of the page were seen before (one flag a row, in order): a
    // mark is painted beside their surname, and screen readers hear it.
    void SetSeen(const std::vector<bool>& seen);

    int SelectedRow() const { return selected_; }
    // Selects row (-1, or a row the page does not hold: none), repainting
    // the highlight of the rows that changed; emits selectionChanged.
    void SelectRow(int row);

    // The text height of the list's font, which sets the rows' bands.
    int TextHeight() const;
    // The row under a point of the parent (the view), or -1.
    int RowAt(const QPoint& parentPoint) const;
    // The three column rectangles of a row, in the parent's coordinates.
    QRegion RowRegion(int row) const;
    // Where the list's menu opens for the keyboard: the selected row's (or
    // the first row's) top left corner, on the screen.
    QPoint MenuPoint() const;

    // Paints the rows and the highlight (the count line is CCountLine's).
    void PaintList(QPainter& d) const;

signals:
    // Enter: More Info of the selected row.
    void rowActivated(int row);
    // Page Down (forward) or Page Up, while there is such a page.
    void pageTurnRequested(bool forward);
    // The menu key or Shift+F10, with the point where the menu belongs.
    void menuRequested(const QPoint& globalPos);
    void selectionChanged(int row);
    // The keyboard left the list for another control of the window.
    void focusLeft();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ResultPage page_;
    int selected_ = -1;
    // The rows that screen readers were last told of.
    int announcedRows_ = 0;
};
