#include "store/file_stream.h"

#include <stdio_ext.h>
#include <sys/stat.h>

namespace {

// Scratch room for skipping ahead through the buffer.
constexpr std::size_t kSkipLimit = 4096;

}  // namespace

bool CFileStream::Open(const char* path, const char* mode, std::size_t bufferSize) {
    Close();
    if (path == nullptr || *path == '\0') return false;
    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) return false;
    // fopen("r") succeeds on a directory on Linux; a directory is no database file.
    struct stat info {};
    if (::fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return false;
    }
    // One thread uses each stream: stdio's per-call locking is pure cost on
    // byte-at-a-time reads and on the seek before every entry.
    __fsetlocking(file, FSETLOCKING_BYCALLER);
    if (bufferSize > 0) {
        if (bufferCapacity_ < bufferSize) {
            buffer_ = std::make_unique<char[]>(bufferSize);
            bufferCapacity_ = bufferSize;
        }
        std::setvbuf(file, buffer_.get(), _IOFBF, bufferSize);
    }
    file_ = file;
    return true;
}

void CFileStream::Close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool CFileStream::Seek(std::int64_t offset) {
    if (file_ == nullptr || offset < 0) return false;
    // fseeko makes an lseek call even when the target is in the buffer, and
    // the readers seek before every entry and record: the first-name filter
    // would make one call per entry. While the stream is reading (so no
    // write is pending) and has a buffer, a target at the position or a
    // little ahead of it is reached by reading on instead.
    if (__fbufsize(file_) > 0 && __freading(file_) != 0 && !std::feof(file_) && !std::ferror(file_)) {
        const off_t here = ftello(file_);
        if (here == offset) return true;
        const std::int64_t ahead = offset - static_cast<std::int64_t>(here);
        if (here >= 0 && ahead > 0 && ahead <= static_cast<std::int64_t>(__fbufsize(file_))) {
            char skipped[kSkipLimit];
            std::size_t left = static_cast<std::size_t>(ahead);
            while (left > 0) {
                const std::size_t part = left < sizeof skipped ? left : sizeof skipped;
                if (std::fread(skipped, 1, part, file_) != part) break;
                left -= part;
            }
            if (left == 0) return true;
            // Short of the target (end of file): fseeko clears the end-of-file state.
        }
    }
    return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool CFileStream::SeekEnd(std::int64_t offset) {
    return file_ != nullptr && fseeko(file_, static_cast<off_t>(offset), SEEK_END) == 0;
}

std::int64_t CFileStream::Tell() {
    if (file_ == nullptr) return -1;
    return static_cast<std::int64_t>(ftello(file_));
}

bool CFileStream::ReadExact(void* out, std::size_t size) {
    return file_ != nullptr && std::fread(out, 1, size, file_) == size;
}

std::size_t CFileStream::ReadSome(void* out, std::size_t size) {
    return file_ != nullptr ? std::fread(out, 1, size, file_) : 0;
}

bool CFileStream::ReadInt32(std::int32_t& value) {
    unsigned char bytes[4];
    if (!ReadExact(bytes, sizeof bytes)) return false;
    value = LoadInt32(bytes);
    return true;
}

bool CFileStream::Write(const void* data, std::size_t size) {
    return file_ != nullptr && std::fwrite(data, 1, size, file_) == size;
}

bool CFileStream::WriteInt32(std::int32_t value) {
    unsigned char bytes[4];
    StoreInt32(bytes, value);
    return Write(bytes, sizeof bytes);
}

bool CFileStream::Flush() { return file_ != nullptr && std::fflush(file_) == 0; }
