#pragma once
// CSurnameMatchModel: the matches of a surname listing as a table for the
// Find Surname dialog, one row per match in the listing's order: the
// database's title, the surname as the index holds it, and the number of
// people.

#include <string>
#include <vector>

#include <QAbstractTableModel>

#include "browse/names/surname_listing.h"

class CSurnameMatchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kDatabaseColumn, kSurnameColumn, kPeopleColumn, kColumnCount };

    explicit CSurnameMatchModel(QObject* parent) : QAbstractTableModel(parent) {}

    void SetMatches(std::vector<ListedSurname> matches);
    // The match of a row, or null.
    const ListedSurname* Match(int row) const;
    // The row of a match, or -1.
    int RowOf(int code, const std::string& surname) const;
    const std::vector<ListedSurname>& Matches() const { return matches_; }
    // The people of every match together.
    long PeopleCount() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ListedSurname> matches_;
};
