#include "browse/word_index/word_index_cache.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "browse/word_index/word_index_format.h"
#include "store/catalogue.h"
#include "store/content_hash.h"
#include "store/directories.h"
#include "store/io_calls.h"
#include "store/user_folders.h"

namespace word_index {
namespace {

using user_folders::AbsoluteFolderOf;
using user_folders::IsFolder;
const auto& WithSlash = user_folders::WithTrailingSlash;

// The folder as the system resolves it. A folder not made yet is its
// nearest folder that is there, resolved, with the rest as given, so that
// a cache to be made inside the data folder through a link is known for
// what it is.
std::string Resolved(const std::string& folder) {
    char path[PATH_MAX];
    if (::realpath(folder.c_str(), path) != nullptr) return WithSlash(path);
    std::string rest;
    std::string at = folder;
    while (!at.empty() && at.back() == '/') at.pop_back();
    for (;;) {
        const std::size_t slash = at.rfind('/');
        if (slash == std::string::npos) return WithSlash(folder);
        rest = at.substr(slash) + rest;
        at.erase(slash);
        if (::realpath(at.empty() ? "/" : at.c_str(), path) != nullptr) {
            std::string resolved = path;
            if (!resolved.empty() && resolved.back() == '/') resolved.pop_back();
            return WithSlash(resolved + rest);
        }
    }
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

void RemoveOlderFormats(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    constexpr std::string_view kEnding = ".words";
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= kEnding.size() ||
            name.compare(name.size() - kEnding.size(), kEnding.size(), kEnding) != 0)
            continue;
        const std::string path = WithSlash(folder) + std::string(name);
        int error = 0;
        const int fd = io_calls::Open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, error);
        if (fd < 0) continue;
        unsigned char start[sizeof kMagic + 4] = {};
        struct stat info {};
        const bool plain = io_calls::Stat(fd, info) == 0 && S_ISREG(info.st_mode);
        const bool read = plain && io_calls::ReadAt(fd, start, sizeof start, 0).bytes == sizeof start;
        io_calls::Close(fd);
        // Only what is plainly an index of ours, of a version before this one.
        if (read && std::memcmp(start, kMagic, sizeof kMagic) == 0 && U32At(start + sizeof kMagic) < kVersion)
            io_calls::Unlink(path.c_str());
    }
    closedir(dir);
}

bool IsOnDataDisk(const std::string& folder, const CDirectories& dirs) {
    const std::string cache = Resolved(WithSlash(folder));
    const std::string data = Resolved(dirs.DataDir());
    return cache.compare(0, data.size(), data) == 0;
}

}  // namespace word_index
