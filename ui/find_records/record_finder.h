#pragma once
// CRecordFinder: the record searches of the Find in Records dialog, run off
// the interface thread so that typing never waits for them.
//
// Two worker threads, each with a record search of its own:
// - the query thread answers the newest query (a newer one cancels an older
//   one at once) and reads the people the list asks for, in batches;
// - the index thread makes the word index of each database that has none
//   yet, one at a time, with progress, until cancelled.
// A query leaves out the databases whose index is being made (the answer
// names them), so the dialog answers at once for the databases that are
// ready; once an index is made the dialog asks again.
//
// Answers, batches and progress come back to the interface thread as
// signals. Commands on the people found (copy, export, print) read them on
// the interface thread, under the lock the query thread holds while it
// works, from the search of the answer shown.
//
// The finder lives as long as the window, so that the indexes opened and
// what was learnt of each database are kept from one opening of the
// dialog to the next.

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_query.h"
#include "browse/record_search/index_states.h"
#include "browse/record_search/record_search_outcome.h"

class CDirectories;
class CRecordSearch;

class CRecordFinder : public QObject {
    Q_OBJECT
public:
    // What a query asks.
    struct Query {
        record_query::Query query;
        record_fields::FieldChoice field;
        std::vector<int> codes;  // in list-row order
        // The order of the people; by their place found unless asked.
        PeopleSort sort;
        // A word naming a state, a rank or a month also matches the forms records write for it.
        bool abbreviations = false;
    };

    // One person as the list shows them (the texts converted from the disk's
    // Windows-1252): where the query matched, each field as "Heading: words
    // around the match", the matched words between kMarkOpen and kMarkClose.
    struct Row {
        int code = 0;
        std::int32_t entry = -1;
        QString surname;
        QString givenNames;
        QString summary;
        QString match;
    };
    static constexpr char16_t kMarkOpen = u'\x01';
    static constexpr char16_t kMarkClose = u'\x02';

    // The answer to a query.
    struct Answer {
        std::uint64_t generation = 0;
        FindOutcome outcome;
        std::int64_t count = 0;
        // Left out for now: their index is being made, or its making was cancelled.
        std::vector<int> waiting;
        std::vector<int> declined;
        // The first people, and what failed while they were read.
        std::vector<Row> rows;
        StoreError rowsError;
        // The headings of the fields of the databases searched, as the disk gave them.
        std::map<int, FieldHeadings> headings;
    };

    // The cache of word indexes: word_index::CacheFolder() in the program.
    CRecordFinder(const CDirectories& dirs, std::string cacheFolder, QObject* parent = nullptr);
    // The cache it was given, for other searches of the same indexes.
    const std::string& CacheFolder() const { return cacheFolder_; }
    ~CRecordFinder() override;

    // Asks query; the answer comes as answered with the generation returned.
    std::uint64_t Start(const Query& query);
    // Asks for the people from first on (count of them) of the answer of
    // generation; they come as rowsFetched, unless a newer query came. The
    // batch asked last is read first: it is the one the list shows now.
    void Fetch(std::uint64_t generation, std::int64_t first, int count);

    // Stops the making of indexes, that under way and those waiting; their
    // databases are left out (declined) until MakeDeclinedIndexes.
    void CancelIndexing();
    void MakeDeclinedIndexes();

    // Called on the index thread before each index is made, with its
    // database: a seam for the tests, which hold the making there.
    void SetIndexGate(std::function<void(int code)> gate);

    // On the interface thread, for commands: person i of the answer of
    // generation, or every person of it in order (visit returns false to
    // stop). Stale: a newer query has been answered meanwhile.
    enum class Read { Done, Stale, Failed };
    Read Person(std::uint64_t generation, std::int64_t i, RecordHit& person, StoreError& error);
    Read ForEachPerson(std::uint64_t generation, const std::function<bool(const RecordHit&)>& visit,
                       StoreError& error);

    // A person as the list shows them, the fields where they matched named
    // by headings (those of their database).
    static Row RowOf(const RecordHit& person, const FieldHeadings& headings);

    // How many people to read for the list at a time.
    static constexpr int kBatch = 64;

signals:
    void answered(const CRecordFinder::Answer& answer);
    void rowsFetched(quint64 generation, qint64 first, const std::vector<CRecordFinder::Row>& rows,
                     const StoreError& error);
    // The index of code is being made: done of total people read; waiting:
    // the databases after it.
    void indexProgress(int code, qint64 done, qint64 total, int waiting);
    // An index was made (or could not be): a query that left it out may be asked again.
    void indexed(int code);

private:
    struct FetchJob {
        std::uint64_t generation;
        std::int64_t first;
        int count;
    };

    void QueryThread();
    void IndexThread();
    Answer Ask(std::uint64_t generation, const Query& query);
    std::vector<Row> ReadRows(std::int64_t first, int count, StoreError& error);
    // Posts fn to run on the interface thread.
    void Post(std::function<void()> fn);
    // Where the query's databases go; begins the making of the indexes it needs.
    IndexPlan PlanQuery(const std::vector<int>& codes);

    const CDirectories& dirs_;
    const std::string cacheFolder_;
    std::unique_ptr<CRecordSearch> search_;   // the query thread's, under searchLock_
    std::unique_ptr<CRecordSearch> indexer_;  // the index thread's alone
    std::mutex searchLock_;
    std::uint64_t answeredGeneration_ = 0;  // the query search_ holds, under searchLock_

    std::mutex jobsLock_;
    std::condition_variable jobsChanged_;
    std::optional<std::pair<std::uint64_t, Query>> nextQuery_;
    std::deque<FetchJob> fetches_;
    std::deque<int> toIndex_;
    // What is known of each database's index.
    CIndexStates states_;
    std::uint64_t latest_ = 0;
    std::function<void(int)> indexGate_;
    bool stopping_ = false;
    std::atomic<bool> queryCancel_{false};
    std::atomic<bool> indexCancel_{false};

    std::thread queryThread_;
    std::thread indexThread_;
};
