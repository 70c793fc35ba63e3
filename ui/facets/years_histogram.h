#pragma once
// CYearsHistogram: the people found per year, painted as upright bars, a
// bar a year while they fit the width, else a decade or more, over the
// years that hold most people (year_bins::LayOut); the years apart from
// them are counted (Earlier, Later) for the panel to offer. A click on a
// bar, or a drag across bars, chooses their years; so do the keys: Left and
// Right (Home, End) move among the bars, with Shift they stretch the span,
// Enter or Space chooses it. The years range in force (SetRange) stays
// marked on its bars, with focus or without and across new counts. Screen
// readers see a list named "Years", an item a bar, "1863, 12 people" or
// "1863, 12 people, in the years range"
// (ui/facets/facets_accessibility.cpp, installed by the panel that holds it).

#include <vector>

#include <QString>
#include <QWidget>

#include "browse/facets/facet_counts.h"
#include "ui/facets/year_bins.h"

class CYearsHistogram : public QWidget {
    Q_OBJECT
public:
    explicit CYearsHistogram(QWidget* parent);

    void SetYears(std::vector<facets::YearCount> years);
    // The years range the query is asked with; none when not given.
    void SetRange(bool given, int from, int to);
    bool InRange(int i) const;
    const year_bins::Outside& Earlier() const { return earlier_; }
    const year_bins::Outside& Later() const { return later_; }
    int Count() const { return static_cast<int>(bins_.size()); }
    const year_bins::Bin& BinAt(int i) const { return bins_[static_cast<std::size_t>(i)]; }
    int Current() const { return current_; }
    void SetCurrent(int i);
    // The span of bars chosen with the current one: from the anchor to it.
    int SpanFirst() const;
    int SpanLast() const;
    QString ItemName(int i) const;
    QRect ItemRect(int i) const;
    // Chooses the years of bars first to last, as Enter or a drag does.
    void Choose(int first, int last);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void yearsChosen(int from, int to);
    // The bars were laid out anew: the years outside them may have changed.
    void laidOut();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The bars anew for the width.
    void Rebin();
    QRect PlotArea() const;
    int BarAt(const QPoint& point) const;
    // Moves the current bar; stretching keeps the anchor, else it follows.
    void MoveTo(int i, bool stretch);
    // The keys' span on the bars of the range in force, else on the first.
    void PlaceSpanOnRange();

    std::vector<facets::YearCount> years_;
    std::vector<year_bins::Bin> bins_;
    year_bins::Outside earlier_;
    year_bins::Outside later_;
    bool ranged_ = false;
    int rangeFrom_ = 0;
    int rangeTo_ = 0;
    int current_ = -1;
    int anchor_ = -1;
    bool dragging_ = false;
    int announced_ = 0;
};
