#pragma once
// CRecordDatabase: turns one search request into a range of entries of one
// database and hands it to the result pager; afterwards serves the pager's
// reads of entries (.cor) and records (.ext) until the next search.
//
// Owns the index and the two streams of the open database from one Open to
// the next or to Close. Uses the directories and the pager without owning them.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "store/file_stream.h"

class CDirectories;
class CNameIndex;
class CResultPager;
class CSearchQuery;

class CRecordDatabase {
public:
    static constexpr std::size_t kGivenNamesSize = 256;
    static constexpr std::size_t kRecordBufferSize = 5000;
    static constexpr std::size_t kPathSize = 256;
    // A surname longer than this reaching Search is refused.
    static constexpr std::size_t kMaxSurname = 19;
    static constexpr std::int32_t kMaxNameWidth = 255;
    // Stream buffers: a whole long record, or a page of entries and the
    // first-name scan's run of them, arrive in one read.
    static constexpr std::size_t kRecordStreamBuffer = 16 * 1024;
    static constexpr std::size_t kEntryStreamBuffer = 16 * 1024;

    explicit CRecordDatabase(const CDirectories& dirs);
    ~CRecordDatabase();
    CRecordDatabase(const CRecordDatabase&) = delete;
    CRecordDatabase& operator=(const CRecordDatabase&) = delete;

    void SetPager(CResultPager* pager) { pager_ = pager; }

    // One search: pager Reset, disk check, Open, key, lookup, then the
    // pager's listing or first-name filter. False when the disk check was
    // cancelled, the surname was refused or the database failed to open;
    // otherwise what the pager's listing returned (false when not found).
    bool Search(CSearchQuery& query);
    // The same search on a database given by its code 1..14, for the tools,
    // which also reach the roll that no list row selects.
    bool SearchCode(CSearchQuery& query, int code);

    // Closes whatever is open and opens the database of combo row row.
    bool Open(int row);
    // Opens a database by code 1..14 (the tools reach code 9 this way).
    bool OpenCode(int code);

    // text: a buffer of at least 24 bytes holding a surname of at most 23 characters.
    void MakeKey(char* text) const;

    bool CheckDataDisk();

    // Entry i of the open .cor file into the entry buffer. A read past the
    // end leaves the fields as they were for the bytes that were not there.
    void ReadEntry(std::int32_t i);
    // The record at offset, line feed included, and a NUL, into out (5000
    // bytes); a record longer than 4999 bytes is cut at the buffer.
    void ReadRecord(std::int32_t offset, char* out);
    // The raw summary of the record at offset into out (at least 35 bytes).
    void ReadSummary(std::int32_t offset, char* out);
    // First byte of the record that the last ReadSummary read (-1 when there
    // was none): the passenger list's survival code.
    int SummaryFirstByte() const { return summaryFirstByte_; }

    void Close();

    std::int32_t RecordOffset() const { return recordOffset_; }
    const char* GivenNames() const { return givenNames_; }
    std::int32_t NameWidth() const { return nameWidth_; }
    std::int32_t EntrySize() const { return entrySize_; }
    std::int32_t DatabaseCode() const { return code_; }
    const CDirectories& Directories() const { return dirs_; }
    CNameIndex* Index() { return index_.get(); }
    bool IsOpen() const { return index_ != nullptr; }

private:
    bool RunSearch(CSearchQuery& query, int code);
    bool OpenFiles(int code);

    const CDirectories& dirs_;
    std::unique_ptr<CNameIndex> index_;
    CFileStream recordStream_;
    CFileStream entryStream_;
    CResultPager* pager_ = nullptr;
    std::int32_t recordOffset_ = 0;
    char givenNames_[kGivenNamesSize] = {};
    std::int32_t entrySize_ = 0;
    std::int32_t nameWidth_ = 0;
    std::int32_t code_ = -1;
    int summaryFirstByte_ = -1;
};
