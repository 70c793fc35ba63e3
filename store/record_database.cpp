#include "store/record_database.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/data_disk.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/int32_bytes.h"
#include "store/io_calls.h"
#include "store/path_buffer.h"
#include "store/raw_summary.h"

namespace {

OpenResult Failure(const StoreError& error) { return OpenResult{false, error}; }

// The bytes of one record from a file, a run at a time, for the summary walk.
class RecordCursor {
public:
    RecordCursor(CDataFile& file, std::int64_t offset) : file_(file), next_(offset) {}
    // The next byte as 0..255, or -1 at the end of the record's bytes or on an error.
    int Next() {
        if (at_ == length_) {
            if (ended_ || failed_) return -1;
            if (!file_.ReadSome(next_, run_, sizeof run_, length_)) {
                failed_ = true;
                length_ = 0;
                return -1;
            }
            at_ = 0;
            next_ += static_cast<std::int64_t>(length_);
            if (length_ == 0) {
                ended_ = true;
                return -1;
            }
        }
        return static_cast<unsigned char>(run_[at_++]);
    }
    bool Failed() const { return failed_; }

private:
    CDataFile& file_;
    std::int64_t next_;
    char run_[64];
    std::size_t length_ = 0;
    std::size_t at_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

}  // namespace

CRecordDatabase::CRecordDatabase(const CDirectories& dirs) : dirs_(dirs) {}

CRecordDatabase::~CRecordDatabase() {
    Close();
    io_calls::Close(folder_);
}

bool CRecordDatabase::CheckDataDisk(const DiskPrompt& prompt) {
    markerSeen_ = FileIdentity{};
    return ::CheckDataDisk(dirs_, prompt, &markerSeen_);
}

int CRecordDatabase::DataFolder() {
    // A folder opened for another disk, or before a disk check, is not used:
    // the disk may have been changed under the same path.
    const bool checked = markerSeen_.inode != 0;
    if (folder_ >= 0 && checked && markerSeen_ == folderMarker_ && folderPath_ == dirs_.DataDir())
        return folder_;
    io_calls::Close(folder_);
    folder_ = -1;
    if (!checked) return -1;
    int error = 0;
    folder_ = io_calls::Open(dirs_.DataDir(), O_PATH | O_DIRECTORY | O_CLOEXEC, error);
    folderMarker_ = markerSeen_;
    folderPath_ = dirs_.DataDir();
    return folder_;
}

OpenResult CRecordDatabase::Open(int row) { return OpenCode(catalogue::CodeOfRow(row)); }

OpenResult CRecordDatabase::OpenCode(int code) {
    // The files of the database searched last stay open when their paths
    // still name them unchanged; anything else is closed first.
    if (catalogue::StemOf(code) == nullptr) {
        Close();
        return OpenResult{};
    }
    if (code != code_ || !IsOpen()) Close();
    return OpenFiles(code);
}

std::string CRecordDatabase::FileName(const char* extension) const {
    return std::string(catalogue::StemOf(code_)) + extension;
}

StoreError CRecordDatabase::ReadFailure(const CDataFile& file, const char* extension) const {
    return StoreError::Of(StoreErrorKind::ReadFailed, FileName(extension), file.Error());
}

StoreError CRecordDatabase::OpenDataFile(CDataFile& file, const std::string& path, const char* extension,
                                         StoreErrorKind missing) {
    const std::string name = FileName(extension);
    switch (file.OpenOrKeep(path, DataFolder(), name.c_str())) {
        case CDataFile::OpenOutcome::Opened:
            return StoreError{};
        // The number says which of the two, for the message's details.
        case CDataFile::OpenOutcome::Missing:
            return StoreError::Of(missing, name, ENOENT);
        case CDataFile::OpenOutcome::NotAFile:
            return StoreError::Of(missing, name, EISDIR);
        case CDataFile::OpenOutcome::Failed:
            break;
    }
    return StoreError::Of(StoreErrorKind::OpenFailed, name, file.Error());
}

OpenResult CRecordDatabase::OpenFiles(int code) {
    code_ = code;
    windowLength_ = 0;
    char base[kPathSize];
    char path[kPathSize];
    if (!dirs_.DataDirFits() || !FormatPath(base, "%s%s", dirs_.DataDir(), catalogue::StemOf(code)) ||
        !FormatPath(path, "%s.ext", base)) {
        return Failure(StoreError::Of(StoreErrorKind::PathTooLong));
    }
    StoreError error = OpenDataFile(recordFile_, path, ".ext", StoreErrorKind::RecordFileMissing);
    if (!error.Failed()) {
        if (!FormatPath(path, "%s.cor", base)) return Failure(StoreError::Of(StoreErrorKind::PathTooLong));
        error = OpenDataFile(entryFile_, path, ".cor", StoreErrorKind::EntryFileMissing);
    }
    if (!error.Failed()) {
        if (!FormatPath(path, "%s.tre", base)) return Failure(StoreError::Of(StoreErrorKind::PathTooLong));
        if (index_ == nullptr) {
            index_ = std::make_unique<CNameIndex>(catalogue::KeyFieldWidth(code), &indexCaches_[code]);
        }
        error = index_->Open(path, FileName(".tre"), DataFolder());
    }
    if (!error.Failed()) error = ReadNameWidth();
    if (error.Failed()) {
        Close();
        return Failure(error);
    }
    return OpenResult{true, {}};
}

StoreError CRecordDatabase::ReadNameWidth() {
    // The name width sits in the last 4 bytes; a width the 256-byte buffers
    // cannot hold means the file is not an entry file of ours. An entry
    // file that has not changed since the last search has the width it had.
    WidthCache& known = widthCaches_[code_];
    std::int32_t width = 0;
    if (entryFile_.Identity().size >= 0 && known.file == entryFile_.Identity()) {
        width = known.width;
    } else {
        const std::int64_t size = entryFile_.Size();
        unsigned char bytes[disk_format::kNameWidthSize] = {};
        std::size_t got = 0;
        if (size >= disk_format::kNameWidthSize) {
            if (!entryFile_.ReadAt(size - disk_format::kNameWidthSize, bytes, sizeof bytes, got)) {
                return ReadFailure(entryFile_, ".cor");
            }
            width = LoadInt32(bytes);
        }
    }
    if (width < 1 || width > kMaxNameWidth)
        return StoreError::Of(StoreErrorKind::BadNameWidth, FileName(".cor"));
    known = WidthCache{entryFile_.Identity(), width};
    nameWidth_ = width;
    entrySize_ = width + static_cast<std::int32_t>(disk_format::kEntryOffsetSize);
    return StoreError{};
}

void CRecordDatabase::MakeKey(char* text) const { MakeIndexKey(code_, text); }

std::int64_t CRecordDatabase::EntriesHeld() const {
    const std::int64_t size = entryFile_.Size();
    if (size < disk_format::kNameWidthSize || entrySize_ <= 0) return 0;
    return (size - disk_format::kNameWidthSize) / entrySize_;
}

EntryRange CRecordDatabase::FindRange(const char* surname) {
    EntryRange range;
    if (!IsOpen()) return range;
    char key[disk_format::kMaxKeySurname + 1];
    std::snprintf(key, sizeof key, "%s", surname);
    MakeKey(key);
    char searchEntry[disk_format::kMaxKeyField] = {};
    std::memcpy(searchEntry, key, std::strlen(key) + 1);  // at most 22 + NUL after MakeKey
    range.error = index_->Lookup(searchEntry, range.first, range.count);
    if (range.error.Failed() || range.first == -1) {
        range.first = -1;
        range.count = 0;
        return range;
    }
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

StoreError CRecordDatabase::ReadEntryBytes(std::int32_t first, std::int32_t count, char* out) {
    if (!IsOpen() || first < 0 || count <= 0) return StoreError{};
    const std::size_t wanted = static_cast<std::size_t>(count) * static_cast<std::size_t>(entrySize_);
    std::size_t got = 0;
    if (!entryFile_.ReadAt(static_cast<std::int64_t>(first) * entrySize_, out, wanted, got)) {
        return ReadFailure(entryFile_, ".cor");
    }
    // The range was cut to the entries the file held when it was opened;
    // fewer bytes mean it no longer holds them.
    if (got < wanted) return StoreError::Of(StoreErrorKind::ReadFailed, FileName(".cor"), kFileCutShort);
    return StoreError{};
}

StoreError CRecordDatabase::ReadEntries(std::int32_t first, std::int32_t count, CorEntry* entries) {
    constexpr std::int32_t kMaxEntries = 10;
    if (count > kMaxEntries) count = kMaxEntries;
    char bytes[kMaxEntries * (disk_format::kEntryOffsetSize + disk_format::kMaxNameWidth)];
    StoreError error = ReadEntryBytes(first, count, bytes);
    if (error.Failed()) return error;
    const auto width = static_cast<std::size_t>(nameWidth_);
    for (std::int32_t i = 0; i < count; ++i) {
        const char* entry = bytes + static_cast<std::size_t>(i) * static_cast<std::size_t>(entrySize_);
        entries[i].recordOffset = LoadInt32(reinterpret_cast<const unsigned char*>(entry));
        std::memcpy(entries[i].givenNames, entry + disk_format::kEntryOffsetSize, width);
        // Bytes past the width are never part of the text: a field without
        // its NUL ends at the width (255 at most, so the buffer's last byte stays NUL).
        entries[i].givenNames[width] = '\0';
    }
    return StoreError{};
}

StoreError CRecordDatabase::ReadRecord(std::int32_t offset, char* out, std::size_t* storedBytes) {
    out[0] = '\0';
    if (storedBytes != nullptr) *storedBytes = 0;
    if (!IsOpen() || offset < 0) return StoreError{};
    // Room for the NUL: a record over 4999 bytes is cut at the buffer.
    std::size_t got = 0;
    if (!recordFile_.ReadAt(offset, out, disk_format::kMaxRecord, got))
        return ReadFailure(recordFile_, ".ext");
    const auto* end = static_cast<const char*>(std::memchr(out, disk_format::kRecordEnd, got));
    const std::size_t stored = end != nullptr ? static_cast<std::size_t>(end - out) + 1 : got;
    out[stored] = '\0';
    if (storedBytes != nullptr) *storedBytes = stored;
    return StoreError{};
}

StoreError CRecordDatabase::ReadRecordAhead(std::int32_t offset, char* out, std::size_t* storedBytes) {
    const std::int64_t size = recordFile_.Size();
    if (!IsOpen() || offset < 0 || size < 0) return ReadRecord(offset, out, storedBytes);
    // What ReadRecord would read: up to 4999 bytes, as far as the file goes.
    const std::int64_t left = size > offset ? size - offset : 0;
    const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(left, disk_format::kMaxRecord));
    const std::int64_t end = offset + static_cast<std::int64_t>(wanted);
    if (offset < windowStart_ || end > windowStart_ + static_cast<std::int64_t>(windowLength_)) {
        if (!window_) window_ = std::make_unique<char[]>(kRecordWindow);
        windowLength_ = 0;
        std::size_t got = 0;
        if (!recordFile_.ReadAt(offset, window_.get(), kRecordWindow, got))
            return ReadFailure(recordFile_, ".ext");
        windowStart_ = offset;
        windowLength_ = got;
        if (got < wanted) return StoreError::Of(StoreErrorKind::ReadFailed, FileName(".ext"), kFileCutShort);
    }
    const char* from = window_.get() + (offset - windowStart_);
    const auto* lineEnd = static_cast<const char*>(std::memchr(from, disk_format::kRecordEnd, wanted));
    const std::size_t stored = lineEnd != nullptr ? static_cast<std::size_t>(lineEnd - from) + 1 : wanted;
    std::memcpy(out, from, stored);
    out[stored] = '\0';
    if (storedBytes != nullptr) *storedBytes = stored;
    return StoreError{};
}

StoreError CRecordDatabase::ReadSummary(std::int32_t offset, char* out, int& firstByte) {
    // A position outside the file reads like the end of the file.
    if (!IsOpen() || offset < 0) {
        firstByte = BuildRawSummary([] { return -1; }, out);
        return StoreError{};
    }
    RecordCursor cursor(recordFile_, offset);
    firstByte = BuildRawSummary([&] { return cursor.Next(); }, out);
    if (cursor.Failed()) return ReadFailure(recordFile_, ".ext");
    return StoreError{};
}

void CRecordDatabase::Close() {
    if (index_ != nullptr) {
        index_->Close();
        index_.reset();
    }
    recordFile_.Close();
    entryFile_.Close();
    windowLength_ = 0;
}
