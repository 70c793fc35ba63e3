#include "browse/session/result_pager.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "browse/record_text/record_format.h"
#include "browse/record_text/record_parts.h"
#include "browse/session/bounded_copy.h"
#include "browse/session/first_name_test.h"
#include "browse/session/history_buffer.h"
#include "store/ascii.h"
#include "store/directories.h"
#include "store/int32_bytes.h"
#include "store/raw_summary.h"

namespace {

constexpr std::size_t kNameBufferSize = disk_format::kGivenNamesSize;
// The first-name scan reads its entries in runs of this many.
constexpr std::int32_t kScanRun = 2048;

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

CResultPager::CResultPager(CRecordDatabase* db) : db_(db) {
    // A path too long for the history buffer is handed over whole: the
    // buffer refuses it like a file it cannot create, and the message about
    // it can still name it.
    std::string path = db->Directories().InstallDir();
    path += disk_format::kHistoryFileName;
    history_ = std::make_unique<CHistoryBuffer>(path.c_str(), pageSize_, &db->Directories());
}

CResultPager::~CResultPager() {
    if (history_ != nullptr) history_->Close();
}

void CResultPager::Reset() {
    rowsOnPage_ = 0;
    pageIndex_ = 0;
    rangeStart_ = -1;
    nextEntry_ = -1;
    rangeEnd_ = -1;
    history_->Truncate();
    direct_ = true;
    scratchFailed_ = false;
}

void CResultPager::SetRange(std::int32_t first, std::int32_t count) {
    rowsOnPage_ = 0;
    rangeStart_ = first;
    nextEntry_ = first;
    if (count < 0) count = 0;
    rangeEnd_ = ClampToInt32(static_cast<std::int64_t>(first) + count);
}

void CResultPager::SetSurname(char* text) {
    if (text == nullptr) {
        surname_[0] = '\0';
        return;
    }
    for (char* p = text; *p != '\0'; ++p) *p = AsciiUpper(*p);
    CopyBounded(surname_, sizeof surname_, text);
}

void CResultPager::Show(const Page& page) {
    rowsOnPage_ = page.count;
    if (page.count > 0) std::memcpy(rows_, page.rows, sizeof(PageRow) * static_cast<std::size_t>(page.count));
}

StoreError CResultPager::Empty(const StoreError& error) {
    rowsOnPage_ = 0;
    pageIndex_ = 0;
    rangeStart_ = -1;
    nextEntry_ = -1;
    rangeEnd_ = -1;
    direct_ = true;
    return error;
}

StoreError CResultPager::HistoryReadError() const {
    return StoreError::Of(StoreErrorKind::ReadFailed, history_->Path(), history_->ReadError());
}

StoreError CResultPager::FillSummaries(Page& page) {
    const int code = db_->DatabaseCode();
    for (int i = 0; i < page.count; ++i) {
        char raw[record_format::kRawSummarySize];
        int firstByte = -1;
        StoreError error = db_->ReadSummary(page.rows[i].extOffset, raw, firstByte);
        if (error.Failed()) return error;
        record_format::BuildDisplayedSummary(code, raw, firstByte, page.rows[i].summary);
    }
    return StoreError{};
}

StoreError CResultPager::ReadDirectPage(std::int32_t first, Page& page) {
    const StoreError error = ReadDirectRows(first, page);
    if (error.Failed()) return error;
    return FillSummaries(page);
}

StoreError CResultPager::ReadDirectRows(std::int32_t first, Page& page) {
    page.count = 0;
    const std::int64_t left = static_cast<std::int64_t>(rangeEnd_) - first;
    const std::int32_t n = left <= 0 ? 0 : (left < pageSize_ ? static_cast<std::int32_t>(left) : pageSize_);
    if (n == 0) return StoreError{};
    CorEntry entries[kMaxRows];
    StoreError error = db_->ReadEntries(first, n > kMaxRows ? kMaxRows : n, entries);
    if (error.Failed()) return error;
    for (std::int32_t i = 0; i < n && i < kMaxRows; ++i) {
        PageRow& row = page.rows[i];
        row.extOffset = entries[i].recordOffset;
        CopyBounded(row.givenNames, sizeof row.givenNames, entries[i].givenNames);
        row.summary[0] = '\0';
        ++page.count;
    }
    return StoreError{};
}

StoreError CResultPager::ListRange() {
    direct_ = true;
    pageIndex_ = 0;
    Page page;
    const StoreError error = ReadDirectPage(nextEntry_, page);
    if (error.Failed()) return Empty(error);
    pageStartEntry_ = nextEntry_;
    nextEntry_ += page.count;
    Show(page);
    return StoreError{};
}

StoreError CResultPager::TurnDirect(std::int32_t first) {
    Page page;
    const StoreError error = ReadDirectPage(first, page);
    if (error.Failed()) return error;
    pageStartEntry_ = first;
    nextEntry_ = first + page.count;
    Show(page);
    return StoreError{};
}

StoreError CResultPager::TurnFiltered(bool forward) {
    // Without a scratch file there is no page to turn to.
    if (scratchFailed_ || !history_->IsOpen()) return StoreError{};
    // The history buffer keeps its page where it was when the read fails.
    Page page;
    page.count = forward ? history_->ReadNextPage(page.rows) : history_->ReadPrevPage(page.rows);
    if (page.count < 0) return HistoryReadError();
    const StoreError error = FillSummaries(page);
    if (error.Failed()) return error;
    Show(page);
    return StoreError{};
}

StoreError CResultPager::NextPage() {
    const StoreError error = direct_ ? TurnDirect(nextEntry_) : TurnFiltered(true);
    if (!error.Failed()) ++pageIndex_;
    return error;
}

StoreError CResultPager::PrevPage() {
    StoreError error;
    if (direct_) {
        std::int64_t start = static_cast<std::int64_t>(pageStartEntry_) - pageSize_;
        if (start < rangeStart_) start = rangeStart_;
        error = TurnDirect(static_cast<std::int32_t>(start));
    } else {
        error = TurnFiltered(false);
    }
    if (!error.Failed() && pageIndex_ > 0) --pageIndex_;
    return error;
}

StoreError CResultPager::WalkRange(std::int32_t first, const char* firstName, const EntryVisitor& visit) {
    std::int32_t width = db_->NameWidth();
    if (width < 0) width = 0;
    if (width > disk_format::kMaxNameWidth) width = disk_format::kMaxNameWidth;
    const auto nameWidth = static_cast<std::size_t>(width);
    // Without a first name every entry passes.
    std::unique_ptr<CFirstNameTest> test;
    if (firstName != nullptr) test = std::make_unique<CFirstNameTest>(firstName, nameWidth, filterVariants_);

    char givenNames[kNameBufferSize];
    char rowNames[disk_format::kHistoryNamesSize];
    const auto entrySize = static_cast<std::size_t>(db_->EntrySize());
    std::vector<char> run(static_cast<std::size_t>(kScanRun) * entrySize);
    for (std::int32_t at = first; at >= 0 && at < rangeEnd_;) {
        const std::int64_t left = static_cast<std::int64_t>(rangeEnd_) - at;
        const std::int32_t n = left < kScanRun ? static_cast<std::int32_t>(left) : kScanRun;
        StoreError error = db_->ReadEntryBytes(at, n, run.data());
        if (error.Failed()) return error;
        for (std::int32_t i = 0; i < n; ++i) {
            const char* entry = run.data() + static_cast<std::size_t>(i) * entrySize;
            const char* names = entry + disk_format::kEntryOffsetSize;
            if (test != nullptr && !test->Passes(names)) continue;
            std::memcpy(givenNames, names, nameWidth);
            givenNames[nameWidth] = '\0';
            // As a row holds them, whichever way the row was read.
            CopyBounded(rowNames, sizeof rowNames, givenNames);
            const WalkedEntry walked{at + i, LoadInt32(reinterpret_cast<const unsigned char*>(entry)),
                                     rowNames};
            if (!visit(walked)) return StoreError{};
        }
        at += n;
    }
    return StoreError{};
}

StoreError CResultPager::FilterByFirstName(const char* firstName, bool variants) {
    direct_ = false;
    pageIndex_ = 0;
    scratchFailed_ = false;
    if (!history_->Reopen()) {
        rowsOnPage_ = 0;
        scratchFailed_ = true;
        return StoreError::Of(history_->NotPlainFile() ? StoreErrorKind::ScratchNotPlainFile
                                                       : StoreErrorKind::ScratchNotWritten,
                              history_->Path());
    }
    if (firstName == nullptr) firstName = "";
    CopyBounded(firstName_, sizeof firstName_, firstName);
    filterVariants_ = variants;

    std::int64_t hits = 0;
    StoreError error = WalkRange(nextEntry_, firstName_, [&](const WalkedEntry& walked) {
        history_->Append(walked.recordOffset, walked.givenNames, nullptr);
        ++hits;
        return true;
    });
    if (!error.Failed()) nextEntry_ = rangeEnd_;
    Page page;
    if (!error.Failed() && !history_->Count()) error = HistoryReadError();
    // A file that takes every write yet gives back fewer records (a device
    // such as /dev/null, or a file cut meanwhile) lost hits just as surely.
    if (!error.Failed() && (history_->WriteFailed() || history_->RecordCount() < hits)) {
        rowsOnPage_ = 0;
        scratchFailed_ = true;
        history_->Truncate();
        return StoreError::Of(StoreErrorKind::ScratchIncomplete, history_->Path());
    }
    if (!error.Failed()) {
        page.count = history_->ReadFirstPage(page.rows);
        if (page.count < 0) error = HistoryReadError();
    }
    if (!error.Failed()) error = FillSummaries(page);
    if (error.Failed()) {
        // No hits from a scan that did not finish stay behind.
        history_->Truncate();
        return Empty(error);
    }
    Show(page);
    return StoreError{};
}

std::int32_t CResultPager::RecordCount() const {
    std::int64_t count = 0;
    if (direct_) {
        count = static_cast<std::int64_t>(rangeEnd_) - rangeStart_;
    } else if (!scratchFailed_) {
        count = history_->RecordCount();
    }
    return count < 0 ? 0 : ClampToInt32(count);
}

bool CResultPager::HasNext() const {
    if (direct_) return nextEntry_ < rangeEnd_;
    return !scratchFailed_ && history_->HasNext();
}

bool CResultPager::HasPrev() const {
    if (direct_) return static_cast<std::int64_t>(rangeStart_) + pageSize_ < nextEntry_;
    return !scratchFailed_ && history_->HasPrev();
}

void CResultPager::FormatRow(int i, char* out) const {
    if (i < 0 || i >= rowsOnPage_ || i >= kMaxRows) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kRowTextSize, "%s\t%s\t%s", surname_, rows_[i].givenNames, rows_[i].summary);
}

StoreError CResultPager::WalkHits(const RecordVisitor& visit) {
    // Without a scratch file the first-name search found nothing to walk.
    if (!direct_ && (scratchFailed_ || !history_->IsOpen())) return StoreError{};
    if (rangeStart_ < 0) return StoreError{};
    char record[CRecordDatabase::kRecordBufferSize];
    StoreError readError;
    const StoreError walkError =
        WalkRange(rangeStart_, direct_ ? nullptr : firstName_, [&](const WalkedEntry& walked) {
            std::size_t stored = 0;
            readError = db_->ReadRecord(walked.recordOffset, record, &stored);
            return !readError.Failed() && visit(walked, record, stored);
        });
    return walkError.Failed() ? walkError : readError;
}

StoreError CResultPager::ReadHeadings(FieldHeadings& headings) const {
    return ReadFieldHeadings(db_->Directories(), db_->DatabaseCode(), headings);
}

FoundPerson CResultPager::PersonOf(const WalkedEntry& walked, const char* record,
                                   const FieldHeadings& headings) const {
    FoundPerson person;
    person.code = db_->DatabaseCode();
    person.entry = walked.entry;
    person.surname = surname_;
    person.givenNames = walked.givenNames;
    person.fields = record_parts::FieldsOf(record);
    person.headings = headings.First(person.fields.size());
    char text[kFullTextSize];
    person.text.assign(text, record_format::BuildFullText(person.code, record, text, sizeof text));
    return person;
}

StoreError CResultPager::CollectHits(std::vector<ExportedHit>& hits) {
    hits.clear();
    const int code = db_->DatabaseCode();
    FieldHeadings headings;
    const StoreError unheaded = ReadHeadings(headings);
    if (unheaded.Failed()) return unheaded;
    return WalkHits([&](const WalkedEntry& walked, const char* record, std::size_t stored) {
        ExportedHit hit;
        static_cast<FoundPerson&>(hit) = PersonOf(walked, record, headings);
        // The summary walks the record already read, as a page walks the
        // file: the walk stops within the first few dozen bytes, which the
        // record holds unless the file ends first, where both walks end.
        char raw[record_format::kRawSummarySize];
        char summary[record_format::kSummarySize];
        std::size_t at = 0;
        const int firstByte =
            BuildRawSummary([&] { return at < stored ? static_cast<unsigned char>(record[at++]) : -1; }, raw);
        record_format::BuildDisplayedSummary(code, raw, firstByte, summary);
        hit.summary = summary;
        hits.push_back(std::move(hit));
        return true;
    });
}

StoreError CResultPager::ForEachPerson(const std::function<bool(const FoundPerson&)>& visit) {
    FieldHeadings headings;
    const StoreError unheaded = ReadHeadings(headings);
    if (unheaded.Failed()) return unheaded;
    return WalkHits([&](const WalkedEntry& walked, const char* record, std::size_t) {
        return visit(PersonOf(walked, record, headings));
    });
}

StoreError CResultPager::EntryOfRow(int row, std::int32_t& entry) {
    entry = -1;
    if (row < 0 || row >= rowsOnPage_ || row >= kMaxRows) return StoreError{};
    if (direct_) {
        entry = pageStartEntry_ + row;
        return StoreError{};
    }
    const PageRow& wanted = rows_[row];
    return WalkRange(rangeStart_, firstName_, [&](const WalkedEntry& walked) {
        if (walked.recordOffset != wanted.extOffset ||
            std::strcmp(walked.givenNames, wanted.givenNames) != 0) {
            return true;
        }
        entry = walked.entry;
        return false;
    });
}

StoreError CResultPager::PersonOfRow(int row, FoundPerson& person) {
    person = FoundPerson{};
    std::int32_t entry = -1;
    StoreError error = EntryOfRow(row, entry);
    if (error.Failed() || row < 0 || row >= rowsOnPage_ || row >= kMaxRows) return error;
    char record[CRecordDatabase::kRecordBufferSize];
    error = db_->ReadRecord(rows_[row].extOffset, record);
    if (error.Failed()) return error;
    FieldHeadings headings;
    error = ReadHeadings(headings);
    if (error.Failed()) return error;
    person = PersonOf(WalkedEntry{entry, rows_[row].extOffset, rows_[row].givenNames}, record, headings);
    return StoreError{};
}

CResultPager::FullText CResultPager::GetFullText(int row) {
    fullText_[0] = '\0';
    if (row < 0 || row >= rowsOnPage_ || row >= kMaxRows) return {fullText_, StoreError{}};
    char record[CRecordDatabase::kRecordBufferSize];
    const StoreError error = db_->ReadRecord(rows_[row].extOffset, record);
    if (error.Failed()) return {fullText_, error};
    record_format::BuildFullText(db_->DatabaseCode(), record, fullText_, sizeof fullText_);
    return {fullText_, StoreError{}};
}
