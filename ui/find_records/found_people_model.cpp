#include "ui/find_records/found_people_model.h"

#include <algorithm>
#include <climits>

#include "ui/common/database_title.h"

namespace {

std::int64_t BatchOf(std::int64_t row) { return row - row % CRecordFinder::kBatch; }

}  // namespace

void CFoundPeopleModel::SetPeople(std::uint64_t generation, std::int64_t count,
                                  std::vector<CRecordFinder::Row> rows) {
    beginResetModel();
    generation_ = generation;
    count_ = count;
    batches_.clear();
    asked_.clear();
    seen_.clear();
    MarkSeen(rows);
    if (!rows.empty()) batches_.emplace(0, std::move(rows));
    fetchFailed_ = false;
    endResetModel();
}

void CFoundPeopleModel::AddPeople(std::uint64_t generation, std::int64_t first,
                                  std::vector<CRecordFinder::Row> rows) {
    if (generation != generation_ || asked_.erase(first) == 0) return;
    if (rows.empty()) return;
    const int last =
        static_cast<int>(std::min<std::int64_t>(first + static_cast<std::int64_t>(rows.size()), rowCount())) -
        1;
    MarkSeen(rows);
    batches_[first] = std::move(rows);
    Trim(first);
    if (last >= first) emit dataChanged(index(static_cast<int>(first)), index(last));
}

void CFoundPeopleModel::Trim(std::int64_t keep) {
    while (static_cast<int>(batches_.size()) > kHeldBatches) {
        // The batch at either end farther from the one kept goes; the first stays (the answer's own).
        auto front = std::next(batches_.begin());
        auto back = std::prev(batches_.end());
        const auto far = (keep - front->first) > (back->first - keep) ? front : back;
        if (far->first == keep) break;
        batches_.erase(far);
    }
}

void CFoundPeopleModel::SetSeenTest(SeenTest test) {
    seenTest_ = std::move(test);
    seen_.clear();
    for (const auto& batch : batches_) MarkSeen(batch.second);
    if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1));
}

void CFoundPeopleModel::MarkSeen(const std::vector<CRecordFinder::Row>& rows) {
    if (!seenTest_ || rows.empty()) return;
    std::vector<research_log::PersonPlace> places(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        places[i].code = rows[i].code;
        places[i].entry = rows[i].entry;
    }
    const std::vector<bool> seen = seenTest_(places);
    for (std::size_t i = 0; i < rows.size() && i < seen.size(); ++i) {
        if (seen[i]) seen_.insert({rows[i].code, rows[i].entry});
    }
}

void CFoundPeopleModel::AskSeen(int code, std::int32_t entry) {
    const int row = RowOf(code, entry);
    if (row < 0 || !seenTest_) return;
    research_log::PersonPlace place;
    place.code = code;
    place.entry = entry;
    const std::vector<bool> seen = seenTest_({place});
    if (!seen.empty() && seen.front()) {
        seen_.insert({code, entry});
    } else {
        seen_.erase({code, entry});
    }
    emit dataChanged(index(row), index(row));
}

const CRecordFinder::Row* CFoundPeopleModel::Person(int row) const {
    if (!Holds(row)) return nullptr;
    const auto batch = batches_.find(BatchOf(row));
    if (batch == batches_.end()) return nullptr;
    const auto k = static_cast<std::size_t>(row - batch->first);
    return k < batch->second.size() ? &batch->second[k] : nullptr;
}

void CFoundPeopleModel::Want(int row) const {
    const std::int64_t first = BatchOf(row);
    if (fetchFailed_ || batches_.count(first) != 0 || asked_.count(first) != 0) return;
    asked_.insert(first);
    emit const_cast<CFoundPeopleModel*>(this)->fetchWanted(generation_, first, CRecordFinder::kBatch);
}

int CFoundPeopleModel::RowOf(int code, std::int32_t entry) const {
    for (const auto& [first, rows] : batches_) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].code == code && rows[i].entry == entry)
                return static_cast<int>(first) + static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<const CRecordFinder::Row*> CFoundPeopleModel::PeopleRead() const {
    std::vector<const CRecordFinder::Row*> people;
    for (const auto& batch : batches_) {
        for (const CRecordFinder::Row& row : batch.second) people.push_back(&row);
    }
    return people;
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

QString CFoundPeopleModel::Spoken(const CRecordFinder::Row& row, bool seen) {
    QStringList parts{DatabaseTitle(row.code), row.surname, row.givenNames, Unmarked(row.match)};
    parts.removeAll(QString());
    if (seen) parts << QStringLiteral("seen before");
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
    // A view counts its rows in int: a larger answer lists its first INT_MAX people.
    return parent.isValid() ? 0 : static_cast<int>(std::min<std::int64_t>(count_, INT_MAX));
}

QVariant CFoundPeopleModel::data(const QModelIndex& index, int role) const {
    const CRecordFinder::Row* row = Person(index.row());
    if (row == nullptr) {
        // Shown: the batch is asked for, and the row stays empty until it comes.
        if (Holds(index.row()) && (role == Qt::DisplayRole || role == kColumnRole)) Want(index.row());
        return QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return Spoken(*row, Seen(*row));
        case Qt::ToolTipRole:
            // The whole of where the query matched, which the column may cut.
            return Unmarked(row->match);
        case kColumnRole:
            return QStringList{DatabaseTitle(row->code), row->surname, row->givenNames, row->match};
        case kSeenRole:
            return Seen(*row);
        default:
            return QVariant();
    }
}
