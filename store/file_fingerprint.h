#pragma once
// What ties something made from a file (the word index of a database) to
// that exact file: its device, inode, size and modification time, and a
// hash of its first and last bytes, so that a file replaced, changed or
// copied over is noticed even where the times were kept.

#include <cstdint>
#include <string>

#include "store/store_error.h"

struct FileFingerprint {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modified = 0;  // nanoseconds
    std::uint64_t headTail = 0;
    bool operator==(const FileFingerprint& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified == other.modified && headTail == other.headTail;
    }
    bool operator!=(const FileFingerprint& other) const { return !(*this == other); }
};

// Bytes hashed at each end of a file.
inline constexpr std::size_t kFingerprintSpan = 4096;

// The fingerprint of the file at path; name is how messages call it.
// A missing file or a folder gives missing (no error); a failed open or
// read gives OpenFailed or ReadFailed.
StoreError FingerprintFile(const std::string& path, const std::string& name, FileFingerprint& fingerprint,
                           bool& missing);
