#pragma once
// CResultPager: the outcome of one search and the one page of it that the
// view shows, in direct mode (straight from the .cor range) or filtered mode
// (first-name hits paged from history.buf).
//
// Owns its history buffer; uses the record database without owning it.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "browse/page_row.h"
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
    bool ListRange();
    // firstName: the query's first name, upper-cased and padded to 255.
    bool FilterByFirstName(const char* firstName);
    bool NextPage();
    bool PrevPage();

    std::int32_t RecordCount();
    std::int32_t RowsOnPage() const { return rowsOnPage_; }
    bool HasNext();
    bool HasPrev();
    // Row i (0 <= i < rows on page) as "%s\t%s\t%s" into out (500 bytes);
    // any other i gives an empty text.
    void FormatRow(int i, char* out) const;
    void SetPageSize(bool largeText) { pageSize_ = largeText ? 8 : 10; }
    std::int32_t PageSize() const { return pageSize_; }

    // Summaries of rows 0..rows on page - 1 from their .ext offsets.
    void FillSummaries();
    // Full text of row (0 <= row < rows on page) into the full-text buffer;
    // never null (an empty text for any other row).
    const char* GetFullText(int row);

    const PageRow& Row(int i) const { return rows_[i]; }
    const char* Surname() const { return surname_; }
    bool IsDirectMode() const { return direct_; }
    CHistoryBuffer& History() { return *history_; }
    const CHistoryBuffer& History() const { return *history_; }

private:
    bool DirectPageRead();
    void ReportScratchFailure(bool nothingWritten);

    std::int32_t rangeStart_ = 0;
    std::int32_t nextEntry_ = 0;
    std::int32_t rangeEnd_ = 0;
    std::int32_t rowsOnPage_ = 0;
    std::int32_t pageSize_ = 10;
    std::int32_t pageStartEntry_ = 0;
    std::unique_ptr<CHistoryBuffer> history_;
    CRecordDatabase* db_;
    // The entry read last; a read cut short leaves the rest as it was.
    CorEntry entry_;
    bool direct_ = true;
    bool scratchFailed_ = false;  // the last first-name search could not use history.buf
    PageRow rows_[kMaxRows] = {};
    char surname_[kSurnameSize] = {};
    char fullText_[kFullTextSize] = {};
};
