#include "support/failing_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

namespace testing_support {
namespace {

FailingIo* active = nullptr;

FailingIo::Action Decide() { return active != nullptr ? active->Next() : FailingIo::Action::Pass; }

int Open(const char* path, int flags, mode_t mode) {
    return Decide() == FailingIo::Action::Fail ? -1 : ::open(path, flags, mode);
}

ssize_t Pread(int fd, void* buffer, std::size_t size, off_t offset) {
    switch (Decide()) {
        case FailingIo::Action::Fail:
            return -1;
        case FailingIo::Action::Shorten:
            return ::pread(fd, buffer, size > 1 ? size / 2 : size, offset);
        case FailingIo::Action::Pass:
            break;
    }
    return ::pread(fd, buffer, size, offset);
}

ssize_t Pwrite(int fd, const void* buffer, std::size_t size, off_t offset) {
    switch (Decide()) {
        case FailingIo::Action::Fail:
            return -1;
        case FailingIo::Action::Shorten:
            return ::pwrite(fd, buffer, size > 1 ? size / 2 : size, offset);
        case FailingIo::Action::Pass:
            break;
    }
    return ::pwrite(fd, buffer, size, offset);
}

int Fstat(int fd, struct stat* info) { return Decide() == FailingIo::Action::Fail ? -1 : ::fstat(fd, info); }

int Ftruncate(int fd, off_t length) {
    return Decide() == FailingIo::Action::Fail ? -1 : ::ftruncate(fd, length);
}

int StatAt(int folder, const char* path, struct stat* info, int flags) {
    return Decide() == FailingIo::Action::Fail ? -1 : ::fstatat(folder, path, info, flags);
}

int Flock(int fd, int operation) { return Decide() == FailingIo::Action::Fail ? -1 : ::flock(fd, operation); }

int UnlinkAt(int folder, const char* path, int flags) {
    return Decide() == FailingIo::Action::Fail ? -1 : ::unlinkat(folder, path, flags);
}

int Rename(const char* from, const char* to) {
    return Decide() == FailingIo::Action::Fail ? -1 : std::rename(from, to);
}

int Close(int fd) {
    // The descriptor goes either way, as on Linux.
    const bool fail = Decide() == FailingIo::Action::Fail;
    const int result = ::close(fd);
    return fail ? -1 : result;
}

}  // namespace

FailingIo::FailingIo(FaultMode mode, long k, int error)
    : mode_(mode), k_(k), error_(error), table_{Open,  Pread,  Pwrite, Fstat,    Ftruncate,
                                                Close, StatAt, Flock,  UnlinkAt, Rename} {
    active = this;
    platform::SetFileIo(&table_);
}

FailingIo::~FailingIo() {
    platform::SetFileIo(nullptr);
    active = nullptr;
}

FailingIo::Action FailingIo::Next() {
    ++calls_;
    const bool hit = k_ > 0 && (calls_ == k_ || (mode_ == FaultMode::FromThenOn && calls_ > k_));
    if (!hit) return Action::Pass;
    struck_ = true;
    switch (mode_) {
        case FaultMode::Once:
        case FaultMode::FromThenOn:
            errno = error_;
            return Action::Fail;
        case FaultMode::Interrupted:
            errno = EINTR;
            return Action::Fail;
        case FaultMode::Partial:
            return Action::Shorten;
    }
    return Action::Pass;
}

FaultyWrites::FaultyWrites(WriteFault fault) : table_(platform::SystemIo()) {
    if (fault == WriteFault::Full) {
        table_.pwrite = [](int, const void*, std::size_t, off_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        };
    } else {
        table_.pwrite = [](int, const void*, std::size_t size, off_t) { return static_cast<ssize_t>(size); };
    }
    platform::SetFileIo(&table_);
}

FaultyWrites::~FaultyWrites() { platform::SetFileIo(nullptr); }

std::string FailingIo::ModeName(FaultMode mode) {
    switch (mode) {
        case FaultMode::Once:
            return "once";
        case FaultMode::FromThenOn:
            return "from-then-on";
        case FaultMode::Interrupted:
            return "interrupted";
        case FaultMode::Partial:
            return "partial";
    }
    return "?";
}

}  // namespace testing_support
