#include "ui/find_records/found_people_model.h"

#include <algorithm>

#include "ui/common/database_title.h"

void CFoundPeopleModel::SetPeople(std::uint64_t generation, std::int64_t count,
                                  std::vector<CRecordFinder::Row> rows) {
    beginResetModel();
    generation_ = generation;
    count_ = count;
    rows_ = std::move(rows);
    fetching_ = false;
    fetchFailed_ = false;
    endResetModel();
}

void CFoundPeopleModel::AddPeople(std::uint64_t generation, std::int64_t first,
                                  std::vector<CRecordFinder::Row> rows) {
    if (generation != generation_ || first != static_cast<std::int64_t>(rows_.size())) return;
    fetching_ = false;
    if (rows.empty()) return;
    const int at = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), at, at + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

const CRecordFinder::Row* CFoundPeopleModel::Person(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? &rows_[static_cast<std::size_t>(row)] : nullptr;
}

int CFoundPeopleModel::RowOf(int code, std::int32_t entry) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].code == code && rows_[i].entry == entry) return static_cast<int>(i);
    }
    return -1;
}

QString CFoundPeopleModel::ColumnHead(int column) {
    switch (column) {
        case kDatabaseColumn:
            return QStringLiteral("Database");
        case kSurnameColumn:
            return QStringLiteral("Surname");
        case kGivenColumn:
            return QStringLiteral("Given names");
        default:
            return QStringLiteral("Where it matched");
    }
}

QString CFoundPeopleModel::Unmarked(const QString& match) {
    QString text = match;
    text.remove(QChar(CRecordFinder::kMarkOpen));
    text.remove(QChar(CRecordFinder::kMarkClose));
    return text;
}

QString CFoundPeopleModel::Spoken(const CRecordFinder::Row& row) {
    QStringList parts{DatabaseTitle(row.code), row.surname, row.givenNames, Unmarked(row.match)};
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

QString CFoundPeopleModel::CopyLine(const CRecordFinder::Row& row) {
    QStringList cells{DatabaseTitle(row.code), row.surname, row.givenNames, Unmarked(row.match)};
    // One line per person: a tab or a line break inside a text would start another cell or row.
    for (QString& cell : cells) {
        for (QChar& c : cell) {
            if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                c = QLatin1Char(' ');
        }
    }
    return cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

int CFoundPeopleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant CFoundPeopleModel::data(const QModelIndex& index, int role) const {
    const CRecordFinder::Row* row = Person(index.row());
    if (row == nullptr) return QVariant();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return Spoken(*row);
        case Qt::ToolTipRole:
            // The whole of where the query matched, which the column may cut.
            return Unmarked(row->match);
        case kColumnRole:
            return QStringList{DatabaseTitle(row->code), row->surname, row->givenNames, row->match};
        default:
            return QVariant();
    }
}

bool CFoundPeopleModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !fetching_ && !fetchFailed_ &&
           static_cast<std::int64_t>(rows_.size()) < count_;
}

void CFoundPeopleModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    fetching_ = true;
    emit fetchWanted(generation_, static_cast<std::int64_t>(rows_.size()), CRecordFinder::kBatch);
}
