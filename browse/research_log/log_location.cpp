#include "browse/research_log/log_location.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "store/user_folders.h"

namespace research_log {
namespace {

using user_folders::AbsoluteFolderOf;
using user_folders::IsFolder;
const auto& WithSlash = user_folders::WithTrailingSlash;

}  // namespace

LogPlace DefaultLogPlace() {
    LogPlace place;
    if (const char* dataHome = AbsoluteFolderOf("XDG_DATA_HOME")) {
        place.path = WithSlash(dataHome);
    } else if (const char* home = AbsoluteFolderOf("HOME")) {
        place.path = WithSlash(home);
        place.existing = place.path.size();
        place.path += ".local/share/";
    } else {
        return place;
    }
    place.path += std::string("chronara/") + kLogFileName;
    return place;
}

bool PrepareLogFolder(const LogPlace& place, std::string& error) {
    const std::string& path = place.path;
    const std::size_t last = path.rfind('/');
    if (path.empty() || last == std::string::npos) {
        error = "there is no folder for it: neither XDG_DATA_HOME nor HOME is set to an absolute folder";
        return false;
    }
    // Every use comes here: an existing folder costs one stat.
    if (last == 0 || IsFolder(path.substr(0, last))) return true;
    for (std::size_t slash = path.find('/', place.existing > 0 ? place.existing : 1);
         slash != std::string::npos && slash <= last; slash = path.find('/', slash + 1)) {
        const std::string step = path.substr(0, slash);
        if (step.empty() || ::mkdir(step.c_str(), 0700) == 0) continue;
        int reason = errno;
        if (reason == EEXIST) {
            if (IsFolder(step)) continue;
            reason = ENOTDIR;
        }
        error = "cannot create the folder " + step + ": " + std::strerror(reason);
        return false;
    }
    return true;
}

}  // namespace research_log
