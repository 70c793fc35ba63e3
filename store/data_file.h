#pragma once
// CDataFile: one database file opened read-only, with the size it had when
// it was opened, and checked reads at any position.
//
// A read that ends before that size is an error, not the end of the file: a
// file cut while it is open must never read as a shorter record. After a
// failed read the file is opened afresh at the next read, so that a disk
// put back in is read at once.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// errno stand-in for a file that ended before the size it had when opened.
inline constexpr int kFileCutShort = -1;

// What identifies a file's content between two opens: the same file, not
// changed since (size and times as the system keeps them).
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified == other.modified && changed == other.changed;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

struct stat;
FileIdentity IdentityOf(const struct stat& info);

class CDataFile {
public:
    enum class OpenOutcome { Opened, Missing, NotAFile, Failed };

    // blockSize > 0 keeps one block of that size for ReadSome, so that
    // records that lie close together cost one read.
    explicit CDataFile(std::size_t blockSize = 0);
    ~CDataFile() { Close(); }
    CDataFile(const CDataFile&) = delete;
    CDataFile& operator=(const CDataFile&) = delete;

    // Opens path for reading. Missing: no such file (or no such folder on
    // the way); NotAFile: a folder stands there; Failed: Error() says why.
    OpenOutcome Open(const std::string& path);
    // The same, but a file already open on path is kept when path still
    // names it, unchanged (one look at the path instead of an open): what a
    // search reads is the file as it is now either way.
    // folder, when not -1, is the open folder of the file and name its name
    // in it: the look goes from there rather than along the whole path.
    OpenOutcome OpenOrKeep(const std::string& path, int folder = -1, const char* name = nullptr);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // errno of the last failed open or read (kFileCutShort for a file cut short).
    int Error() const { return error_; }
    const std::string& Path() const { return path_; }
    // The size at the open; -1 for a device, whose reads end where it ends them.
    std::int64_t Size() const { return size_; }
    const FileIdentity& Identity() const { return identity_; }

    // Up to size bytes at offset into out; got gets how many came. Fewer
    // come only where the file (as it was when opened) ends. False on an
    // error (Error() says which), with got undefined.
    bool ReadAt(std::int64_t offset, void* out, std::size_t size, std::size_t& got);
    // Between 1 and size bytes at offset (0 only at the end of the file),
    // served from the kept block: one read of the file fills it with the
    // block that holds offset, and the bytes after offset within it come
    // without another.
    bool ReadSome(std::int64_t offset, void* out, std::size_t size, std::size_t& got);
    // Drops the kept block: the next read sees the file as it is now.
    void ForgetBlock() { blockLength_ = 0; }

private:
    bool Reopen();
    bool Fail(int error);

    int fd_ = -1;
    int error_ = 0;
    bool failed_ = false;
    std::string path_;
    std::int64_t size_ = -1;
    FileIdentity identity_;
    std::size_t blockSize_;
    std::unique_ptr<char[]> block_;
    std::int64_t blockStart_ = 0;
    std::size_t blockLength_ = 0;
};
