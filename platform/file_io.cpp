#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

namespace platform {
namespace {

int SystemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
const FileIo kSystem = {SystemOpen, ::pread,   ::pwrite, ::fstat,    ::ftruncate,
                        ::close,    ::fstatat, ::flock,  ::unlinkat, std::rename};

const FileIo*& Slot() {
    static const FileIo* io = &kSystem;
    return io;
}

}  // namespace

const FileIo& Io() { return *Slot(); }

const FileIo& SystemIo() { return kSystem; }

void SetFileIo(const FileIo* io) { Slot() = io != nullptr ? io : &kSystem; }

}  // namespace platform
