#include "support/failing_sqlite_vfs.h"

#include <sqlite3.h>

#include <cstring>
#include <memory>

namespace testing_support {
namespace {

// Our file, with the system VFS's own file right after it.
struct FaultFile {
    sqlite3_file base;
    FailingSqliteVfs* faults;
    sqlite3_file* real;
};

FailingSqliteVfs* FaultsOf(sqlite3_vfs* vfs) { return static_cast<FailingSqliteVfs*>(vfs->pAppData); }
FaultFile* Of(sqlite3_file* file) { return reinterpret_cast<FaultFile*>(file); }
sqlite3_file* RealOf(sqlite3_file* file) { return Of(file)->real; }

int Close(sqlite3_file* file) { return RealOf(file)->pMethods->xClose(RealOf(file)); }
int Read(sqlite3_file* file, void* out, int amount, sqlite3_int64 offset) {
    if (Of(file)->faults->Fails()) return SQLITE_IOERR_READ;
    return RealOf(file)->pMethods->xRead(RealOf(file), out, amount, offset);
}
int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (Of(file)->faults->Fails(true)) return Of(file)->faults->Full() ? SQLITE_FULL : SQLITE_IOERR_WRITE;
    return RealOf(file)->pMethods->xWrite(RealOf(file), data, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    if (Of(file)->faults->Fails()) return SQLITE_IOERR_TRUNCATE;
    return RealOf(file)->pMethods->xTruncate(RealOf(file), size);
}
int Sync(sqlite3_file* file, int flags) {
    if (Of(file)->faults->Fails()) return SQLITE_IOERR_FSYNC;
    return RealOf(file)->pMethods->xSync(RealOf(file), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    if (Of(file)->faults->Fails()) return SQLITE_IOERR_FSTAT;
    return RealOf(file)->pMethods->xFileSize(RealOf(file), size);
}
int Lock(sqlite3_file* file, int level) { return RealOf(file)->pMethods->xLock(RealOf(file), level); }
int Unlock(sqlite3_file* file, int level) { return RealOf(file)->pMethods->xUnlock(RealOf(file), level); }
int CheckReservedLock(sqlite3_file* file, int* out) {
    return RealOf(file)->pMethods->xCheckReservedLock(RealOf(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
    return RealOf(file)->pMethods->xFileControl(RealOf(file), op, arg);
}
int SectorSize(sqlite3_file* file) { return RealOf(file)->pMethods->xSectorSize(RealOf(file)); }
int DeviceCharacteristics(sqlite3_file* file) {
    return RealOf(file)->pMethods->xDeviceCharacteristics(RealOf(file));
}
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out) {
    if (Of(file)->faults->Fails()) return SQLITE_IOERR_SHMMAP;
    return RealOf(file)->pMethods->xShmMap(RealOf(file), region, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return RealOf(file)->pMethods->xShmLock(RealOf(file), offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) { RealOf(file)->pMethods->xShmBarrier(RealOf(file)); }
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
    return RealOf(file)->pMethods->xShmUnmap(RealOf(file), deleteFlag);
}
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** out) {
    // No memory-mapped reads: every read goes through Read, where it can fail.
    (void)file, (void)offset, (void)amount;
    *out = nullptr;
    return SQLITE_OK;
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
    (void)file, (void)offset, (void)page;
    return SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    Fetch,
    Unfetch,
};

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    FailingSqliteVfs* faults = FaultsOf(vfs);
    FaultFile* ours = Of(file);
    ours->base.pMethods = nullptr;
    if (faults->Fails()) return SQLITE_CANTOPEN;
    ours->faults = faults;
    ours->real = reinterpret_cast<sqlite3_file*>(ours + 1);
    const int code = faults->Real()->xOpen(faults->Real(), name, ours->real, flags, outFlags);
    if (code == SQLITE_OK || ours->real->pMethods != nullptr) ours->base.pMethods = &kMethods;
    return code;
}
int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
    if (FaultsOf(vfs)->Fails()) return SQLITE_IOERR_DELETE;
    return FaultsOf(vfs)->Real()->xDelete(FaultsOf(vfs)->Real(), name, syncDir);
}
int Access(sqlite3_vfs* vfs, const char* name, int flags, int* out) {
    if (FaultsOf(vfs)->Fails()) return SQLITE_IOERR_ACCESS;
    return FaultsOf(vfs)->Real()->xAccess(FaultsOf(vfs)->Real(), name, flags, out);
}
int FullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    return FaultsOf(vfs)->Real()->xFullPathname(FaultsOf(vfs)->Real(), name, size, out);
}
int Randomness(sqlite3_vfs* vfs, int size, char* out) {
    return FaultsOf(vfs)->Real()->xRandomness(FaultsOf(vfs)->Real(), size, out);
}
int Sleep(sqlite3_vfs* vfs, int microseconds) {
    return FaultsOf(vfs)->Real()->xSleep(FaultsOf(vfs)->Real(), microseconds);
}
int CurrentTime(sqlite3_vfs* vfs, double* out) {
    return FaultsOf(vfs)->Real()->xCurrentTime(FaultsOf(vfs)->Real(), out);
}
int LastError(sqlite3_vfs* vfs, int size, char* out) {
    return FaultsOf(vfs)->Real()->xGetLastError(FaultsOf(vfs)->Real(), size, out);
}
int CurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* out) {
    return FaultsOf(vfs)->Real()->xCurrentTimeInt64(FaultsOf(vfs)->Real(), out);
}

}  // namespace

FailingSqliteVfs::FailingSqliteVfs(VfsFault mode, long k, bool full) : mode_(mode), k_(k), full_(full) {
    real_ = sqlite3_vfs_find(nullptr);
    vfs_ = new sqlite3_vfs{};
    vfs_->iVersion = 2;
    vfs_->szOsFile = static_cast<int>(sizeof(FaultFile)) + real_->szOsFile;
    vfs_->mxPathname = real_->mxPathname;
    vfs_->zName = kName;
    vfs_->pAppData = this;
    vfs_->xOpen = Open;
    vfs_->xDelete = Delete;
    vfs_->xAccess = Access;
    vfs_->xFullPathname = FullPathname;
    vfs_->xDlOpen = nullptr;
    vfs_->xRandomness = Randomness;
    vfs_->xSleep = Sleep;
    vfs_->xCurrentTime = CurrentTime;
    vfs_->xGetLastError = LastError;
    vfs_->xCurrentTimeInt64 = CurrentTimeInt64;
    sqlite3_vfs_register(vfs_, 0);
}

FailingSqliteVfs::~FailingSqliteVfs() {
    sqlite3_vfs_unregister(vfs_);
    delete vfs_;
}

bool FailingSqliteVfs::Fails(bool write) {
    if (full_ && !write) return false;
    ++calls_;
    if (k_ <= 0) return false;
    const bool fails = mode_ == VfsFault::Once ? calls_ == k_ : calls_ >= k_;
    if (fails) struck_ = true;
    return fails;
}

}  // namespace testing_support
