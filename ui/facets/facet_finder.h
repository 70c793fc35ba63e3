#pragma once
// CFacetFinder: the facets of Find in Records' query, counted off the
// interface thread by a record search of its own, so that the people
// answer first and the counts follow. A newer query cancels an older one.
// It is asked only for databases whose word index is ready (or that can
// have none): it never makes an index, the record finder does.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <QObject>

#include "browse/facets/facet_counts.h"
#include "browse/record_search/record_search.h"

class CDirectories;

class CFacetFinder : public QObject {
    Q_OBJECT
public:
    struct Ask {
        RecordSearchRequest search;
        facets::FacetRequest facets;
    };
    struct Answer {
        std::uint64_t generation = 0;
        FindOutcome outcome;
        facets::FacetCounts counts;
    };

    CFacetFinder(const CDirectories& dirs, std::string cacheFolder, QObject* parent = nullptr);
    ~CFacetFinder() override;

    // Counts ask; the answer comes as answered with the generation returned.
    std::uint64_t Start(Ask ask);

signals:
    void answered(const CFacetFinder::Answer& answer);

private:
    void Work();

    std::unique_ptr<CRecordSearch> search_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::optional<std::pair<std::uint64_t, Ask>> next_;
    std::uint64_t latest_ = 0;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};
