#include "browse/result_pager.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "browse/bounded_copy.h"
#include "browse/history_buffer.h"
#include "browse/record_format.h"
#include "platform/message_box.h"
#include "store/ascii.h"
#include "store/directories.h"
#include "store/record_database.h"

namespace {

constexpr std::size_t kNameBufferSize = 256;

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// text (ending at its NUL or after limit bytes) upper-cased, cut or padded
// with blanks to width characters, into out (width + 1 bytes).
void PadUpper(const char* text, std::size_t limit, std::size_t width, char* out) {
    std::size_t i = 0;
    for (; i < width && i < limit && text[i] != '\0'; ++i) out[i] = AsciiUpper(text[i]);
    for (; i < width; ++i) out[i] = ' ';
    out[width] = '\0';
}

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

CResultPager::CResultPager(CRecordDatabase* db) : db_(db) {
    // A path too long for the history buffer is handed over whole: the
    // buffer refuses it like a file it cannot create, and the message about
    // it can still name it.
    std::string path = db->Directories().InstallDir();
    path += "history.buf";
    history_ = std::make_unique<CHistoryBuffer>(path.c_str(), pageSize_, &db->Directories());
}

CResultPager::~CResultPager() {
    if (history_ != nullptr) history_->Close();
}

void CResultPager::Reset() {
    rowsOnPage_ = 0;
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

bool CResultPager::DirectPageRead() {
    rowsOnPage_ = 0;
    pageStartEntry_ = nextEntry_;
    while (nextEntry_ < rangeEnd_ && rowsOnPage_ < pageSize_ && rowsOnPage_ < kMaxRows) {
        db_->ReadEntry(nextEntry_);
        PageRow& row = rows_[rowsOnPage_];
        row.extOffset = db_->RecordOffset();
        CopyBounded(row.givenNames, sizeof row.givenNames, db_->GivenNames());
        row.summary[0] = '\0';
        ++nextEntry_;
        ++rowsOnPage_;
    }
    FillSummaries();
    return nextEntry_ < rangeEnd_;
}

bool CResultPager::ListRange() {
    direct_ = true;
    return DirectPageRead();
}

bool CResultPager::NextPage() {
    if (direct_) return DirectPageRead();
    rowsOnPage_ = history_->ReadNextPage(rows_);
    FillSummaries();
    return true;
}

bool CResultPager::PrevPage() {
    if (direct_) {
        std::int64_t start = static_cast<std::int64_t>(pageStartEntry_) - pageSize_;
        if (start < rangeStart_) start = rangeStart_;
        nextEntry_ = static_cast<std::int32_t>(start);
        return DirectPageRead();
    }
    rowsOnPage_ = history_->ReadPrevPage(rows_);
    FillSummaries();
    return true;
}

bool CResultPager::FilterByFirstName(const char* firstName) {
    direct_ = false;
    scratchFailed_ = false;
    if (!history_->Reopen()) {
        rowsOnPage_ = 0;
        scratchFailed_ = true;
        ReportScratchFailure(true);
        return false;
    }
    if (firstName == nullptr) firstName = "";

    // Only the leading letters of the typed name count; a name that starts
    // with anything else compares that one character.
    std::size_t letters = 0;
    while (IsLetter(firstName[letters])) ++letters;
    if (letters == 0) letters = 1;

    std::int32_t width = db_->NameWidth();
    if (width < 0) width = 0;
    if (width > CRecordDatabase::kMaxNameWidth) width = CRecordDatabase::kMaxNameWidth;
    const auto nameWidth = static_cast<std::size_t>(width);
    const std::size_t compared = letters < nameWidth ? letters : nameWidth;

    char key[kNameBufferSize];
    PadUpper(firstName, kNameBufferSize - 1, nameWidth, key);
    char name[kNameBufferSize];
    std::int64_t hits = 0;
    for (; nextEntry_ < rangeEnd_; ++nextEntry_) {
        db_->ReadEntry(nextEntry_);
        PadUpper(db_->GivenNames(), nameWidth, nameWidth, name);
        if (std::memcmp(name, key, compared) == 0) {
            history_->Append(db_->RecordOffset(), db_->GivenNames(), nullptr);
            ++hits;
        }
    }

    history_->Count();
    if (!history_->IsOpen()) {
        // The hits were written but cannot be read back.
        rowsOnPage_ = 0;
        scratchFailed_ = true;
        ReportScratchFailure(true);
        return false;
    }
    rowsOnPage_ = history_->ReadFirstPage(rows_);
    FillSummaries();
    // A file that takes every write yet gives back fewer records (a device
    // such as /dev/null, or a file cut meanwhile) lost hits just as surely.
    if (history_->WriteFailed() || history_->RecordCount() < hits) ReportScratchFailure(false);
    return false;
}

void CResultPager::ReportScratchFailure(bool nothingWritten) {
    std::string text = nothingWritten ? "The first-name search could not be done: could not write "
                                      : "The first-name search is incomplete: could not write ";
    text += history_->Path();
    text += ".";
    platform::ShowMessageBox(text.c_str(), platform::kAppTitle, platform::MessageButtons::Ok,
                             platform::MessageIcon::Exclamation);
}

std::int32_t CResultPager::RecordCount() {
    std::int64_t count = 0;
    if (direct_) {
        count = static_cast<std::int64_t>(rangeEnd_) - rangeStart_;
    } else if (!scratchFailed_) {
        count = history_->RecordCount();
    }
    return count < 0 ? 0 : ClampToInt32(count);
}

bool CResultPager::HasNext() {
    if (direct_) return nextEntry_ < rangeEnd_;
    return !scratchFailed_ && history_->HasNext();
}

bool CResultPager::HasPrev() {
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

void CResultPager::FillSummaries() {
    const int code = db_->DatabaseCode();
    for (int i = 0; i < rowsOnPage_ && i < kMaxRows; ++i) {
        char raw[record_format::kRawSummarySize];
        db_->ReadSummary(rows_[i].extOffset, raw);
        record_format::BuildDisplayedSummary(code, raw, db_->SummaryFirstByte(), rows_[i].summary);
    }
}

const char* CResultPager::GetFullText(int row) {
    if (row < 0 || row >= rowsOnPage_ || row >= kMaxRows) {
        fullText_[0] = '\0';
        return fullText_;
    }
    char record[CRecordDatabase::kRecordBufferSize];
    db_->ReadRecord(rows_[row].extOffset, record);
    record_format::BuildFullText(db_->DatabaseCode(), record, fullText_, sizeof fullText_);
    return fullText_;
}
