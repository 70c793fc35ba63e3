#include "store/directories.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/profile.h"
#include "store/user_folders.h"

namespace {

using user_folders::AbsoluteFolderOf;
using user_folders::IsFolder;

// The directory for a value: the value itself when it ends in '/', else the
// value and one '/'. An empty value gives "/".
std::string WithTrailingSlash(const char* value) {
    return user_folders::WithTrailingSlash(value != nullptr ? value : "");
}

}  // namespace

CDirectories::CDirectories() {
    SetInstallDir(nullptr);
    std::strcpy(dataDir_, "/");
}

void CDirectories::SetInstallDir(const char* value) {
    installDirIsDefault_ = value == nullptr || value[0] == '\0';
    existingPrefix_ = 0;
    if (!installDirIsDefault_) {
        installDir_ = WithTrailingSlash(value);
        return;
    }
    if (const char* dataHome = AbsoluteFolderOf("XDG_DATA_HOME")) {
        installDir_ = WithTrailingSlash(dataHome);
        existingPrefix_ = 1;
    } else if (const char* home = AbsoluteFolderOf("HOME")) {
        installDir_ = WithTrailingSlash(home);
        existingPrefix_ = installDir_.size();
        installDir_ += ".local/share/";
    } else {
        installDir_.clear();
        return;
    }
    installDir_ += "chronara/";
}

bool CDirectories::PrepareInstallDir(std::string* error) const {
    if (!installDirIsDefault_) return true;
    if (installDir_.empty()) {
        if (error != nullptr) {
            *error =
                "there is no folder for the scratch file: neither XDG_DATA_HOME nor HOME is set to an "
                "absolute folder";
        }
        errno = ENOENT;
        return false;
    }
    // Every search comes here: an existing folder costs one stat.
    if (IsFolder(installDir_)) return true;
    for (std::size_t slash = installDir_.find('/', existingPrefix_); slash != std::string::npos;
         slash = installDir_.find('/', slash + 1)) {
        const std::string folder = installDir_.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) == 0) continue;
        int reason = errno;
        if (reason == EEXIST) {
            if (IsFolder(folder)) continue;
            reason = ENOTDIR;
        }
        if (error != nullptr) *error = "cannot create the folder " + folder + ": " + std::strerror(reason);
        errno = reason;
        return false;
    }
    return true;
}

void CDirectories::SetDataDir(const char* value) {
    std::string dir = WithTrailingSlash(value);
    if (dir.size() >= kDataDirSize) {
        dataDir_[0] = '\0';
        return;
    }
    std::memcpy(dataDir_, dir.c_str(), dir.size() + 1);
}

void CDirectories::LoadDirectories() {
    const std::string profile = platform::LoadProfile(platform::FindConfigFile(kProfileFileName));
    char work[kWorkBufferSize];
    platform::ReadProfileText(profile, kProfileSection, kInstallDirKey, "", work, sizeof work);
    SetInstallDir(work);
    platform::ReadProfileText(profile, kProfileSection, kDataDirKey, "", work, sizeof work);
    SetDataDir(work);
}
