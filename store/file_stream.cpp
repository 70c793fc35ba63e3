#include "store/file_stream.h"

#include <sys/stat.h>

bool CFileStream::Open(const char* path, const char* mode) {
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
    return file_ != nullptr && offset >= 0 && fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
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
