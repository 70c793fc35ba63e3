#pragma once
// CRecordSearch: finds people by what their records say, in one database
// or several, and hands them over by position: the count first, then any
// person i (database, entry, surname, given names, summary, fields, full
// text, and where the query matched) without reading the others.
//
// Each database is answered from its word index in the user's cache
// (browse/word_index/), built on its first query, or, where no index can
// be kept, by reading every record: the answers are the same.
//
// A search object owns its own files, so one may run on a worker thread
// while the interface thread keeps another; a newer query cancels an older
// one through the cancel flag, which is polled throughout. Nothing is shown
// to the user from here: errors come back as values.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browse/facets/facet_counts.h"
#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_query.h"
#include "browse/record_search/record_search_outcome.h"
#include "browse/word_index/word_index_reader.h"
#include "store/data_disk.h"
#include "store/store_error.h"

class CDirectories;
class CRecordDatabase;

// What a search holds between calls (record_search_state.h).
namespace record_search_state {
struct Database;
struct State;
}  // namespace record_search_state

struct RecordSearchRequest {
    record_query::Query query;
    // A word naming a state, a rank or a month also matches the forms
    // records write for it (browse/abbreviations/abbreviated_query.h).
    bool abbreviations = false;
    record_fields::FieldChoice field;
    // The databases, in the order their people are given.
    std::vector<int> codes;
    // A database whose files are not on the disk is passed over (and named
    // in skipped) rather than failing the search.
    bool skipMissing = false;
    // Asks for the data disk as a search does; without one a missing disk
    // fails at once (a search that follows typing, or runs on a worker thread).
    DiskPrompt prompt;
    // The people walked to count them are kept for listing (a list read to
    // its end is then read once); off for a caller that wants the count and
    // at most a first page: only the first kFirstListing are kept.
    bool keepWalked = true;
};

class CRecordSearch {
public:
    // The people kept of those walked to count them when not all are; each
    // later listing lists twice as many as asked, from the start.
    static constexpr std::int64_t kFirstListing = 64;

    // cacheFolder: where word indexes are kept (see word_index::CacheFolder);
    // empty: none are kept, every query reads the records.
    CRecordSearch(const CDirectories& dirs, std::string cacheFolder);
    ~CRecordSearch();
    CRecordSearch(const CRecordSearch&) = delete;
    CRecordSearch& operator=(const CRecordSearch&) = delete;

    void SetProgress(std::function<void(const FindProgress&)> progress) { progress_ = std::move(progress); }
    void SetCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // Runs a query. On Done the people are counted and can be fetched.
    FindOutcome Run(const RecordSearchRequest& request);

    std::int64_t Count() const;
    // The people found in database code.
    std::int64_t CountIn(int code) const;
    // Person i (0 .. Count() - 1) in result order: databases in the order
    // asked, people in entry order.
    StoreError Person(std::int64_t i, RecordHit& person);
    // Counts what request asks over the people the last Run found: Done
    // with counts; UsageError when a field of request names a heading none
    // of the databases searched has (usage says which headings there are);
    // Cancelled; Failed when a file could not be read. A database without
    // the field asked for adds nothing to its years or values.
    FindOutcome Facets(const facets::FacetRequest& request, facets::FacetCounts& counts);
    // Puts the people the last Run found in sort's order, from their names
    // alone (no record is read): Person and EntryAt give them so until the
    // next Run. Done; Cancelled (the order found stays); Failed when a
    // name could not be read.
    FindOutcome Sort(const PeopleSort& sort);
    // Only the database and entry of person i (code 0 past the end).
    StoreError EntryAt(std::int64_t i, int& code, std::int32_t& entry);
    // The files of the database opened last, for reads beside the search
    // (a row's summary): valid until the next call.
    CRecordDatabase& Files();

    // Whether database code has a sound, current index in the cache.
    bool IndexReady(int code);
    // Gives database code a sound, current index in the cache, building it
    // (with progress; the cancel flag stops it, leaving nothing behind) when
    // it has none, as its first query would. Done when it has one, or when
    // none can be kept (scanned then names code: its queries read every
    // record); NoDisk without the data disk (no prompt); Cancelled; Failed
    // when a file of the database is missing or unreadable.
    FindOutcome PrepareIndex(int code);

    // The headings of the fields of database code as the last Run read
    // them from the disk (the label table's for a database it did not search).
    FieldHeadings HeadingsOf(int code) const;

    // Checks a field choice against databases: an error (naming the
    // headings there are) when it names a heading none of them has.
    // option: how the message names where the field was given. By codes
    // alone: the label tables' headings.
    static bool CheckField(const record_fields::FieldChoice& field,
                           const std::vector<FieldHeadings>& databases, std::string& error,
                           const char* option = "--field");
    static bool CheckField(const record_fields::FieldChoice& field, const std::vector<int>& codes,
                           std::string& error, const char* option = "--field");

private:
    using Database = record_search_state::Database;
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed); }
    FindOutcome SearchOne(int code, Database& result);
    StoreError Locate(std::int64_t i, Database*& found, std::int32_t& entry);
    // The place found of person i of the order asked (record_order.cpp).
    std::int64_t FoundPosition(std::int64_t i) const;
    StoreError Scan(Database& result, const CRecordMatcher& matcher);
    // Every person found in result listed (an error when fewer are found
    // than were counted).
    StoreError ListAll(Database& result);
    // The surname of a person found in result, as the index holds it.
    StoreError SurnameOf(Database& result, std::int32_t entry, std::string& surname);
    // The years and values of the people of result, read from its records.
    StoreError TallyRecords(Database& result, const record_fields::FieldSet* yearSlots,
                            const record_fields::FieldSet* valueSlots, facets::CYearTally& years,
                            facets::CValueTally& values);
    // Lists at least the first wanted people of a database answered by its index.
    StoreError Materialize(Database& result, std::int64_t wanted);
    StoreError Fingerprints(int code, FileFingerprint (&files)[word_index::kFileCount]);
    // The index of code, opened, or built first when build allows; rebuild
    // builds it over whatever the cache holds (found damaged while answering).
    word_index::IndexStatus OpenIndex(int code, word_index::CWordIndexReader& reader, bool build,
                                      const FileFingerprint (&files)[word_index::kFileCount],
                                      bool rebuild = false);
    // Counts the people of result from its index; Ready when it could.
    word_index::IndexStatus Indexed(Database& result);

    const CDirectories& dirs_;
    std::string cacheFolder_;
    std::function<void(const FindProgress&)> progress_;
    const std::atomic<bool>* cancel_ = nullptr;
    using State = record_search_state::State;
    std::unique_ptr<State> state_;
};
