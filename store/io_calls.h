#pragma once
// The file calls of the readers and of history.buf, each checked and
// retried as the system allows: an interrupted call (EINTR) is made again,
// and a read or write that moved fewer bytes than asked goes on from where
// it stopped. All go through platform::Io(), so that tests can fail them.

#include <fcntl.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>

namespace io_calls {

// Bytes moved, and errno when the call failed (0 otherwise). A read moves
// fewer bytes than asked without an error only at the end of the file.
struct Transfer {
    std::size_t bytes = 0;
    int error = 0;
};

// The file descriptor, or -1 with error set.
int Open(const char* path, int flags, int& error, mode_t mode = 0);
Transfer ReadAt(int fd, void* out, std::size_t size, std::int64_t offset);
// All of data, or an error; a write that moves nothing counts as ENOSPC.
Transfer WriteAt(int fd, const void* data, std::size_t size, std::int64_t offset);
// 0, or errno.
int Stat(int fd, struct stat& info);
// path relative to folder, an open folder, or as given with AT_FDCWD;
// flags as fstatat's (AT_SYMLINK_NOFOLLOW: the link itself).
int StatPath(const char* path, struct stat& info, int folder = AT_FDCWD, int flags = 0);
int Truncate(int fd, std::int64_t length);
// The exclusive advisory lock of the file, without waiting: 0, or errno
// (EWOULDBLOCK when another open of the file holds it).
int TryLock(int fd);
// Gives the lock up while the file stays open; a failure only keeps it longer.
void Unlock(int fd);
// 0, or errno.
int Rename(const char* from, const char* to);
// 0, or errno.
int Unlink(const char* path);
// Closing a file we only read, or whose writes were all checked, cannot lose
// anything of ours, so its result is not looked at.
void Close(int fd);

}  // namespace io_calls
