#include "browse/history_buffer.h"

#include <cstring>
#include <limits>

#include "browse/bounded_copy.h"

namespace {

// Record counts are kept so that every record's byte position fits the
// 32-bit page positions; only a file over 2 GB from elsewhere is affected.
constexpr std::int64_t kMaxRecords = std::numeric_limits<std::int32_t>::max() / CHistoryBuffer::kRecordSize;

}  // namespace

CHistoryBuffer::CHistoryBuffer(const char* path, const std::int32_t& pageSize, const CDirectories* dirs)
    : path_(path != nullptr ? path : ""),
      pathFits_(path != nullptr && std::strlen(path) <= kMaxPath),
      pageSize_(pageSize),
      dirs_(dirs) {
    Truncate();
}

CHistoryBuffer::~CHistoryBuffer() { Close(); }

bool CHistoryBuffer::Truncate() {
    Close();
    // A new fill phase starts here; Count reopens within one, so the record
    // of failed writes is cleared only at this point.
    writeFailed_ = false;
    // The default installation directory is made when first needed; when it
    // cannot be, the file is neither created nor opened anywhere else.
    folderReady_ = dirs_ == nullptr || dirs_->PrepareInstallDir(nullptr);
    if (pathFits_ && folderReady_) {
        CFileStream creator;
        creator.Open(path_.c_str(), "wb+");
    }
    return Reopen();
}

bool CHistoryBuffer::Reopen() {
    // Closing writes out what Append left in the stream's buffer; a failure
    // there means hits are missing from the file.
    if (stream_.IsOpen() && atEnd_ && !stream_.Flush()) writeFailed_ = true;
    stream_.Close();
    atEnd_ = false;
    open_ = pathFits_ && folderReady_ && stream_.Open(path_.c_str(), "rb+", kStreamBuffer);
    return open_;
}

void CHistoryBuffer::Count() {
    Reopen();
    recordCount_ = 0;
    if (!open_) return;
    if (stream_.SeekEnd()) {
        const std::int64_t size = stream_.Tell();
        if (size > 0) {
            std::int64_t records = size / kRecordSize;
            if (records > kMaxRecords) records = kMaxRecords;
            recordCount_ = static_cast<std::int32_t>(records);
        }
    }
    stream_.Seek(0);
}

std::int32_t CHistoryBuffer::Append(std::int32_t extOffset, const char* givenNames, const char* summary) {
    if (!open_) return -1;
    // Appends follow one another during a fill; only the first needs the seek.
    if (!atEnd_) {
        if (!stream_.SeekEnd()) {
            writeFailed_ = true;
            return 0;
        }
        atEnd_ = true;
    }
    PageRow record{};
    record.extOffset = extOffset;
    if (givenNames != nullptr) CopyBounded(record.givenNames, sizeof record.givenNames, givenNames);
    if (summary != nullptr) CopyBounded(record.summary, sizeof record.summary, summary);
    if (!stream_.Write(&record, sizeof record)) {
        writeFailed_ = true;
        atEnd_ = false;  // where a short write left the stream is not known
        return 0;
    }
    return 1;
}

std::int32_t CHistoryBuffer::Read(PageRow* rows, std::int32_t position, std::int32_t n) {
    if (!open_) return -1;
    atEnd_ = false;
    if (position < 0 || !stream_.Seek(position)) return 0;
    // Only the records that Count found are paged: a file that grew since
    // (or a device that reads without end) adds nothing to the list.
    const std::int64_t available =
        (static_cast<std::int64_t>(recordCount_) * kRecordSize - position) / kRecordSize;
    if (n > available) n = available > 0 ? static_cast<std::int32_t>(available) : 0;
    if (n < 0) n = 0;
    const std::size_t bytes = stream_.ReadSome(rows, static_cast<std::size_t>(n) * sizeof(PageRow));
    const auto whole = static_cast<std::int32_t>(bytes / sizeof(PageRow));
    // A trailing partial record was consumed by the read; the page boundary
    // is just past the last whole record.
    stream_.Seek(static_cast<std::int64_t>(position) + static_cast<std::int64_t>(whole) * kRecordSize);
    for (std::int32_t i = 0; i < whole; ++i) {
        // The file may come from elsewhere: a given-name field without its
        // NUL ends at the field's width.
        rows[i].givenNames[sizeof rows[i].givenNames - 1] = '\0';
        rows[i].summary[0] = '\0';
    }
    return whole;
}

std::int32_t CHistoryBuffer::ReadFirstPage(PageRow* rows) {
    pageStart_ = 0;
    return Read(rows, pageStart_, pageSize_);
}

std::int32_t CHistoryBuffer::ReadPrevPage(PageRow* rows) {
    const std::int64_t start =
        static_cast<std::int64_t>(pageStart_) - static_cast<std::int64_t>(pageSize_) * kRecordSize;
    pageStart_ = start < 0 ? 0 : static_cast<std::int32_t>(start);
    return Read(rows, pageStart_, pageSize_);
}

std::int32_t CHistoryBuffer::ReadNextPage(PageRow* rows) {
    if (!open_) return -1;
    std::int64_t position = stream_.Tell();
    if (position < 0) position = 0;
    if (position > std::numeric_limits<std::int32_t>::max()) {
        position = std::numeric_limits<std::int32_t>::max();
    }
    pageStart_ = static_cast<std::int32_t>(position);
    return Read(rows, pageStart_, pageSize_);
}

bool CHistoryBuffer::HasPrev() {
    if (!open_) return false;
    return static_cast<std::int64_t>(pageSize_) * kRecordSize < stream_.Tell();
}

bool CHistoryBuffer::HasNext() {
    if (!open_) return false;
    const std::int64_t position = stream_.Tell();
    return position >= 0 && position < static_cast<std::int64_t>(recordCount_) * kRecordSize;
}

void CHistoryBuffer::Close() {
    stream_.Close();
    open_ = false;
    atEnd_ = false;
}
