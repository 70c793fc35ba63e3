#include "ui/find_surname/surname_match_model.h"

#include <utility>

#include "ui/common/cp1252_qt.h"
#include "ui/common/database_title.h"

void CSurnameMatchModel::SetMatches(std::vector<ListedSurname> matches) {
    beginResetModel();
    matches_ = std::move(matches);
    endResetModel();
}

const ListedSurname* CSurnameMatchModel::Match(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= matches_.size()) return nullptr;
    return &matches_[static_cast<std::size_t>(row)];
}

int CSurnameMatchModel::RowOf(int code, const std::string& surname) const {
    for (std::size_t i = 0; i < matches_.size(); ++i) {
        if (matches_[i].code == code && matches_[i].surname == surname) return static_cast<int>(i);
    }
    return -1;
}

long CSurnameMatchModel::PeopleCount() const {
    long people = 0;
    for (const ListedSurname& match : matches_) people += match.count;
    return people;
}

int CSurnameMatchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(matches_.size());
}

int CSurnameMatchModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CSurnameMatchModel::data(const QModelIndex& index, int role) const {
    const ListedSurname* match = Match(index.row());
    if (match == nullptr) return QVariant();
    if (role == Qt::TextAlignmentRole && index.column() == kPeopleColumn) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return QVariant();
    switch (index.column()) {
        case kDatabaseColumn:
            return DatabaseTitle(match->code);
        case kSurnameColumn:
            return cp1252::ToQString(match->surname.data(), match->surname.size());
        case kPeopleColumn:
            return QString::number(match->count);
        default:
            return QVariant();
    }
}

QVariant CSurnameMatchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
        case kDatabaseColumn:
            return QStringLiteral("Database");
        case kSurnameColumn:
            return QStringLiteral("Surname");
        case kPeopleColumn:
            return QStringLiteral("People");
        default:
            return QVariant();
    }
}
