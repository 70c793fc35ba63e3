#pragma once
// CFacetsPanel: how the people found fall, beside Find in Records' list:
// the people per database (a click chooses the database), a histogram of
// their years (a click or a drag sets the years range) and, for a field the
// user picks, its most frequent values (a click searches that field for
// the value). Each part is a Tab stop of its own, its bars read by screen
// readers with their counts; the years outside the histogram's bars are
// buttons beside it ("1 earlier (1389)"). The panel only shows and tells: what a choice
// does to the query is its owner's (the signals).

#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "browse/facets/facet_counts.h"

class CFacetBars;
class CYearsHistogram;
class QComboBox;
class QLabel;
class QPushButton;

class CFacetsPanel : public QWidget {
    Q_OBJECT
public:
    // The most frequent values shown.
    static constexpr int kValuesShown = 8;

    explicit CFacetsPanel(QWidget* parent);

    // The headings whose values can be counted (as the dialog's field box
    // names them); the one chosen is kept when it is among them.
    void SetFields(const QStringList& headings);
    // The heading whose values are counted; empty: none.
    QString ValuesField() const;
    // What to count for the fields chosen.
    facets::FacetRequest Request() const;

    // The counts of the query shown; a note (empty: none) says what is
    // left out or why nothing is counted.
    void SetCounts(const facets::FacetCounts& counts);
    void SetNote(const QString& note);
    // The years range the query was asked with, marked on the histogram.
    void SetYearsRange(bool given, int from, int to);
    void Clear();

    CFacetBars* Databases() const { return databases_; }
    CYearsHistogram* Years() const { return years_; }
    // The years held before and after the histogram's bars: a click sets the
    // years range to them; hidden when there are none.
    QPushButton* EarlierYears() const { return earlier_; }
    QPushButton* LaterYears() const { return later_; }
    QComboBox* ValuesFieldBox() const { return valuesField_; }
    CFacetBars* Values() const { return values_; }
    QLabel* Note() const { return note_; }

signals:
    void databaseChosen(int code);
    void yearsChosen(int from, int to);
    void valueChosen(const QString& field, const QString& value);
    // The field whose values are counted changed: the counts are to be asked again.
    void valuesFieldChanged();

private:
    // The buttons of the years outside the bars, after the bars are laid out.
    void ShowOutside();

    CFacetBars* databases_;
    CYearsHistogram* years_;
    QPushButton* earlier_;
    QPushButton* later_;
    QComboBox* valuesField_;
    CFacetBars* values_;
    QLabel* note_;
    std::vector<int> codes_;
};
