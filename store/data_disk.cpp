#include "store/data_disk.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>

#include "store/data_file.h"
#include "store/directories.h"
#include "store/io_calls.h"
#include "store/path_buffer.h"

namespace {

// The superuser reads any file its permissions name; asked once, as a
// process does not change who it is.
bool ReadsEveryFile() {
    static const bool superuser = ::geteuid() == 0;
    return superuser;
}

}  // namespace

bool FindDataDisk(const CDirectories& dirs, FileIdentity* marker) {
    if (!dirs.DataDirFits()) return false;
    char path[260];
    if (!FormatPath(path, "%s%s", dirs.DataDir(), kMarkerFileName)) return false;
    // A folder of that name is no marker, and a marker that cannot be opened
    // for reading counts as absent. Whoever may read every file needs only
    // the look at the path; anyone else opens it to be sure.
    struct stat info {};
    if (io_calls::StatPath(path, info) != 0 || S_ISDIR(info.st_mode)) return false;
    if (marker != nullptr) *marker = IdentityOf(info);
    if (ReadsEveryFile()) return true;
    CDataFile readable;
    return readable.Open(path) == CDataFile::OpenOutcome::Opened;
}

DiskAbsenceReason WhyNoDataDisk(const CDirectories& dirs) {
    char path[260];
    if (!dirs.DataDirFits() || !FormatPath(path, "%s%s", dirs.DataDir(), kMarkerFileName)) {
        return {DiskAbsence::PathTooLong, 0};
    }
    // The folder without its trailing '/', so that a file there is told from
    // nothing there.
    std::string folder = dirs.DataDir();
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    struct stat info {};
    if (io_calls::StatPath(folder.c_str(), info) != 0) return {DiskAbsence::FolderMissing, errno};
    if (!S_ISDIR(info.st_mode)) return {DiskAbsence::NotAFolder, 0};
    if (io_calls::StatPath(path, info) != 0 || S_ISDIR(info.st_mode)) return {DiskAbsence::MarkerMissing, 0};
    CDataFile readable;
    if (readable.Open(path) != CDataFile::OpenOutcome::Opened) {
        return {DiskAbsence::MarkerUnreadable, readable.Error()};
    }
    return {DiskAbsence::None, 0};
}

bool CheckDataDisk(const CDirectories& dirs, const DiskPrompt& prompt, FileIdentity* marker) {
    if (FindDataDisk(dirs, marker)) return true;
    if (!prompt) return false;
    for (;;) {
        const platform::MessageAnswer answer = prompt();
        if (answer == platform::MessageAnswer::Cancel) return false;
        if (answer != platform::MessageAnswer::Ok) return true;
        if (FindDataDisk(dirs, marker)) return true;
    }
}
