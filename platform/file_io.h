#pragma once
// The file system calls of the data files and the scratch file, as a
// replaceable service, so that tests can make any one of them fail.
//
// The readers and history.buf go through these and nothing else; each call
// has the meaning and the errno of the POSIX call of the same name. Without
// an installed table the system's own calls are used.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace platform {

struct FileIo {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*pread)(int fd, void* buffer, std::size_t size, off_t offset);
    ssize_t (*pwrite)(int fd, const void* buffer, std::size_t size, off_t offset);
    int (*fstat)(int fd, struct stat* info);
    int (*ftruncate)(int fd, off_t length);
    int (*close)(int fd);
    // fstatat: a path relative to an open folder (AT_FDCWD: as given).
    int (*statAt)(int folder, const char* path, struct stat* info, int flags);
    // flock, the advisory lock that keeps history.buf to one process at a time.
    int (*flock)(int fd, int operation);
    // unlinkat: a private scratch file made under a name is unnamed at once.
    int (*unlinkAt)(int folder, const char* path, int flags);
    // rename: a word index in the user's cache takes its name when it is whole.
    int (*rename)(const char* from, const char* to);
};

// The table in use.
const FileIo& Io();
// The system's calls.
const FileIo& SystemIo();
// Installs a table (null restores the system's). The table must outlive its use.
void SetFileIo(const FileIo* io);

}  // namespace platform
