#pragma once
// CResultPager: the outcome of one search and the one page of it that the
// view shows, in direct mode (straight from the .cor range) or filtered mode
// (first-name hits paged from history.buf).
//
// Owns its history buffer; uses the record database without owning it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "browse/record_text/field_headings.h"
#include "browse/record_text/found_person.h"
#include "browse/session/page_row.h"
#include "store/record_database.h"

class CHistoryBuffer;

class CResultPager {
public:
    static constexpr int kMaxRows = 10;
    static constexpr std::size_t kRowTextSize = 500;
    static constexpr std::size_t kFullTextSize = disk_format::kRecordBufferSize;
    static constexpr std::size_t kSurnameSize = 30;

    // Forms "%shistory.buf" from the installation directory of db's
    // directories and creates the history buffer on it.
    explicit CResultPager(CRecordDatabase* db);
    ~CResultPager();
    CResultPager(const CResultPager&) = delete;
    CResultPager& operator=(const CResultPager&) = delete;

    void Reset();
    void SetRange(std::int32_t first, std::int32_t count);
    // Upper-cases text in place and keeps a copy (at most 29 characters).
    void SetSurname(char* text);
    // The operations that read say what went wrong, if anything, and only
    // that: the state is read from RecordCount, HasNext, HasPrev and the rows.
    // A search that fails leaves the Empty state; a page turn that fails
    // leaves the page, the count and the Prev/Next states as they were.
    StoreError ListRange();
    // firstName: the query's first name, upper-cased and padded to 255.
    // With variants, the filter also keeps the people whose first given
    // name is a variant or the initial of the first name typed
    // (given_name_filter.h). The hits of the search shown are walked again
    // (export, print, a row's entry) as they were found, whatever the next
    // search asks.
    StoreError FilterByFirstName(const char* firstName, bool variants);
    // Whether the first-name filter of the search shown kept name variants.
    bool FilterKeptVariants() const { return !direct_ && filterVariants_; }
    StoreError NextPage();
    StoreError PrevPage();
    // The page shown, 0 for the first of a search: the pages turned forward
    // since the search, less those turned back.
    std::int32_t PageIndex() const { return pageIndex_; }

    std::int32_t RecordCount() const;
    std::int32_t RowsOnPage() const { return rowsOnPage_; }
    bool HasNext() const;
    bool HasPrev() const;
    // Row i (0 <= i < rows on page) as "%s\t%s\t%s" into out (500 bytes);
    // any other i gives an empty text.
    void FormatRow(int i, char* out) const;
    void SetPageSize(bool largeText) { pageSize_ = largeText ? 8 : 10; }
    std::int32_t PageSize() const { return pageSize_; }

    // Full text of row (0 <= row < rows on page) into the full-text buffer;
    // text is never null (an empty text for any other row, and when the
    // record could not be read: error says why).
    struct FullText {
        const char* text;
        StoreError error;
    };
    FullText GetFullText(int row);

    // Every hit of the search shown, in result order (every page of the
    // range, or every entry of the range that the first-name filter keeps),
    // with its entry number, its record's fields and their headings (the
    // disk's, read first), full text and displayed summary. The page shown
    // stays as it is.
    StoreError CollectHits(std::vector<ExportedHit>& hits);
    // The same hits one at a time, without their summaries, for exports
    // too large to hold at once; visit returns false to stop.
    StoreError ForEachPerson(const std::function<bool(const FoundPerson&)>& visit);
    // The person of row (0 <= row < rows on page), with the entry number
    // that finds them again; code 0 for any other row.
    StoreError PersonOfRow(int row, FoundPerson& person);
    // The entry number of row, or -1 for any other row. A first-name
    // search keeps only record offsets in history.buf, so the entry of
    // one of its rows is found by walking the range again.
    StoreError EntryOfRow(int row, std::int32_t& entry);

    const PageRow& Row(int i) const { return rows_[i]; }
    const char* Surname() const { return surname_; }
    bool IsDirectMode() const { return direct_; }
    CHistoryBuffer& History() { return *history_; }
    const CHistoryBuffer& History() const { return *history_; }

private:
    // An entry of the range as a walk hands it over: its number, its
    // record's offset and its given names as a row holds them.
    struct WalkedEntry {
        std::int32_t entry;
        std::int32_t recordOffset;
        const char* givenNames;
    };
    // visit returns false to stop the walk.
    using EntryVisitor = std::function<bool(const WalkedEntry&)>;
    using RecordVisitor = std::function<bool(const WalkedEntry&, const char* record, std::size_t stored)>;

    // A page of rows read but not yet shown.
    struct Page {
        PageRow rows[kMaxRows];
        std::int32_t count = 0;
    };
    // The page of entries from first into page, summaries included.
    StoreError ReadDirectPage(std::int32_t first, Page& page);
    // The rows of that page without their summaries.
    StoreError ReadDirectRows(std::int32_t first, Page& page);
    // Summaries of the page's rows from their .ext offsets.
    StoreError FillSummaries(Page& page);
    // The page becomes the one shown.
    void Show(const Page& page);
    // Walks the entries from first to the end of the range in runs, and
    // hands over each of them, or with a first name (not null) each that
    // the first-name test keeps.
    StoreError WalkRange(std::int32_t first, const char* firstName, const EntryVisitor& visit);
    // Every hit of the search shown, with its record read.
    StoreError WalkHits(const RecordVisitor& visit);
    FoundPerson PersonOf(const WalkedEntry& entry, const char* record, const FieldHeadings& headings) const;
    // The headings of the open database's fields, from the disk.
    StoreError ReadHeadings(FieldHeadings& headings) const;
    // A search that failed: nothing shown, nothing counted; gives error back.
    StoreError Empty(const StoreError& error);
    // A page turn from entry first (direct mode), or through history.buf.
    StoreError TurnDirect(std::int32_t first);
    StoreError TurnFiltered(bool forward);
    StoreError HistoryReadError() const;

    std::int32_t rangeStart_ = 0;
    std::int32_t nextEntry_ = 0;
    std::int32_t rangeEnd_ = 0;
    std::int32_t rowsOnPage_ = 0;
    std::int32_t pageSize_ = 10;
    std::int32_t pageStartEntry_ = 0;
    std::unique_ptr<CHistoryBuffer> history_;
    CRecordDatabase* db_;
    std::int32_t pageIndex_ = 0;
    bool direct_ = true;
    bool filterVariants_ = false;  // whether the last first-name search kept variants
    bool scratchFailed_ = false;   // the last first-name search could not use history.buf
    PageRow rows_[kMaxRows] = {};
    char surname_[kSurnameSize] = {};
    // The first name of the last first-name search, for walking its hits again.
    char firstName_[disk_format::kGivenNamesSize] = {};
    char fullText_[kFullTextSize] = {};
};
