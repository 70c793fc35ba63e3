#pragma once
// CFacetBars: counts painted as a list of bars, a row each: the label, a
// bar as long as its share of the largest count, and the count. Used for
// the people found per database and per value of a field. One Tab stop:
// Up and Down (Home, End) move among the rows, Enter or Space takes the
// current one, and so does a click. Screen readers see a list named as the
// widget is, an item a row, "Civil War Medal of Honor, 12 people"
// (ui/facets/facets_accessibility.cpp, installed by the panel that holds it).

#include <cstdint>
#include <vector>

#include <QString>
#include <QWidget>

class CFacetBars : public QWidget {
    Q_OBJECT
public:
    struct Bar {
        QString label;
        std::int64_t count = 0;
    };

    // spokenName: the list's name for screen readers; rows: how many the widget is tall.
    CFacetBars(const QString& name, const QString& spokenName, int rows, QWidget* parent);

    // The rows shown, in order; the first becomes current.
    void SetBars(std::vector<Bar> bars);
    int Count() const { return static_cast<int>(bars_.size()); }
    const Bar& BarAt(int i) const { return bars_[static_cast<std::size_t>(i)]; }
    int Current() const { return current_; }
    void SetCurrent(int i);
    // Row i as screen readers say it; where it is painted.
    QString ItemName(int i) const;
    QRect ItemRect(int i) const;
    // Takes row i, as Enter or a click does.
    void Choose(int i);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void chosen(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int RowHeight() const;

    std::vector<Bar> bars_;
    int rows_;
    int current_ = -1;
    int announced_ = 0;
};
