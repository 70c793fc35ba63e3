#include "browse/history_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "browse/bounded_copy.h"
#include "store/data_file.h"
#include "store/directories.h"
#include "store/io_calls.h"

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

bool CHistoryBuffer::OpenEmpty() {
    Close();
    if (!pathFits_) return false;
    // The default installation directory is made when first needed; when it
    // cannot be, the file is neither created nor opened anywhere else.
    if (dirs_ != nullptr && !dirs_->PrepareInstallDir(nullptr)) return false;
    int error = 0;
    const int fd = io_calls::Open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, error, 0666);
    if (fd < 0) return false;
    struct stat info {};
    if (io_calls::Stat(fd, info) != 0 || S_ISDIR(info.st_mode) ||
        (info.st_size > 0 && io_calls::Truncate(fd, 0) != 0)) {
        io_calls::Close(fd);
        return false;
    }
    fd_ = fd;
    knownEmpty_ = true;
    return true;
}

bool CHistoryBuffer::Truncate() {
    // A new fill phase starts here; the record of failed writes is cleared
    // only at this point.
    writeFailed_ = false;
    readError_ = 0;
    pending_.clear();
    recordCount_ = 0;
    pageStart_ = 0;
    position_ = 0;
    appendAt_ = 0;
    if (IsOpen() && knownEmpty_) return true;
    return OpenEmpty();
}

bool CHistoryBuffer::Reopen() {
    pending_.clear();
    position_ = 0;
    appendAt_ = 0;
    return OpenEmpty();
}

bool CHistoryBuffer::WritePending() {
    if (pending_.empty()) return true;
    const io_calls::Transfer written = io_calls::WriteAt(fd_, pending_.data(), pending_.size(), appendAt_);
    appendAt_ += static_cast<std::int64_t>(written.bytes);
    pending_.clear();
    if (written.error != 0) {
        writeFailed_ = true;
        return false;
    }
    return true;
}

bool CHistoryBuffer::Count() {
    recordCount_ = 0;
    position_ = 0;
    if (!IsOpen()) return true;
    WritePending();
    struct stat info {};
    readError_ = io_calls::Stat(fd_, info);
    if (readError_ != 0) return false;
    std::int64_t records = static_cast<std::int64_t>(info.st_size) / kRecordSize;
    if (records > kMaxRecords) records = kMaxRecords;
    if (records < 0) records = 0;
    recordCount_ = static_cast<std::int32_t>(records);
    knownEmpty_ = info.st_size == 0;
    return true;
}

std::int32_t CHistoryBuffer::Append(std::int32_t extOffset, const char* givenNames, const char* summary) {
    if (!IsOpen()) return -1;
    knownEmpty_ = false;
    PageRow record{};
    record.extOffset = extOffset;
    if (givenNames != nullptr) CopyBounded(record.givenNames, sizeof record.givenNames, givenNames);
    if (summary != nullptr) CopyBounded(record.summary, sizeof record.summary, summary);
    if (pending_.size() + sizeof record > kStreamBuffer && !WritePending()) return 0;
    const auto* bytes = reinterpret_cast<const char*>(&record);
    pending_.insert(pending_.end(), bytes, bytes + sizeof record);
    return 1;
}

std::int32_t CHistoryBuffer::ReadRecords(PageRow* rows, std::int64_t position, std::int32_t n) {
    if (!IsOpen()) return -1;
    readError_ = 0;
    if (position < 0) return 0;
    // Only the records that Count found are read: a file that grew since
    // (or a device that reads without end) adds nothing to the list.
    const std::int64_t available =
        (static_cast<std::int64_t>(recordCount_) * kRecordSize - position) / kRecordSize;
    if (n > available) n = available > 0 ? static_cast<std::int32_t>(available) : 0;
    if (n < 0) n = 0;
    const std::size_t wanted = static_cast<std::size_t>(n) * sizeof(PageRow);
    const io_calls::Transfer read = io_calls::ReadAt(fd_, rows, wanted, position);
    if (read.error != 0 || read.bytes < wanted) {
        // Counted records that are not there: the file was cut behind our back.
        readError_ = read.error != 0 ? read.error : kFileCutShort;
        return -1;
    }
    for (std::int32_t i = 0; i < n; ++i) {
        // The file may come from elsewhere: a given-name field without its
        // NUL ends at the field's width.
        rows[i].givenNames[sizeof rows[i].givenNames - 1] = '\0';
        rows[i].summary[0] = '\0';
    }
    return n;
}

std::int32_t CHistoryBuffer::Read(PageRow* rows, std::int32_t position, std::int32_t n) {
    const std::int32_t read = ReadRecords(rows, position, n);
    if (read >= 0 && position >= 0) {
        position_ = static_cast<std::int64_t>(position) + static_cast<std::int64_t>(read) * kRecordSize;
    }
    return read;
}

std::int32_t CHistoryBuffer::ReadFirstPage(PageRow* rows) {
    const std::int32_t read = Read(rows, 0, pageSize_);
    if (read >= 0) pageStart_ = 0;
    return read;
}

std::int32_t CHistoryBuffer::ReadPrevPage(PageRow* rows) {
    const std::int64_t start =
        static_cast<std::int64_t>(pageStart_) - static_cast<std::int64_t>(pageSize_) * kRecordSize;
    const std::int32_t from = start < 0 ? 0 : static_cast<std::int32_t>(start);
    const std::int32_t read = Read(rows, from, pageSize_);
    if (read >= 0) pageStart_ = from;
    return read;
}

std::int32_t CHistoryBuffer::ReadNextPage(PageRow* rows) {
    if (!IsOpen()) return -1;
    std::int64_t position = position_;
    if (position > std::numeric_limits<std::int32_t>::max())
        position = std::numeric_limits<std::int32_t>::max();
    const auto from = static_cast<std::int32_t>(position);
    const std::int32_t read = Read(rows, from, pageSize_);
    if (read >= 0) pageStart_ = from;
    return read;
}

bool CHistoryBuffer::HasPrev() const {
    return IsOpen() && static_cast<std::int64_t>(pageSize_) * kRecordSize < position_;
}

bool CHistoryBuffer::HasNext() const {
    return IsOpen() && position_ < static_cast<std::int64_t>(recordCount_) * kRecordSize;
}

void CHistoryBuffer::Close() {
    if (IsOpen()) WritePending();
    io_calls::Close(fd_);
    fd_ = -1;
}
