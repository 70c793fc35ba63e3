#pragma once
// CFoundPeopleList: the list of the people a record search found, under
// the headings of its columns (database, surname, given names, where the
// query matched), as Find in Records shows it. It owns its model, header
// and delegate, reads the people from the finder as it is scrolled, and
// tells its owner by signals what the user asked of it: a person
// activated, its menu, an order (a click on a heading), a batch of people
// that could not be read. Its columns take the widths of what they show,
// within the list; where the query matched takes what is left.

#include <cstdint>
#include <vector>

#include <QWidget>

#include "browse/record_search/record_search_outcome.h"
#include "ui/find_records/record_finder.h"

class CFoundPeopleModel;
class QHeaderView;
class QListView;

class CFoundPeopleList : public QWidget {
    Q_OBJECT
public:
    CFoundPeopleList(QWidget* parent, CRecordFinder& finder);

    // The list itself, which takes the keyboard.
    QListView* View() const { return list_; }
    CFoundPeopleModel* Model() const { return model_; }
    QHeaderView* Header() const { return header_; }

    // The people of an answer (count in all, the first of them read); none when count is 0.
    void SetPeople(std::uint64_t generation, std::int64_t count, std::vector<CRecordFinder::Row> rows);
    // No more batches are asked for until the next answer.
    void StopFetching();

    // The current row, and its person when read (or null).
    int CurrentRow() const;
    const CRecordFinder::Row* CurrentPerson() const;
    // Whether a person is current (read or not yet).
    bool OnPerson() const;
    // Makes row current and selected, scrolled to; a row past the people clears the selection.
    void SelectPerson(int row);
    // Where the menu opens for the keyboard: under the current row, on the screen.
    QPoint MenuPlace() const;

    // The width the columns ask for at first: the longest database title,
    // a long surname and given names, and a long match.
    int WantedWidth() const;
    // Sizes the columns to the titles of codes (the databases looked in)
    // and to the names of the people read; again as the list is resized.
    void FitColumns(const std::vector<int>& codes);
    // Shows the order of the list on its headings: column, or none (-1).
    void ShowOrder(int column, bool descending);

signals:
    // A double click on a person.
    void personActivated();
    // The menu asked for with the mouse: it opens under the person clicked (MenuPlace).
    void menuRequested(const QPoint& globalPos);
    // A batch of the people shown could not be read.
    void rowsFailed(const StoreError& error);
    // A heading was clicked: the list asks to be put in its order.
    void orderRequested(int column);
    // The person current or selected changed.
    void selectionChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<int> codes_;
    QHeaderView* header_;
    QListView* list_;
    CFoundPeopleModel* model_;
};
