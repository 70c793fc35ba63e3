#include "browse/word_index/word_index_build_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <ctime>

namespace word_index {

// Temporary files of builders that ended without removing them (a crash, a
// disk that refused even the removal) go once they are a day old: no build
// takes that long, so no builder still writes them.
void RemoveStaleTemporaries(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string full = folder + "/" + name;
        struct stat info {};
        if (io_calls::StatPath(full.c_str(), info) == 0 && now - info.st_mtime > 24 * 60 * 60) {
            io_calls::Unlink(full.c_str());
        }
    }
    closedir(dir);
}

std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

}  // namespace word_index
