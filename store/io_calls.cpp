#include "store/io_calls.h"

#include <sys/file.h>

#include <cerrno>

#include "platform/file_io.h"

namespace io_calls {
namespace {

// An interrupted call is made again, but not without end: a signal storm
// (or a broken file system) ends as the error it is.
constexpr int kMaxInterruptions = 1000;

template <typename Call>
auto Retrying(Call call) -> decltype(call()) {
    for (int tries = 0;; ++tries) {
        const auto result = call();
        if (result >= 0 || errno != EINTR || tries >= kMaxInterruptions) return result;
    }
}

}  // namespace

int Open(const char* path, int flags, int& error, mode_t mode) {
    const int fd = Retrying([&] { return platform::Io().open(path, flags, mode); });
    error = fd < 0 ? (errno != 0 ? errno : EIO) : 0;
    return fd;
}

Transfer ReadAt(int fd, void* out, std::size_t size, std::int64_t offset) {
    Transfer done;
    auto* bytes = static_cast<char*>(out);
    while (done.bytes < size) {
        const std::size_t left = size - done.bytes;
        const auto at = static_cast<off_t>(offset + static_cast<std::int64_t>(done.bytes));
        const ssize_t got = Retrying([&] { return platform::Io().pread(fd, bytes + done.bytes, left, at); });
        if (got < 0) {
            done.error = errno != 0 ? errno : EIO;
            return done;
        }
        if (got == 0) return done;  // the end of the file
        if (static_cast<std::size_t>(got) > left) {
            done.error = EIO;  // more than asked: nothing read can be trusted
            return done;
        }
        done.bytes += static_cast<std::size_t>(got);
    }
    return done;
}

Transfer WriteAt(int fd, const void* data, std::size_t size, std::int64_t offset) {
    Transfer done;
    const auto* bytes = static_cast<const char*>(data);
    while (done.bytes < size) {
        const std::size_t left = size - done.bytes;
        const auto at = static_cast<off_t>(offset + static_cast<std::int64_t>(done.bytes));
        const ssize_t put = Retrying([&] { return platform::Io().pwrite(fd, bytes + done.bytes, left, at); });
        if (put < 0) {
            done.error = errno != 0 ? errno : EIO;
            return done;
        }
        if (put == 0 || static_cast<std::size_t>(put) > left) {
            done.error = put == 0 ? ENOSPC : EIO;
            return done;
        }
        done.bytes += static_cast<std::size_t>(put);
    }
    return done;
}

int Stat(int fd, struct stat& info) {
    const int result = Retrying([&] { return platform::Io().fstat(fd, &info); });
    return result == 0 ? 0 : (errno != 0 ? errno : EIO);
}

int StatPath(const char* path, struct stat& info, int folder, int flags) {
    const int result = Retrying([&] { return platform::Io().statAt(folder, path, &info, flags); });
    return result == 0 ? 0 : (errno != 0 ? errno : EIO);
}

int Truncate(int fd, std::int64_t length) {
    const int result = Retrying([&] { return platform::Io().ftruncate(fd, static_cast<off_t>(length)); });
    return result == 0 ? 0 : (errno != 0 ? errno : EIO);
}

int TryLock(int fd) {
    const int result = Retrying([&] { return platform::Io().flock(fd, LOCK_EX | LOCK_NB); });
    return result == 0 ? 0 : (errno != 0 ? errno : EIO);
}

void Unlock(int fd) {
    if (fd >= 0) Retrying([&] { return platform::Io().flock(fd, LOCK_UN); });
}

int Rename(const char* from, const char* to) {
    const int result = Retrying([&] { return platform::Io().rename(from, to); });
    return result == 0 ? 0 : (errno != 0 ? errno : EIO);
}

int Unlink(const char* path) {
    const int result = Retrying([&] { return platform::Io().unlinkAt(AT_FDCWD, path, 0); });
    return result == 0 ? 0 : (errno != 0 ? errno : EIO);
}

void Close(int fd) {
    // Not retried: on Linux the descriptor is gone even when close reports EINTR.
    if (fd >= 0) platform::Io().close(fd);
}

}  // namespace io_calls
