#pragma once
// CFoundPeopleModel: the people a record search found, as the Find in
// Records list shows them: one item per person, in result order. It holds
// the people read so far and asks for the next batch (fetchWanted) as the
// view scrolls towards them, so that any number of people is shown
// without reading them all.
//
// Each item's text (Qt::DisplayRole, which screen readers read) is the
// whole row: database, surname, given names and where the query matched,
// without marks; the delegate paints the columns from kColumnRole.

#include <cstdint>
#include <vector>

#include <QAbstractListModel>
#include <QStringList>

#include "ui/find_records/record_finder.h"

class CFoundPeopleModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Column { kDatabaseColumn, kSurnameColumn, kGivenColumn, kMatchColumn, kColumnCount };
    // A QStringList of the columns, the match with its marks.
    static constexpr int kColumnRole = Qt::UserRole + 1;

    explicit CFoundPeopleModel(QObject* parent) : QAbstractListModel(parent) {}

    // The people of a new answer: count in all, the first of them read.
    void SetPeople(std::uint64_t generation, std::int64_t count, std::vector<CRecordFinder::Row> rows);
    // More of them, read from first on; ignored unless they follow those held.
    void AddPeople(std::uint64_t generation, std::int64_t first, std::vector<CRecordFinder::Row> rows);
    // A batch that could not be read: no more are asked for until the next answer.
    void StopFetching() { fetchFailed_ = true; }

    std::uint64_t Generation() const { return generation_; }
    std::int64_t Count() const { return count_; }
    // The person of a row read, or null.
    const CRecordFinder::Row* Person(int row) const;
    // The row of a person read, or -1.
    int RowOf(int code, std::int32_t entry) const;

    static QString ColumnHead(int column);
    // A row's text as screen readers hear it, and as Copy takes it (tab-separated).
    static QString Spoken(const CRecordFinder::Row& row);
    static QString CopyLine(const CRecordFinder::Row& row);
    // The match without its marks.
    static QString Unmarked(const QString& match);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // The view wants the people from first on (count of them).
    void fetchWanted(std::uint64_t generation, std::int64_t first, int count);

private:
    std::uint64_t generation_ = 0;
    std::int64_t count_ = 0;
    std::vector<CRecordFinder::Row> rows_;
    bool fetching_ = false;
    bool fetchFailed_ = false;
};
