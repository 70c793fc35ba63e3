#include "store/directories.h"

#include <cstring>

#include "platform/profile.h"

namespace {

// The directory for a value: the value itself when it ends in '/', else the
// value and one '/'. An empty value gives "/".
std::string WithTrailingSlash(const char* value) {
    std::string dir = value != nullptr ? value : "";
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

CDirectories::CDirectories() : installDir_("/") { std::strcpy(dataDir_, "/"); }

void CDirectories::SetInstallDir(const char* value) { installDir_ = WithTrailingSlash(value); }

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
