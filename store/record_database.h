#pragma once
// CRecordDatabase: the files of one database, opened afresh for every search:
// finds the entry range of a surname and serves the reads of entries (.cor)
// and records (.ext) until the next search.
//
// Owns the index and the two files of the open database from one Open to
// the next or to Close, and keeps, between searches, what it learnt of an
// unchanged file (the index's upper pages, the name width). Uses the
// directories without owning them. Knows nothing of the pages built from
// what it reads. Every read returns what went wrong as a value; nothing is
// ever written.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/data_file.h"
#include "store/disk_format.h"
#include "store/name_index.h"
#include "store/store_error.h"

class CDirectories;

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
    // The records of one page usually lie together: one block of the
    // system's page size serves their summaries.
    static constexpr std::size_t kRecordBlock = 4096;

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

    // The data-disk check (see data_disk.h), asking through prompt.
    bool CheckDataDisk(const DiskPrompt& prompt);

    // Entries first .. first + count - 1 (count at most 10) of the open .cor file.
    StoreError ReadEntries(std::int32_t first, std::int32_t count, CorEntry* entries);
    StoreError ReadEntry(std::int32_t i, CorEntry& entry) { return ReadEntries(i, 1, &entry); }
    // The raw bytes of count entries from first, into out (count * EntrySize()).
    StoreError ReadEntryBytes(std::int32_t first, std::int32_t count, char* out);
    // The record at offset, line feed included, and a NUL, into out (5000
    // bytes); a record longer than 4999 bytes is cut at the buffer, and an
    // offset outside the file gives an empty record. stored, when given,
    // gets the number of bytes before the NUL (a record may hold NUL bytes).
    StoreError ReadRecord(std::int32_t offset, char* out, std::size_t* stored = nullptr);
    // The raw summary of the record at offset into out (at least 35 bytes);
    // firstByte gets the record's first byte (-1 when there was none): the
    // passenger list's survival code.
    StoreError ReadSummary(std::int32_t offset, char* out, int& firstByte);
    // The same as ReadRecord, served from a large window of the file that
    // one read fills: a walk over many records that lie in file order
    // (a record search) reads the file in large pieces, not a record at a time.
    StoreError ReadRecordAhead(std::int32_t offset, char* out, std::size_t* stored = nullptr);
    // A command starts: what was read for the last one is not trusted again.
    void ForgetReads() {
        recordFile_.ForgetBlock();
        windowLength_ = 0;
    }

    void Close();

    std::int32_t NameWidth() const { return nameWidth_; }
    std::int32_t EntrySize() const { return entrySize_; }
    std::int32_t DatabaseCode() const { return code_; }
    const CDirectories& Directories() const { return dirs_; }
    CNameIndex* Index() { return index_.get(); }
    bool IsOpen() const { return index_ != nullptr; }
    // Entries the open .cor file holds.
    std::int64_t EntriesHeld() const;

private:
    // What is known of one database's unchanged entry file.
    struct WidthCache {
        FileIdentity file;
        std::int32_t width = 0;
    };

    OpenResult OpenFiles(int code);
    // The data folder, held open while the marker the last disk check found
    // is the one it was opened with, so that the files of a database can be
    // looked at by name from there; -1 when there is none.
    int DataFolder();
    StoreError OpenDataFile(CDataFile& file, const std::string& path, const char* extension,
                            StoreErrorKind missing);
    StoreError ReadNameWidth();
    StoreError ReadFailure(const CDataFile& file, const char* extension) const;
    std::string FileName(const char* extension) const;

    const CDirectories& dirs_;
    std::unique_ptr<CNameIndex> index_;
    CDataFile recordFile_{kRecordBlock};
    CDataFile entryFile_;
    std::int32_t entrySize_ = 0;
    std::int32_t nameWidth_ = 0;
    std::int32_t code_ = -1;
    FileIdentity markerSeen_;  // of the last disk check that found the disk
    int folder_ = -1;
    FileIdentity folderMarker_;
    std::string folderPath_;
    CNameIndex::Cache indexCaches_[catalogue::kLastCode + 1];
    // The window of ReadRecordAhead, allocated at its first use.
    static constexpr std::size_t kRecordWindow = 1 << 20;
    std::unique_ptr<char[]> window_;
    std::int64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    WidthCache widthCaches_[catalogue::kLastCode + 1];
};
