#include "store/file_fingerprint.h"

#include <vector>

#include "store/content_hash.h"
#include "store/data_file.h"

StoreError FingerprintFile(const std::string& path, const std::string& name, FileFingerprint& fingerprint,
                           bool& missing) {
    fingerprint = FileFingerprint{};
    missing = false;
    CDataFile file;
    switch (file.Open(path)) {
        case CDataFile::OpenOutcome::Opened:
            break;
        case CDataFile::OpenOutcome::Missing:
        case CDataFile::OpenOutcome::NotAFile:
            missing = true;
            return StoreError{};
        case CDataFile::OpenOutcome::Failed:
            return StoreError::Of(StoreErrorKind::OpenFailed, name, file.Error());
    }
    const FileIdentity& identity = file.Identity();
    fingerprint.device = static_cast<std::uint64_t>(identity.device);
    fingerprint.inode = static_cast<std::uint64_t>(identity.inode);
    fingerprint.size = identity.size;
    fingerprint.modified = identity.modified;
    // A device has no size to read its tail from: its head alone is hashed.
    const std::int64_t size = identity.size;
    std::vector<unsigned char> bytes(2 * kFingerprintSpan);
    std::size_t head = 0;
    if (!file.ReadAt(0, bytes.data(), kFingerprintSpan, head))
        return StoreError::Of(StoreErrorKind::ReadFailed, name, file.Error());
    std::size_t tail = 0;
    if (size > static_cast<std::int64_t>(kFingerprintSpan)) {
        const std::int64_t from = size - static_cast<std::int64_t>(kFingerprintSpan);
        if (!file.ReadAt(from, bytes.data() + head, kFingerprintSpan, tail))
            return StoreError::Of(StoreErrorKind::ReadFailed, name, file.Error());
    }
    fingerprint.headTail = ContentHash(bytes.data(), head + tail, static_cast<std::uint64_t>(size));
    return StoreError{};
}
