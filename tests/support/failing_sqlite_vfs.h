#pragma once
// An SQLite VFS over the system's that fails on purpose, as a full or
// failing disk would: the K-th call (counting every open, delete, access
// check, read, write, truncate, sync, size query and shared-memory map)
// fails once, or fails with every call after it. The research log is
// opened on it by name (LogOptions::vfs). Registered for its lifetime.

#include <string>

struct sqlite3_vfs;

namespace testing_support {

enum class VfsFault {
    Once,        // the K-th call fails
    FromThenOn,  // the K-th call and every one after it fail
};

class FailingSqliteVfs {
public:
    static constexpr char kName[] = "chronara-failing";

    // k counts from 1; k 0 fails nothing (but counts). full: only writes
    // are counted and fail, as a full disk's do (SQLITE_FULL); else every
    // call counts and fails with an I/O error.
    FailingSqliteVfs(VfsFault mode, long k, bool full = false);
    ~FailingSqliteVfs();
    FailingSqliteVfs(const FailingSqliteVfs&) = delete;
    FailingSqliteVfs& operator=(const FailingSqliteVfs&) = delete;

    long Calls() const { return calls_; }
    bool Struck() const { return struck_; }
    // Fails nothing from now on (the calls go on being counted).
    void Mend() { k_ = 0; }

    // Whether this call fails; counts it. write: the call is a write.
    bool Fails(bool write = false);
    bool Full() const { return full_; }
    sqlite3_vfs* Real() const { return real_; }

private:
    VfsFault mode_;
    long k_;
    bool full_;
    long calls_ = 0;
    bool struck_ = false;
    sqlite3_vfs* real_ = nullptr;
    sqlite3_vfs* vfs_ = nullptr;
};

}  // namespace testing_support
