#include "ui/research_log/logged_search_model.h"

#include "ui/research_log/log_report.h"
#include "ui/research_log/viewer_log.h"

CLoggedSearchModel::CLoggedSearchModel(CViewerLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log) {}

void CLoggedSearchModel::SetFilter(const research_log::SearchFilter& filter) {
    beginResetModel();
    filter_ = filter;
    searches_.clear();
    total_ = 0;
    atEnd_ = false;
    // A log that cannot be read lists nothing; what is wrong is said when it is next written.
    if (log_.Log().CountSearches(filter_, total_).Failed()) {
        total_ = 0;
        atEnd_ = true;
    }
    endResetModel();
    if (!atEnd_) fetchMore(QModelIndex());
}

const research_log::LoggedSearch* CLoggedSearchModel::Search(int row) const {
    return row >= 0 && row < static_cast<int>(searches_.size()) ? &searches_[static_cast<std::size_t>(row)]
                                                                : nullptr;
}

int CLoggedSearchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(searches_.size());
}

int CLoggedSearchModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

bool CLoggedSearchModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !atEnd_;
}

void CLoggedSearchModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || atEnd_) return;
    const std::int64_t before = searches_.empty() ? 0 : searches_.back().id;
    std::vector<research_log::LoggedSearch> page;
    if (log_.Log().Searches(filter_, before, kPage, page).Failed() || page.empty()) {
        atEnd_ = true;
        return;
    }
    atEnd_ = page.size() < kPage;
    const int first = static_cast<int>(searches_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(page.size()) - 1);
    for (auto& search : page) searches_.push_back(std::move(search));
    endInsertRows();
}

QVariant CLoggedSearchModel::data(const QModelIndex& index, int role) const {
    const research_log::LoggedSearch* search = Search(index.row());
    if (search == nullptr || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return QVariant();
    switch (index.column()) {
        case kWhenColumn:
            return log_report::WhenOf(search->time);
        case kDatabaseColumn:
            return log_report::DatabaseOf(search->asked.database);
        case kAskedColumn:
            return log_report::AskedOf(search->asked);
        case kFoundColumn:
            return log_report::FoundOf(*search);
        default:
            return QVariant();
    }
}

QVariant CLoggedSearchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
        case kWhenColumn:
            return QStringLiteral("When");
        case kDatabaseColumn:
            return QStringLiteral("Database");
        case kAskedColumn:
            return QStringLiteral("What was asked");
        case kFoundColumn:
            return QStringLiteral("Found");
        default:
            return QVariant();
    }
}
