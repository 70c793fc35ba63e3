#include "browse/session/history_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "browse/session/bounded_copy.h"
#include "store/data_file.h"
#include "store/directories.h"
#include "store/io_calls.h"

namespace {

// Record counts are kept so that every record's byte position fits the
// 32-bit page positions; only a file over 2 GB from elsewhere is affected.
constexpr std::int64_t kMaxRecords = std::numeric_limits<std::int32_t>::max() / CHistoryBuffer::kRecordSize;
// Names tried for a private file where the folder cannot hold a file
// without a name; each is taken away as soon as the file is open.
constexpr int kPrivateNames = 100;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

CHistoryBuffer::CHistoryBuffer(const char* path, const std::int32_t& pageSize, const CDirectories* dirs)
    : path_(path != nullptr ? path : ""),
      folder_(FolderOf(path_)),
      pathFits_(path != nullptr && std::strlen(path) <= kMaxPath),
      pageSize_(pageSize),
      dirs_(dirs) {
    Truncate();
}

CHistoryBuffer::~CHistoryBuffer() { Close(); }

int CHistoryBuffer::OpenShared(SharedOpen& outcome) {
    outcome = SharedOpen::Failed;
    // Looked at first, so that a FIFO or a device there is never opened; the
    // open itself follows no link and waits for nothing, and what it opened
    // is looked at again below.
    struct stat seen {};
    if (io_calls::StatPath(path_.c_str(), seen, AT_FDCWD, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(seen.st_mode)) {
        notPlainFile_ = true;
        return -1;
    }
    int error = 0;
    const int fd = io_calls::Open(
        path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, error, 0600);
    if (fd < 0) {
        notPlainFile_ = error == ELOOP || error == EISDIR;
        // Another user's file, in a folder that users share: theirs too.
        if (error == EACCES || error == EPERM) outcome = SharedOpen::Taken;
        return -1;
    }
    // Whoever holds the lock has hits on show in the file. A lock that
    // cannot be had for any other reason is taken as held: a private file
    // gives the right answer either way.
    if (io_calls::TryLock(fd) != 0) {
        io_calls::Close(fd);
        outcome = SharedOpen::Taken;
        return -1;
    }
    struct stat info {};
    if (io_calls::Stat(fd, info) != 0 || !S_ISREG(info.st_mode) ||
        (info.st_size > 0 && io_calls::Truncate(fd, 0) != 0)) {
        notPlainFile_ = info.st_mode != 0 && !S_ISREG(info.st_mode);
        io_calls::Close(fd);
        return -1;
    }
    outcome = SharedOpen::Locked;
    return fd;
}

int CHistoryBuffer::OpenPrivate() {
    int error = 0;
    const int fd = io_calls::Open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, error, 0600);
    if (fd >= 0) return fd;
    // Not every file system makes unnamed files: a fresh name, unnamed again
    // at once, does the same.
    for (int attempt = 0; attempt < kPrivateNames; ++attempt) {
        const std::string name = path_ + "." + std::to_string(::getpid()) + "." + std::to_string(attempt);
        const int named =
            io_calls::Open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, error, 0600);
        if (named < 0 && error == EEXIST) continue;
        if (named < 0) return -1;
        if (io_calls::Unlink(name.c_str()) == 0) return named;
        io_calls::Close(named);
        return -1;
    }
    return -1;
}

bool CHistoryBuffer::OpenEmpty() {
    Close();
    notPlainFile_ = false;
    if (!pathFits_) return false;
    // The default installation directory is made when first needed; when it
    // cannot be, the file is neither created nor opened anywhere else.
    if (dirs_ != nullptr && !dirs_->PrepareInstallDir(nullptr)) return false;
    SharedOpen outcome = SharedOpen::Failed;
    int fd = OpenShared(outcome);
    if (outcome == SharedOpen::Taken) fd = OpenPrivate();
    if (fd < 0) return false;
    fd_ = fd;
    locked_ = outcome == SharedOpen::Locked;
    private_ = !locked_;
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
    if (!OpenEmpty()) return false;
    // Emptied, history.buf shows nobody's hits: it is free for the next
    // process that fills it.
    if (locked_) io_calls::Unlock(fd_);
    locked_ = false;
    return true;
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
    // Closing gives the lock up, and a private file goes with its last descriptor.
    io_calls::Close(fd_);
    fd_ = -1;
    locked_ = false;
    private_ = false;
}
