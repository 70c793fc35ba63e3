#pragma once
// CLoggedSearchModel: the searches of the research log, newest first, as
// the Research Log window lists them: when, the database, what was asked
// and what it found. The log may hold a great many: the model reads them a
// page at a time as the list is scrolled, and counts them without reading
// them all.

#include <cstdint>
#include <vector>

#include <QAbstractTableModel>

#include "browse/research_log/log_entries.h"

class CViewerLog;

class CLoggedSearchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kWhenColumn, kDatabaseColumn, kAskedColumn, kFoundColumn, kColumns };
    static constexpr std::size_t kPage = 200;

    CLoggedSearchModel(CViewerLog& log, QObject* parent = nullptr);

    // Reads again from the newest, with filter; the total is counted.
    void SetFilter(const research_log::SearchFilter& filter);
    void Reload() { SetFilter(filter_); }
    std::int64_t Total() const { return total_; }
    const research_log::LoggedSearch* Search(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    CViewerLog& log_;
    research_log::SearchFilter filter_;
    std::vector<research_log::LoggedSearch> searches_;
    std::int64_t total_ = 0;
    bool atEnd_ = true;
};
