#pragma once
// CSearchSession: the record database, the query and the pager of one
// window (or one tool run), and the operations a user performs on them: a
// search, a page turn, the full text of a row, every hit for export. The
// viewer, the tools, the benchmarks, the fuzz harnesses and the tests all
// drive a search through it, so the sequence of each operation, with the
// data-disk check where it needs one, exists once.
//
// The session shows nothing. Each operation returns an outcome with the
// messages for the user, in the order they arose; the caller shows them
// (the viewer in boxes, the tools on standard error). The one question
// asked in the middle of an operation, the insert-disk prompt, is the
// DiskPrompt that the program hands to the session.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browse/record_text/found_person.h"
#include "browse/session/result_pager.h"
#include "store/data_disk.h"
#include "store/database_about.h"
#include "store/disk_label.h"
#include "store/record_database.h"
#include "store/search_query.h"
#include "store/store_error.h"

class CDirectories;

enum class SearchStatus {
    Found,  // done: the surname is in the index and the first page is read, the page turned, the record read
    NotFound,   // the surname is not in the index: no failure, no rows
    Cancelled,  // the user cancelled the insert-disk prompt
    Refused,    // nothing to do: no database for the row or code, a text too long, no page or row to go to
    Failed,     // a file was missing, damaged or unreadable, or history.buf failed
};

// What an operation came to.
struct SearchOutcome {
    SearchStatus status = SearchStatus::NotFound;
    // What failed, for Failed.
    StoreError error;
    // What to tell the user, in order (see search_messages.h).
    std::vector<std::string> messages;
    // What the last message leaves out: the folder and why (see DetailsOf).
    std::string details;

    bool Done() const { return status == SearchStatus::Found || status == SearchStatus::NotFound; }
    // "wrong file format!": once its message is shown the program ends with status 1.
    bool EndsProgram() const { return error.kind == StoreErrorKind::BadIndexSignature; }
};

// More Info of a row: its title and full text (CR LF lines) when Done.
struct RecordOutcome : SearchOutcome {
    std::string title;
    std::string text;
};

class CSearchSession {
public:
    // The view reads at most 19 characters of surname and 250 of first name.
    static constexpr std::size_t kMaxSurname = disk_format::kMaxSurname;
    static constexpr std::size_t kMaxFirstName = 250;
    static constexpr std::size_t kMaxListedSurname = disk_format::kMaxKeySurname;

    // prompt asks for the data disk when its marker is missing; without one
    // an absent disk cancels the operation at once.
    explicit CSearchSession(const CDirectories& dirs, DiskPrompt prompt = {});
    ~CSearchSession();
    CSearchSession(const CSearchSession&) = delete;
    CSearchSession& operator=(const CSearchSession&) = delete;

    // The Search button: the database of combo row row (-1: none), surname
    // and, when not null or empty, the first-name filter.
    SearchOutcome Search(int row, const char* surname, const char* firstName);
    // The same on a database given by its code 1..14, for the tools, which
    // also reach the roll that no list row selects.
    SearchOutcome SearchCode(int code, const char* surname, const char* firstName);

    // A surname as a listing found it in the index (Find Surname), on combo
    // row row: searched whole, up to the longest surname an index key holds
    // (kMaxListedSurname), where Search takes the 19 characters the surname
    // edit gives.
    SearchOutcome SearchListed(int row, const char* surname, const char* firstName);

    // Next (forward) or Prev: the data-disk check, then the page. Whatever
    // fails leaves the page, the count and the Prev/Next states as they
    // were. The caller offers a turn only while HasNext (HasPrev) holds.
    SearchOutcome TurnPage(bool forward);
    // More Info of a row of the page: Refused for a row the page does not
    // hold; else the data-disk check, then the record.
    RecordOutcome FullText(int row);
    // Every hit of the search shown (all pages, after the first-name
    // filter), for export and print: Refused without hits; else the
    // data-disk check, then every record. hits is empty unless Done.
    SearchOutcome CollectHits(std::vector<ExportedHit>& hits);
    // The same hits one at a time, for the family-tree export of a search
    // of any size; visit returns false to stop. The data-disk check, then
    // every record (none without hits).
    SearchOutcome ForEachPerson(const std::function<bool(const FoundPerson&)>& visit);
    // The person of a row of the page, with the entry number that finds
    // them again and the headings of their fields (code 0 for any other
    // row): the data-disk check, then the record.
    SearchOutcome PersonOfRow(int row, FoundPerson& person);
    // What the data disk says of itself, for citations and exports: Failed
    // when its marker could not be read.
    SearchOutcome ReadDiskLabel(DiskLabel& label);
    // Where the records of database code came from, as the data disk says
    // (nothing where it does not), for the whole record, its print and
    // citations: Failed when that could not be read or is damaged.
    SearchOutcome ReadProvenance(int code, std::vector<ProvenanceEntry>& provenance);
    // Clear: no rows, the count 0, the scratch file emptied.
    void Reset();

    void SetPageSize(bool largeText) { pager_.SetPageSize(largeText); }
    // "Match name variants": the first-name filter of the searches that
    // follow also keeps variants and initials of the first name typed. Off
    // until set; the search shown keeps what it found.
    void SetNameVariants(bool on) { nameVariants_ = on; }
    bool NameVariants() const { return nameVariants_; }
    std::int32_t PageSize() const { return pager_.PageSize(); }
    std::int32_t RowsOnPage() const { return pager_.RowsOnPage(); }
    std::int32_t RecordCount() const { return pager_.RecordCount(); }
    bool HasNext() const { return pager_.HasNext(); }
    bool HasPrev() const { return pager_.HasPrev(); }
    // The page shown, 0 for the first.
    std::int32_t PageIndex() const { return pager_.PageIndex(); }
    // Row i as "%s\t%s\t%s" into out (CResultPager::kRowTextSize bytes).
    void FormatRow(int i, char* out) const { pager_.FormatRow(i, out); }

    // Closes the database files; the scratch file stays on disk.
    void Close();

    CRecordDatabase& Database() { return database_; }
    const CRecordDatabase& Database() const { return database_; }
    CSearchQuery& Query() { return query_; }
    const CSearchQuery& Query() const { return query_; }
    CResultPager& Pager() { return pager_; }
    const CResultPager& Pager() const { return pager_; }

private:
    SearchOutcome Run(bool byRow, int code, int row, const char* surname, const char* firstName,
                      std::size_t maxSurname);
    // The outcome Failed of error, with its message after those already in
    // outcome; a bad index signature closes the database.
    SearchOutcome Fail(SearchOutcome outcome, const StoreError& error);
    // Refused or Cancelled unless the disk is there.
    bool DiskThere();

    CRecordDatabase database_;
    CSearchQuery query_;
    CResultPager pager_;
    DiskPrompt prompt_;
    bool nameVariants_ = false;
};
