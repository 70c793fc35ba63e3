#pragma once
// CHistoryBuffer: the scratch file history.buf behind first-name searches.
//
// A bare sequence of 300-byte records (PageRow layout). Owned by the pager;
// emptied at every search and never deleted. The page operations read the
// pager's page size through the reference given at construction.

#include <cstdint>
#include <string>

#include "browse/page_row.h"
#include "store/directories.h"
#include "store/file_stream.h"

class CHistoryBuffer {
public:
    static constexpr std::int32_t kRecordSize = 300;
    static constexpr std::size_t kMaxPath = 255;
    // Hits are written in large runs rather than one call per hit.
    static constexpr std::size_t kStreamBuffer = 64 * 1024;

    // Copies the path (a path over 255 characters is treated like a file
    // that cannot be created) and calls Truncate. With dirs, the file lies
    // in its installation directory, which Truncate prepares first.
    CHistoryBuffer(const char* path, const std::int32_t& pageSize, const CDirectories* dirs = nullptr);
    ~CHistoryBuffer();

    bool Truncate();
    bool Reopen();
    void Count();
    std::int32_t RecordCount() const { return recordCount_; }
    // -1 when not open; else the records written (1, or 0 when the write failed).
    std::int32_t Append(std::int32_t extOffset, const char* givenNames, const char* summary);
    // -1 when not open; else the number of whole records read into rows.
    std::int32_t Read(PageRow* rows, std::int32_t position, std::int32_t n);
    std::int32_t ReadFirstPage(PageRow* rows);
    std::int32_t ReadPrevPage(PageRow* rows);
    std::int32_t ReadNextPage(PageRow* rows);
    // Both false while the buffer is not open.
    bool HasPrev();
    bool HasNext();
    void Close();

    bool IsOpen() const { return open_; }
    const char* Path() const { return path_.c_str(); }
    // True when a write of this fill phase failed (at Append or at the
    // flush that Count makes): hits are missing from the file.
    bool WriteFailed() const { return writeFailed_; }

private:
    std::string path_;
    bool pathFits_;
    const std::int32_t& pageSize_;
    const CDirectories* dirs_;
    bool folderReady_ = false;  // the installation directory is there (or needs no preparing)
    CFileStream stream_;
    bool open_ = false;
    bool atEnd_ = false;  // the stream stands at the end of the file after an Append
    bool writeFailed_ = false;
    std::int32_t recordCount_ = 0;
    std::int32_t pageStart_ = 0;
};
