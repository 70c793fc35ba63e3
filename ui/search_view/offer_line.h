#pragma once
// COfferLine: one line of what a search that found nobody offers in the
// empty list area, "Close spellings: SMITH (168), SMYTH (12)" or
// "CHAMBERLAIN is in: Civil War Medal of Honor (2)": a caption and the
// offers after it. It paints itself onto the backdrop under it, from a
// given line of the list area down, in the list's text colour. It is hidden
// (and no Tab stop) while it offers nothing; shown, it is one Tab stop: the
// arrow keys move among the offers, Enter or Space takes the current one,
// and so does a click on one. Screen readers see a list named as the line
// is (ui/search_view/accessibility.cpp), an item for each offer.
//
// It never calls its owner: an offer taken is the signal offerChosen.

#include <vector>

#include <QRect>
#include <QString>
#include <QWidget>

class COfferLine : public QWidget {
    Q_OBJECT
public:
    // At most this many offers, and at most as many lines as the list area holds.
    static constexpr int kMaxShown = 12;

    struct Offer {
        QString shown;   // as painted: "SMITH (168)"
        QString spoken;  // as screen readers say it: "SMITH, 168 people"
    };

    // name: the object name; spokenName: the list's name for screen readers.
    COfferLine(QWidget* view, const QString& name, const QString& spokenName);

    // The caption and the offers, painted from line firstLine of the list
    // area; no offers hide the line. The first offer becomes current. Says
    // nothing to screen readers until shown.
    void SetOffers(const QString& caption, std::vector<Offer> offers, int firstLine = 0);
    int Count() const { return static_cast<int>(offers_.size()); }
    // The lines of the list area the offers take, none while hidden.
    int Lines() const { return lines_; }

    int Current() const { return current_; }
    // Makes offer i current (none outside 0..Count-1), repainting its highlight.
    void SetCurrent(int i);

    // The line as painted; empty while nothing is offered.
    QString Text() const;
    QString ItemText(int i) const;
    QString ItemName(int i) const;
    // Where offer i is painted, in the line's own coordinates.
    QRect ItemRect(int i) const;

signals:
    // Enter, Space or a click on an offer: the user wants it.
    void offerChosen(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Places the caption and the offers in lines over the list area, and
    // the line's own rectangle around them; drops the offers that do not fit.
    void Layout();

    QString caption_;
    std::vector<Offer> offers_;
    std::vector<QRect> rects_;
    int firstLine_ = 0;
    int lines_ = 0;
    int current_ = -1;
    // The offers screen readers were last told of.
    int announced_ = 0;
};
