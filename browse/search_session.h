#pragma once
// CSearchSession: the record database, the query and the pager of one
// window (or one tool run), and the operations a user performs on them: a
// search, Prev and Next, the full text of a row. The viewer, the tools, the
// benchmarks, the fuzz harnesses and the tests all drive a search through
// it, so the sequence of a search exists once.
//
// The session is the one place that tells the user what went wrong: the
// store hands its errors up as values and the session shows their messages.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "browse/found_person.h"
#include "browse/result_pager.h"
#include "store/disk_label.h"
#include "store/record_database.h"
#include "store/search_query.h"
#include "store/store_error.h"

class CDirectories;

enum class SearchStatus {
    Found,      // the surname is in the index; the first page is read
    NotFound,   // the surname is not in the index: no failure, no rows
    Cancelled,  // the user cancelled the insert-disk prompt
    Refused,    // no database for the row or code, or the query refused the text
    Failed,     // a file was missing, damaged or unreadable, or history.buf failed
};

struct SearchOutcome {
    SearchStatus status = SearchStatus::NotFound;
    // What failed, for Failed; the message has been shown.
    StoreError error;
};

class CSearchSession {
public:
    // The view reads at most 19 characters of surname and 250 of first name.
    static constexpr std::size_t kMaxSurname = disk_format::kMaxSurname;
    static constexpr std::size_t kMaxFirstName = 250;

    explicit CSearchSession(const CDirectories& dirs);
    ~CSearchSession();
    CSearchSession(const CSearchSession&) = delete;
    CSearchSession& operator=(const CSearchSession&) = delete;

    // The Search button: the database of combo row row (-1: none), surname
    // and, when not null or empty, the first-name filter.
    SearchOutcome Search(int row, const char* surname, const char* firstName);
    // The same on a database given by its code 1..14, for the tools, which
    // also reach the roll that no list row selects.
    SearchOutcome SearchCode(int code, const char* surname, const char* firstName);

    // The data-disk check that the view makes before a page turn and More Info.
    bool CheckDataDisk();
    // Prev and Next. False when the page could not be read: the message has
    // been shown, and the page, the count and the Prev/Next states are as
    // they were; LastError() says what failed.
    bool NextPage();
    bool PrevPage();
    // Full text of a row of the page (an empty text for any other row);
    // null when the record could not be read, after its message.
    const char* GetFullText(int row);
    // Every hit of the search shown (all pages, after the first-name
    // filter), for export. False when a record could not be read, after
    // its message.
    bool CollectHits(std::vector<ExportedHit>& hits);
    // The same hits one at a time, for the family-tree export of a search
    // of any size; visit returns false to stop. False as CollectHits.
    bool ForEachPerson(const std::function<bool(const FoundPerson&)>& visit);
    // The person of a row of the page, with the entry number that finds
    // them again (code 0 for any other row); false as GetFullText.
    bool PersonOfRow(int row, FoundPerson& person);
    // What the data disk says of itself, for citations and exports; false
    // when its marker could not be read, after its message.
    bool ReadDiskLabel(DiskLabel& label);
    // What the last page turn, full text, collection or label read failed on.
    const StoreError& LastError() const { return lastError_; }
    // Clear: no rows, the count 0, the scratch file emptied.
    void Reset();

    void SetPageSize(bool largeText) { pager_.SetPageSize(largeText); }
    // "Match name variants": the first-name filter of the searches that
    // follow also keeps variants and initials of the first name typed.
    void SetNameVariants(bool on) { pager_.SetNameVariants(on); }
    std::int32_t PageSize() const { return pager_.PageSize(); }
    std::int32_t RowsOnPage() const { return pager_.RowsOnPage(); }
    std::int32_t RecordCount() { return pager_.RecordCount(); }
    bool HasNext() { return pager_.HasNext(); }
    bool HasPrev() { return pager_.HasPrev(); }
    // Row i as "%s\t%s\t%s" into out (CResultPager::kRowTextSize bytes).
    void FormatRow(int i, char* out) const { pager_.FormatRow(i, out); }

    // Closes the database files; the scratch file stays on disk.
    void Close();

    CRecordDatabase& Database() { return database_; }
    CSearchQuery& Query() { return query_; }
    CResultPager& Pager() { return pager_; }
    const CResultPager& Pager() const { return pager_; }

private:
    SearchOutcome Run(bool byRow, int code, int row, const char* surname, const char* firstName);
    // Shows the message of error (a bad index signature then ends the
    // process, as it always has); returns the outcome Failed with it.
    SearchOutcome Fail(const StoreError& error);
    // Shows the message of a failed page turn or full text; false.
    bool Report(const StoreError& error);

    CRecordDatabase database_;
    CSearchQuery query_;
    CResultPager pager_;
    StoreError lastError_;
};
