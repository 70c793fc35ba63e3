#pragma once
// A buffered binary file stream that owns its FILE* and closes it.
//
// The database readers go through this class byte at a time (GetByte reads
// from the stdio buffer) and position it with absolute seeks. Every read
// reports whether it got its bytes; nothing here throws.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class CFileStream {
public:
    CFileStream() = default;
    ~CFileStream() { Close(); }
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    // Opens path with an fopen mode; closes whatever was open first.
    // Refuses a path that names a directory. bufferSize 0 keeps the C
    // library's buffer; any other size gives the stream a buffer of its own
    // of that size, kept for later opens so that a search allocates nothing.
    bool Open(const char* path, const char* mode, std::size_t bufferSize = 0);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    bool Seek(std::int64_t offset);  // from the start
    bool SeekEnd(std::int64_t offset = 0);
    std::int64_t Tell();  // -1 when not open or unknown

    // Next byte as 0..255, or -1 at the end of the file or on an error.
    int GetByte() { return file_ != nullptr ? getc_unlocked(file_) : -1; }
    // Reads exactly size bytes; false when fewer were there.
    bool ReadExact(void* out, std::size_t size);
    // Reads up to size bytes; returns how many arrived.
    std::size_t ReadSome(void* out, std::size_t size);
    bool ReadInt32(std::int32_t& value);
    bool Write(const void* data, std::size_t size);
    bool WriteInt32(std::int32_t value);
    bool Flush();

private:
    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;  // outlives every FILE that uses it
    std::size_t bufferCapacity_ = 0;
};

// Signed 32-bit little-endian helpers for the on-disk integers.
inline std::int32_t LoadInt32(const unsigned char* bytes) {
    std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                          (static_cast<std::uint32_t>(bytes[2]) << 16) |
                          (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}

inline void StoreInt32(unsigned char* bytes, std::int32_t value) {
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<unsigned char>(bits & 0xFF);
    bytes[1] = static_cast<unsigned char>((bits >> 8) & 0xFF);
    bytes[2] = static_cast<unsigned char>((bits >> 16) & 0xFF);
    bytes[3] = static_cast<unsigned char>((bits >> 24) & 0xFF);
}
