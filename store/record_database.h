#pragma once
// CRecordDatabase: the files of one database, opened afresh for every search:
// finds the entry range of a surname and serves the reads of entries (.cor)
// and records (.ext) until the next search.
//
// Owns the index and the two streams of the open database from one Open to
// the next or to Close. Uses the directories without owning them. Knows
// nothing of the pages built from what it reads.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "store/disk_format.h"
#include "store/file_stream.h"
#include "store/store_error.h"

class CDirectories;
class CNameIndex;

// One .cor entry: where the person's record starts, and the given names.
struct CorEntry {
    std::int32_t recordOffset = 0;
    char givenNames[disk_format::kGivenNamesSize] = {};
};

// An open that worked, was refused (a row or code that selects no database:
// no error, nothing open) or failed (the error says why).
struct OpenResult {
    bool opened = false;
    StoreError error;
    explicit operator bool() const { return opened; }
};

// The entries of one surname, or what went wrong in looking for them.
struct EntryRange {
    StoreError error;
    bool found = false;
    std::int32_t first = -1;
    std::int32_t count = 0;
    // The index named entries past the end of the entry file; the range was
    // cut to those the file holds.
    bool cut = false;
};

class CRecordDatabase {
public:
    static constexpr std::size_t kGivenNamesSize = disk_format::kGivenNamesSize;
    static constexpr std::size_t kRecordBufferSize = disk_format::kRecordBufferSize;
    static constexpr std::size_t kPathSize = 256;
    static constexpr std::size_t kMaxSurname = disk_format::kMaxSurname;
    static constexpr std::int32_t kMaxNameWidth = disk_format::kMaxNameWidth;
    // Stream buffers: a whole long record, or a page of entries and the
    // first-name scan's run of them, arrive in one read.
    static constexpr std::size_t kRecordStreamBuffer = 16 * 1024;
    static constexpr std::size_t kEntryStreamBuffer = 16 * 1024;

    explicit CRecordDatabase(const CDirectories& dirs);
    ~CRecordDatabase();
    CRecordDatabase(const CRecordDatabase&) = delete;
    CRecordDatabase& operator=(const CRecordDatabase&) = delete;

    // Closes whatever is open and opens the database of combo row row.
    OpenResult Open(int row);
    // Opens a database by code 1..14 (the tools reach code 9 this way).
    OpenResult OpenCode(int code);

    // The entry range of surname (at most kMaxSurname characters) in the
    // open database.
    EntryRange FindRange(const char* surname);

    // text: a buffer of at least 24 bytes holding a surname of at most 23 characters.
    void MakeKey(char* text) const;

    bool CheckDataDisk();

    // Entry i of the open .cor file. A read past the end leaves the fields
    // as they were for the bytes that were not there.
    bool ReadEntry(std::int32_t i, CorEntry& entry);
    // The record at offset, line feed included, and a NUL, into out (5000
    // bytes); a record longer than 4999 bytes is cut at the buffer.
    void ReadRecord(std::int32_t offset, char* out);
    // The raw summary of the record at offset into out (at least 35 bytes);
    // firstByte gets the record's first byte (-1 when there was none): the
    // passenger list's survival code.
    void ReadSummary(std::int32_t offset, char* out, int& firstByte);

    void Close();

    std::int32_t NameWidth() const { return nameWidth_; }
    std::int32_t EntrySize() const { return entrySize_; }
    std::int32_t DatabaseCode() const { return code_; }
    const CDirectories& Directories() const { return dirs_; }
    CNameIndex* Index() { return index_.get(); }
    bool IsOpen() const { return index_ != nullptr; }

private:
    OpenResult OpenFiles(int code);
    StoreError ReadNameWidth();
    // Entries the open .cor file holds.
    std::int64_t EntriesHeld();

    const CDirectories& dirs_;
    std::unique_ptr<CNameIndex> index_;
    CFileStream recordStream_;
    CFileStream entryStream_;
    std::int32_t entrySize_ = 0;
    std::int32_t nameWidth_ = 0;
    std::int32_t code_ = -1;
};
