#include "browse/word_index/word_index_cache.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "store/catalogue.h"
#include "store/content_hash.h"
#include "store/directories.h"

namespace word_index {
namespace {

const char* AbsoluteFolderOf(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/') return nullptr;
    if (value[std::strspn(value, "/")] == '\0') return nullptr;
    return value;
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// The folder as the system resolves it, or as given where it cannot.
std::string Resolved(const std::string& folder) {
    char path[PATH_MAX];
    if (::realpath(folder.c_str(), path) == nullptr) return folder;
    return WithSlash(path);
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string CacheFolder() {
    if (const char* cache = AbsoluteFolderOf("XDG_CACHE_HOME")) return WithSlash(cache) + "chronara/";
    if (const char* home = AbsoluteFolderOf("HOME")) return WithSlash(home) + ".cache/chronara/";
    return std::string();
}

bool PrepareFolder(const std::string& folder) {
    if (folder.empty()) return false;
    if (IsFolder(folder)) return true;
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return IsFolder(folder);
}

std::string IndexPath(const std::string& folder, const CDirectories& dirs, int code) {
    // Two data disks (or one in two places) keep indexes of their own.
    const std::string data = Resolved(dirs.DataDir());
    char name[96];
    std::snprintf(name, sizeof name, "%s-%016llx.words", catalogue::StemOf(code),
                  static_cast<unsigned long long>(ContentHash(data.data(), data.size())));
    return WithSlash(folder) + name;
}

bool IsOnDataDisk(const std::string& folder, const CDirectories& dirs) {
    const std::string cache = Resolved(WithSlash(folder));
    const std::string data = Resolved(dirs.DataDir());
    return cache.compare(0, data.size(), data) == 0;
}

}  // namespace word_index
