#pragma once
// A file-call table that fails on purpose: the K-th call (counting every
// open, read, write, stat, truncate, lock, unlink and close of the data
// files, the marker, history.buf and a private scratch file) fails with an errno, is interrupted (EINTR),
// moves only part of its bytes, or fails together with every call after it (a disk pulled out). Installed for
// its lifetime.

#include <cerrno>
#include <string>

#include "platform/file_io.h"

namespace testing_support {

enum class FaultMode {
    Once,         // the K-th call fails with the errno
    FromThenOn,   // the K-th call and every one after it fail with the errno
    Interrupted,  // the K-th call reports EINTR without doing anything
    Partial,      // the K-th read or write moves half its bytes (at least one)
};

class FailingIo {
public:
    // k counts from 1; k 0 fails nothing (but counts).
    FailingIo(FaultMode mode, long k, int error = EIO);
    ~FailingIo();
    FailingIo(const FailingIo&) = delete;
    FailingIo& operator=(const FailingIo&) = delete;

    long Calls() const { return calls_; }
    // Whether the fault was ever applied.
    bool Struck() const { return struck_; }
    static std::string ModeName(FaultMode mode);

    // What a call does: fail (with errno set), shorten, or go through.
    enum class Action { Pass, Fail, Shorten };
    Action Next();

private:
    FaultMode mode_;
    long k_;
    int error_;
    long calls_ = 0;
    bool struck_ = false;
    platform::FileIo table_;
};

// Writes that a full disk refuses (ENOSPC), or that a device such as
// /dev/null takes and forgets; every other call goes through. Installed for
// its lifetime.
enum class WriteFault { Full, Swallowed };

class FaultyWrites {
public:
    explicit FaultyWrites(WriteFault fault);
    ~FaultyWrites();
    FaultyWrites(const FaultyWrites&) = delete;
    FaultyWrites& operator=(const FaultyWrites&) = delete;

private:
    platform::FileIo table_;
};

}  // namespace testing_support
