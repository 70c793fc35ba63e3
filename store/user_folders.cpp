#include "store/user_folders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

namespace user_folders {

const char* AbsoluteFolderOf(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/') return nullptr;
    if (value[std::strspn(value, "/")] == '\0') return nullptr;
    return value;
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace user_folders
