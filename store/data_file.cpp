#include "store/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "store/io_calls.h"

namespace {

std::int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{info.st_dev, info.st_ino,
                        S_ISREG(info.st_mode) ? static_cast<std::int64_t>(info.st_size) : -1,
                        Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim)};
}

CDataFile::CDataFile(std::size_t blockSize) : blockSize_(blockSize) {}

CDataFile::OpenOutcome CDataFile::Open(const std::string& path) {
    Close();
    path_ = path;
    failed_ = false;
    error_ = 0;
    int error = 0;
    // Without O_NONBLOCK a FIFO in place of a database file would hold the open forever.
    const int fd = io_calls::Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, error);
    if (fd < 0) {
        error_ = error;
        return error == ENOENT || error == ENOTDIR ? OpenOutcome::Missing : OpenOutcome::Failed;
    }
    struct stat info {};
    error = io_calls::Stat(fd, info);
    if (error != 0) {
        io_calls::Close(fd);
        error_ = error;
        return OpenOutcome::Failed;
    }
    if (S_ISDIR(info.st_mode)) {
        io_calls::Close(fd);
        error_ = EISDIR;
        return OpenOutcome::NotAFile;
    }
    fd_ = fd;
    identity_ = IdentityOf(info);
    size_ = identity_.size;
    blockLength_ = 0;
    return OpenOutcome::Opened;
}

CDataFile::OpenOutcome CDataFile::OpenOrKeep(const std::string& path, int folder, const char* name) {
    if (fd_ >= 0 && !failed_ && path == path_ && size_ >= 0) {
        struct stat info {};
        const bool relative = folder >= 0 && name != nullptr;
        if (io_calls::StatPath(relative ? name : path.c_str(), info, relative ? folder : AT_FDCWD) == 0) {
            if (S_ISREG(info.st_mode) && IdentityOf(info) == identity_) {
                blockLength_ = 0;
                return OpenOutcome::Opened;
            }
        }
    }
    return Open(path);
}

void CDataFile::Close() {
    io_calls::Close(fd_);
    fd_ = -1;
    blockLength_ = 0;
}

bool CDataFile::Fail(int error) {
    error_ = error;
    failed_ = true;
    blockLength_ = 0;
    return false;
}

bool CDataFile::Reopen() {
    // The file must still hold what it held at the first open: the entries
    // and offsets read from it so far point into those bytes. Reads stay
    // within that size, whatever was added since.
    const std::string path = path_;
    const std::int64_t expected = size_;
    const FileIdentity identity = identity_;
    const OpenOutcome outcome = Open(path);
    if (outcome == OpenOutcome::Opened && (expected < 0 || size_ >= expected)) {
        size_ = expected;
        identity_ = identity;
        return true;
    }
    const int error = outcome == OpenOutcome::Opened ? kFileCutShort : error_;
    Close();
    size_ = expected;
    identity_ = identity;
    return Fail(error != 0 ? error : EIO);
}

bool CDataFile::ReadAt(std::int64_t offset, void* out, std::size_t size, std::size_t& got) {
    got = 0;
    if (failed_ && !Reopen()) return false;
    if (fd_ < 0 || offset < 0) return Fail(EBADF);
    // Nothing past the size the file had when it was opened.
    std::size_t wanted = size;
    if (size_ >= 0) {
        const std::int64_t left = size_ > offset ? size_ - offset : 0;
        if (static_cast<std::int64_t>(wanted) > left) wanted = static_cast<std::size_t>(left);
    }
    if (wanted == 0) return true;
    const io_calls::Transfer read = io_calls::ReadAt(fd_, out, wanted, offset);
    if (read.error != 0) return Fail(read.error);
    if (size_ >= 0 && read.bytes < wanted) return Fail(kFileCutShort);
    got = read.bytes;
    return true;
}

bool CDataFile::ReadSome(std::int64_t offset, void* out, std::size_t size, std::size_t& got) {
    got = 0;
    if (blockSize_ == 0 || offset < 0) return ReadAt(offset, out, size, got);
    const bool inBlock = blockLength_ > 0 && offset >= blockStart_ &&
                         offset < blockStart_ + static_cast<std::int64_t>(blockLength_);
    if (!inBlock) {
        if (!block_) block_ = std::make_unique<char[]>(blockSize_);
        // Blocks start at multiples of their size, as the pages of the system's cache do.
        const std::int64_t start = offset - offset % static_cast<std::int64_t>(blockSize_);
        std::size_t length = 0;
        blockLength_ = 0;
        if (!ReadAt(start, block_.get(), blockSize_, length)) return false;
        blockStart_ = start;
        blockLength_ = length;
        // A block that ends before offset ends at the end of the file.
        if (offset >= start + static_cast<std::int64_t>(length)) return true;
    }
    const auto from = static_cast<std::size_t>(offset - blockStart_);
    got = blockLength_ - from < size ? blockLength_ - from : size;
    std::memcpy(out, block_.get() + from, got);
    return true;
}
