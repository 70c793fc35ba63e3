#pragma once
// CFoundPeopleModel: the people a record search found, as the Find in
// Records list shows them: one item per person, in result order, every
// person of the answer from the start, so that the list's end, its page
// keys and its scroll bar reach the whole result. The people are read in
// batches as the view shows them (fetchWanted); a person not read yet is
// an empty row until their batch comes. Only the batches near those
// shown last are held, so that any number of people costs little.
//
// Each item's text (Qt::DisplayRole, which screen readers read) is the
// whole row: database, surname, given names and where the query matched,
// without marks, and "seen before" for a person whose More Info was read
// before; the delegate paints the columns from kColumnRole, and the seen
// mark from kSeenRole.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include <QAbstractListModel>
#include <QStringList>

#include "browse/research_log/log_entries.h"
#include "ui/find_records/record_finder.h"

class CFoundPeopleModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Column { kDatabaseColumn, kSurnameColumn, kGivenColumn, kMatchColumn, kColumnCount };
    // A QStringList of the columns, the match with its marks.
    static constexpr int kColumnRole = Qt::UserRole + 1;
    // A bool: the person was seen before.
    static constexpr int kSeenRole = Qt::UserRole + 2;
    // How many batches are held at the most.
    static constexpr int kHeldBatches = 64;

    explicit CFoundPeopleModel(QObject* parent) : QAbstractListModel(parent) {}

    // The people of a new answer: count in all, the first of them read.
    void SetPeople(std::uint64_t generation, std::int64_t count, std::vector<CRecordFinder::Row> rows);
    // A batch read, from first on; ignored unless of this answer and asked for.
    void AddPeople(std::uint64_t generation, std::int64_t first, std::vector<CRecordFinder::Row> rows);
    // A batch that could not be read: no more are asked for until the next answer.
    void StopFetching() { fetchFailed_ = true; }

    // Which of places were seen before, one flag a place in order (the
    // research log's seen marks); asked of every batch as it comes.
    using SeenTest = std::function<std::vector<bool>(const std::vector<research_log::PersonPlace>&)>;
    // Asks test of the people held at once, and of every batch after.
    void SetSeenTest(SeenTest test);
    // Asks the test again of the person at entry of database code, when
    // held: their More Info was just opened.
    void AskSeen(int code, std::int32_t entry);
    bool Seen(const CRecordFinder::Row& row) const { return seen_.count({row.code, row.entry}) != 0; }

    std::uint64_t Generation() const { return generation_; }
    std::int64_t Count() const { return count_; }
    // The person of a row, when read (null otherwise).
    const CRecordFinder::Row* Person(int row) const;
    // Whether row is one of the people found, read or not.
    bool Holds(int row) const { return row >= 0 && row < rowCount(); }
    // The row of a person read, or -1.
    int RowOf(int code, std::int32_t entry) const;
    // The people read, in row order (for widths measured on what is shown).
    std::vector<const CRecordFinder::Row*> PeopleRead() const;

    static QString ColumnHead(int column);
    // A row's text as screen readers hear it (seen: said after it), and as
    // Copy takes it (tab-separated).
    static QString Spoken(const CRecordFinder::Row& row, bool seen = false);
    static QString CopyLine(const CRecordFinder::Row& row);
    // The match without its marks.
    static QString Unmarked(const QString& match);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    // The view wants the people from first on (count of them).
    void fetchWanted(std::uint64_t generation, std::int64_t first, int count);

private:
    // Asks for the batch of row unless it is held or asked for.
    void Want(int row) const;
    // Lets go of the batches farthest from keep, past kHeldBatches.
    void Trim(std::int64_t keep);
    // Asks the seen test of rows, keeping the people it says were seen.
    void MarkSeen(const std::vector<CRecordFinder::Row>& rows);

    std::uint64_t generation_ = 0;
    std::int64_t count_ = 0;
    // The batches read, by their first row.
    std::map<std::int64_t, std::vector<CRecordFinder::Row>> batches_;
    // Asked for and not come yet (data() is const but asks).
    mutable std::set<std::int64_t> asked_;
    bool fetchFailed_ = false;
    SeenTest seenTest_;
    // The people held that were seen before, by database code and entry.
    std::set<std::pair<int, std::int32_t>> seen_;
};
