#include "store/record_database.h"

#include <cstdio>
#include <cstring>

#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/name_index.h"
#include "store/path_buffer.h"

CRecordDatabase::CRecordDatabase(const CDirectories& dirs) : dirs_(dirs) {}

CRecordDatabase::~CRecordDatabase() { Close(); }

bool CRecordDatabase::CheckDataDisk() { return ::CheckDataDisk(dirs_); }

namespace {

OpenResult Failure(StoreErrorKind kind, std::string file = std::string()) {
    return OpenResult{false, StoreError::Of(kind, std::move(file))};
}

}  // namespace

OpenResult CRecordDatabase::Open(int row) {
    Close();
    const int code = catalogue::CodeOfRow(row);
    if (code == 0) return OpenResult{};
    return OpenFiles(code);
}

OpenResult CRecordDatabase::OpenCode(int code) {
    Close();
    if (catalogue::StemOf(code) == nullptr) return OpenResult{};
    return OpenFiles(code);
}

OpenResult CRecordDatabase::OpenFiles(int code) {
    code_ = code;
    char base[kPathSize];
    char path[kPathSize];
    if (!dirs_.DataDirFits() || !FormatPath(base, "%s%s", dirs_.DataDir(), catalogue::StemOf(code)) ||
        !FormatPath(path, "%s.ext", base)) {
        return Failure(StoreErrorKind::PathTooLong);
    }
    if (!recordStream_.Open(path, "rb", kRecordStreamBuffer))
        return Failure(StoreErrorKind::RecordFileMissing);
    if (!FormatPath(path, "%s.cor", base) || !entryStream_.Open(path, "rb", kEntryStreamBuffer)) {
        return Failure(StoreErrorKind::EntryFileMissing);
    }
    if (!FormatPath(path, "%s.tre", base)) return Failure(StoreErrorKind::PathTooLong);
    index_ = std::make_unique<CNameIndex>(path, catalogue::KeyFieldWidth(code));

    StoreError width = ReadNameWidth();
    if (width.Failed()) {
        Close();
        return OpenResult{false, width};
    }
    return OpenResult{true, {}};
}

StoreError CRecordDatabase::ReadNameWidth() {
    // The name width sits in the last 4 bytes; a width the 256-byte buffers
    // cannot hold means the file is not an entry file of ours.
    std::int32_t width = 0;
    const bool widthRead =
        entryStream_.SeekEnd(-disk_format::kNameWidthSize) && entryStream_.ReadInt32(width);
    if (!widthRead || width < 1 || width > kMaxNameWidth) {
        return StoreError::Of(StoreErrorKind::BadNameWidth, std::string(catalogue::StemOf(code_)) + ".cor");
    }
    nameWidth_ = width;
    entrySize_ = width + static_cast<std::int32_t>(disk_format::kEntryOffsetSize);
    return StoreError{};
}

void CRecordDatabase::MakeKey(char* text) const { MakeIndexKey(code_, text); }

std::int64_t CRecordDatabase::EntriesHeld() {
    if (!entryStream_.SeekEnd() || entryStream_.Tell() < disk_format::kNameWidthSize) return 0;
    return (entryStream_.Tell() - disk_format::kNameWidthSize) / entrySize_;
}

EntryRange CRecordDatabase::FindRange(const char* surname) {
    EntryRange range;
    if (!IsOpen()) return range;
    char key[disk_format::kMaxKeySurname + 1];
    std::snprintf(key, sizeof key, "%s", surname);
    MakeKey(key);
    char searchEntry[disk_format::kMaxKeyField] = {};
    std::memcpy(searchEntry, key, std::strlen(key) + 1);  // at most 22 + NUL after MakeKey
    index_->Lookup(searchEntry, range.first, range.count);
    if (range.first == -1) return range;
    range.found = true;

    // A damaged index may name entries the .cor file does not hold: the
    // range is cut to the entries that are there, so that neither the count
    // nor the first-name scan runs over entries that do not exist (a count
    // near 2^31 would keep the scan busy for hours).
    const std::int64_t held = EntriesHeld();
    const std::int64_t end = static_cast<std::int64_t>(range.first) + (range.count > 0 ? range.count : 0);
    if (range.first < 0 || end > held) {
        range.cut = true;
        if (range.first < 0 || range.first >= held) {
            range.first = 0;
            range.count = 0;
        } else {
            range.count = static_cast<std::int32_t>(held - range.first);
        }
    }
    return range;
}

bool CRecordDatabase::ReadEntry(std::int32_t i, CorEntry& entry) {
    if (!entryStream_.IsOpen() || i < 0) return false;
    const std::int64_t position = static_cast<std::int64_t>(i) * entrySize_;
    if (!entryStream_.Seek(position)) return false;
    // Read straight into the fields (the host is little-endian, as the file):
    // bytes past the end of the file leave the field's bytes as they were.
    const std::size_t got = entryStream_.ReadSome(&entry.recordOffset, sizeof entry.recordOffset) +
                            entryStream_.ReadSome(entry.givenNames, static_cast<std::size_t>(nameWidth_));
    // Bytes past the width are never part of the text: a field without its
    // NUL ends at the width (255 at most, so the buffer's last byte stays NUL).
    entry.givenNames[nameWidth_] = '\0';
    return got == static_cast<std::size_t>(entrySize_);
}

void CRecordDatabase::ReadRecord(std::int32_t offset, char* out) {
    std::size_t stored = 0;
    if (recordStream_.IsOpen() && offset >= 0 && recordStream_.Seek(offset)) {
        // Room for the NUL: a record over 4999 bytes is cut at the buffer.
        while (stored < kRecordBufferSize - 1) {
            const int byte = recordStream_.GetByte();
            if (byte < 0) break;
            out[stored++] = static_cast<char>(byte);
            if (byte == disk_format::kRecordEnd) break;
        }
    }
    out[stored] = '\0';
}

void CRecordDatabase::Close() {
    if (index_ != nullptr) {
        index_->Close();
        index_.reset();
    }
    recordStream_.Close();
    entryStream_.Close();
}
