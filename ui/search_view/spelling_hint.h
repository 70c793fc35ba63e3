#pragma once
// CSpellingHint: what a search that found nobody offers in the empty list
// area: "Close spellings: SMITH (168), SMYTH (12)", the surnames of the
// database searched closest to the one typed. It paints the line onto the
// backdrop under it, from the list's first row down, in the list's text
// colour. It is hidden (and no Tab stop) while it offers nothing; shown, it
// is one Tab stop after the other controls: the arrow keys move among the
// names, Enter or Space takes the current one, and so does a click on a
// name. Screen readers see a list named "Close spellings".
//
// It never calls its owner: a name taken is the signal spellingChosen.

#include <vector>

#include <QRect>
#include <QString>
#include <QWidget>

#include "browse/names/surname_listing.h"

class CSpellingHint : public QWidget {
    Q_OBJECT
public:
    // At most this many names, and at most as many lines as the list area holds.
    static constexpr int kMaxShown = 12;

    explicit CSpellingHint(QWidget* view);

    // The spellings to offer, closest first; none hides the line. The first
    // becomes current. Says nothing to screen readers until shown.
    void SetSpellings(std::vector<ListedSurname> spellings);
    int Count() const { return static_cast<int>(spellings_.size()); }
    const ListedSurname& Spelling(int i) const { return spellings_[static_cast<std::size_t>(i)]; }

    int Current() const { return current_; }
    // Makes name i current (none outside 0..Count-1), repainting its highlight.
    void SetCurrent(int i);

    // The line as painted; empty while nothing is offered.
    QString Text() const;
    // Name i as painted, "SMITH (168)", and as screen readers say it, "SMITH, 168 people".
    QString ItemText(int i) const;
    QString ItemName(int i) const;
    // Where name i is painted, in the hint's own coordinates.
    QRect ItemRect(int i) const;

signals:
    // Enter, Space or a click on a name: the user wants it searched.
    void spellingChosen(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Places the caption and the names in lines over the list area, and the
    // hint's own rectangle around them; drops the names that do not fit.
    void Layout();

    std::vector<ListedSurname> spellings_;
    std::vector<QRect> rects_;
    int current_ = -1;
    // The names screen readers were last told of.
    int announced_ = 0;
};
