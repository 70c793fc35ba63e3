#pragma once
// The files a build of the word index writes and reads back: the index
// and the scratch file written from start to end through a buffer, the
// scratch file's pieces read back the same way, and the temporary names
// both go by until the index is renamed into place.

#include <fcntl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/io_calls.h"

namespace word_index {

// A file written from start to end through a buffer; remembers the first failure.
class SequentialFile {
public:
    ~SequentialFile() { io_calls::Close(fd_); }
    bool Open(const std::string& path) {
        int error = 0;
        fd_ = io_calls::Open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, error, 0600);
        return fd_ >= 0;
    }
    int Fd() const { return fd_; }
    void Put(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        if (buffer_.size() + size > kBuffer) Flush();
        if (size > kBuffer) {
            WriteNow(bytes, size);
            return;
        }
        buffer_.insert(buffer_.end(), bytes, bytes + size);
    }
    void Put(const std::vector<unsigned char>& bytes) { Put(bytes.data(), bytes.size()); }
    bool Flush() {
        if (!buffer_.empty()) WriteNow(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok_;
    }
    bool WriteAt(std::uint64_t offset, const std::vector<unsigned char>& bytes) {
        if (ok_)
            ok_ =
                io_calls::WriteAt(fd_, bytes.data(), bytes.size(), static_cast<std::int64_t>(offset)).error ==
                0;
        return ok_;
    }
    std::uint64_t Position() const { return written_ + buffer_.size(); }
    bool Ok() const { return ok_; }

private:
    static constexpr std::size_t kBuffer = 1 << 20;
    void WriteNow(const unsigned char* bytes, std::size_t size) {
        if (ok_) ok_ = io_calls::WriteAt(fd_, bytes, size, static_cast<std::int64_t>(written_)).error == 0;
        written_ += size;
    }
    int fd_ = -1;
    bool ok_ = true;
    std::uint64_t written_ = 0;
    std::vector<unsigned char> buffer_;
};

// Reads back a piece of the scratch file from start to end through a buffer.
class PieceReader {
public:
    PieceReader(int fd, std::uint64_t start, std::uint64_t end) : fd_(fd), next_(start), end_(end) {}
    bool Varint(std::uint64_t& value) {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ == buffer_.size() && !Fill()) return false;
            const unsigned char byte = buffer_[at_++];
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) return true;
        }
        return false;
    }
    bool AtEnd() const { return at_ == buffer_.size() && next_ >= end_; }

private:
    bool Fill() {
        if (next_ >= end_) return false;
        const std::uint64_t size = std::min<std::uint64_t>(kBuffer, end_ - next_);
        buffer_.resize(static_cast<std::size_t>(size));
        const io_calls::Transfer read =
            io_calls::ReadAt(fd_, buffer_.data(), buffer_.size(), static_cast<std::int64_t>(next_));
        if (read.error != 0 || read.bytes != buffer_.size()) return false;
        next_ += size;
        at_ = 0;
        return true;
    }
    static constexpr std::uint64_t kBuffer = 256 * 1024;
    int fd_;
    std::uint64_t next_;
    std::uint64_t end_;
    std::vector<unsigned char> buffer_;
    std::size_t at_ = 0;
};

// A name beside path no other builder (of this process or another) uses.
std::string TemporaryName(const std::string& path);

// Removes the temporary files beside path that builders left behind.
void RemoveStaleTemporaries(const std::string& path);

}  // namespace word_index
