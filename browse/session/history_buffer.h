#pragma once
// CHistoryBuffer: the scratch file history.buf behind first-name searches.
//
// A bare sequence of 300-byte records (PageRow layout). Owned by the pager;
// emptied when a search finds it holding something, and never deleted. The
// page operations read the pager's page size through the reference given
// at construction. The file is read and written at explicit positions; the
// page boundary that a stream position would stand for is kept here.
//
// Several processes may use one installation folder. The buffer that fills
// history.buf holds an advisory lock on it (flock) until it empties it
// again, that is for as long as its hits are on show; a buffer that finds
// the file locked, or that may not write it (another user's, in a folder
// users share), keeps its hits in a file of its own in the same folder, one
// without a name (O_TMPFILE, or a name taken away at once), and goes on as
// if nothing had happened. history.buf is only ever a plain file in its
// folder: a link, a folder, a FIFO or a device there is refused unopened
// or unwritten.

#include <cstdint>
#include <string>
#include <vector>

#include "browse/session/page_row.h"

class CDirectories;

class CHistoryBuffer {
public:
    static constexpr std::int32_t kRecordSize = disk_format::kHistoryRowSize;
    static constexpr std::size_t kMaxPath = 255;
    // Hits are written in runs of this size rather than one call per hit.
    static constexpr std::size_t kStreamBuffer = 64 * 1024;

    // Copies the path (a path over 255 characters is treated like a file
    // that cannot be created) and calls Truncate. With dirs, the file lies
    // in its installation directory, which is made when first needed.
    CHistoryBuffer(const char* path, const std::int32_t& pageSize, const CDirectories* dirs = nullptr);
    ~CHistoryBuffer();
    CHistoryBuffer(const CHistoryBuffer&) = delete;
    CHistoryBuffer& operator=(const CHistoryBuffer&) = delete;

    // Makes sure the file exists and is empty, and opens it. A file known
    // to be empty already (nothing written since it was emptied) is left
    // alone, so a search without a first name writes nothing.
    bool Truncate();
    // Opens the file afresh by its path (creating it when it has gone) and
    // empties it when it holds anything: the start of a fill. The file is
    // then locked for this buffer, or, when another holds it, the buffer
    // works in a private file until the next Truncate or Reopen.
    bool Reopen();
    // Writes out the appended records and counts the records the file holds.
    // False when the file could not be asked its size (ReadError says why).
    bool Count();
    std::int32_t RecordCount() const { return recordCount_; }
    // -1 when not open; else the records taken (1, or 0 when a write failed).
    std::int32_t Append(std::int32_t extOffset, const char* givenNames, const char* summary);
    // -1 when not open or when the read failed (ReadError says why); else
    // the number of whole records read into rows. A failed read moves nothing.
    std::int32_t Read(PageRow* rows, std::int32_t position, std::int32_t n);
    // Up to n whole records from byte position, leaving the page operations'
    // position where it is; -1 as Read.
    std::int32_t ReadRecords(PageRow* rows, std::int64_t position, std::int32_t n);
    std::int32_t ReadFirstPage(PageRow* rows);
    std::int32_t ReadPrevPage(PageRow* rows);
    std::int32_t ReadNextPage(PageRow* rows);
    // Both false while the buffer is not open.
    bool HasPrev() const;
    bool HasNext() const;
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    // The records go to a private file, history.buf being another's.
    bool IsPrivate() const { return private_; }
    // The last open found something other than a plain file at the path.
    bool NotPlainFile() const { return notPlainFile_; }
    const char* Path() const { return path_.c_str(); }
    // True when a write of this fill phase failed (at Append or at the
    // write-out that Count makes): hits are missing from the file.
    bool WriteFailed() const { return writeFailed_; }
    // errno of the last read or count that failed, 0 after one that worked;
    // kFileCutShort when the file held fewer records than were counted.
    int ReadError() const { return readError_; }

private:
    // Opens the path for reading and writing, creating it; empties it when
    // it holds anything. False when it cannot be made.
    bool OpenEmpty();
    // history.buf opened, checked and locked; -1 when it is not to be used
    // (Taken: another buffer holds it).
    enum class SharedOpen { Locked, Taken, Failed };
    int OpenShared(SharedOpen& outcome);
    // An empty file of this buffer's own in history.buf's folder, or -1.
    int OpenPrivate();
    bool WritePending();

    std::string path_;
    std::string folder_;
    bool pathFits_;
    const std::int32_t& pageSize_;
    const CDirectories* dirs_;
    int fd_ = -1;
    bool private_ = false;
    bool locked_ = false;
    bool notPlainFile_ = false;
    // The file on disk holds no record: emptied, and nothing written since.
    bool knownEmpty_ = false;
    bool writeFailed_ = false;
    int readError_ = 0;
    std::int32_t recordCount_ = 0;
    std::int32_t pageStart_ = 0;
    // Just past the last record of the page read last: where the stream of
    // the page operations stands.
    std::int64_t position_ = 0;
    // Where the next record written goes, and the records not yet written.
    std::int64_t appendAt_ = 0;
    std::vector<char> pending_;
};
