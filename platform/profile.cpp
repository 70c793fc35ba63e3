#include "platform/profile.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// An INI file larger than this is not a settings file; reading stops there.
constexpr std::size_t kMaxProfileBytes = 1 << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// [begin, end) with blanks removed from both sides.
void Trim(const char*& begin, const char*& end) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
}

bool EqualNoCase(const char* begin, const char* end, const char* name) {
    std::size_t length = std::strlen(name);
    if (static_cast<std::size_t>(end - begin) != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (Lower(begin[i]) != Lower(name[i])) return false;
    }
    return true;
}

std::size_t CopyCut(const char* begin, const char* end, char* out, std::size_t size) {
    if (size == 0 || out == nullptr) return 0;
    std::size_t length = static_cast<std::size_t>(end - begin);
    // A NUL byte inside the file ends the value: the text and the returned
    // length must agree.
    if (const void* nul = std::memchr(begin, '\0', length)) {
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - begin);
    }
    if (length > size - 1) length = size - 1;
    std::memcpy(out, begin, length);
    out[length] = '\0';
    return length;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::size_t ReadProfileText(const std::string& content, const char* section, const char* key,
                            const char* defaultValue, char* out, std::size_t size) {
    if (defaultValue == nullptr) defaultValue = "";
    const char* const defaultEnd = defaultValue + std::strlen(defaultValue);
    if (section == nullptr || key == nullptr) return CopyCut(defaultValue, defaultEnd, out, size);

    bool inSection = false;
    bool sectionSeen = false;
    const char* cursor = content.data();
    const char* const contentEnd = cursor + content.size();
    while (cursor < contentEnd) {
        const char* lineEnd = static_cast<const char*>(
            std::memchr(cursor, '\n', static_cast<std::size_t>(contentEnd - cursor)));
        if (lineEnd == nullptr) lineEnd = contentEnd;
        const char* begin = cursor;
        const char* end = lineEnd;
        cursor = lineEnd < contentEnd ? lineEnd + 1 : contentEnd;
        Trim(begin, end);
        if (begin == end || *begin == ';' || *begin == '#') continue;

        if (*begin == '[') {
            if (inSection) break;  // the first section of that name has ended
            const char* close =
                static_cast<const char*>(std::memchr(begin, ']', static_cast<std::size_t>(end - begin)));
            if (close == nullptr) continue;
            const char* nameBegin = begin + 1;
            const char* nameEnd = close;
            Trim(nameBegin, nameEnd);
            inSection = !sectionSeen && EqualNoCase(nameBegin, nameEnd, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) continue;
        const char* equals =
            static_cast<const char*>(std::memchr(begin, '=', static_cast<std::size_t>(end - begin)));
        if (equals == nullptr) continue;
        const char* keyBegin = begin;
        const char* keyEnd = equals;
        Trim(keyBegin, keyEnd);
        if (!EqualNoCase(keyBegin, keyEnd, key)) continue;
        const char* valueBegin = equals + 1;
        const char* valueEnd = end;
        Trim(valueBegin, valueEnd);
        return CopyCut(valueBegin, valueEnd, out, size);
    }
    return CopyCut(defaultValue, defaultEnd, out, size);
}

std::string LoadProfile(const std::string& path) {
    std::string content;
    if (path.empty()) return content;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t got = 0;
        while (content.size() < kMaxProfileBytes && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            content.append(chunk, got);
        }
        std::fclose(file);
    }
    return content;
}

std::string FindConfigFile(const char* fileName) {
    if (fileName == nullptr || *fileName == '\0') return {};
    std::string home;
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        home = configHome;
    } else if (const char* userHome = std::getenv("HOME"); userHome != nullptr && *userHome) {
        home = std::string(userHome) + "/.config";
    }
    if (!home.empty()) {
        std::string candidate = home + "/" + fileName;
        if (IsRegularFile(candidate)) return candidate;
    }

    const char* configDirs = std::getenv("XDG_CONFIG_DIRS");
    std::string dirs = (configDirs != nullptr && *configDirs) ? configDirs : "/etc/xdg";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t colon = dirs.find(':', start);
        if (colon == std::string::npos) colon = dirs.size();
        std::string dir = dirs.substr(start, colon - start);
        if (!dir.empty() && dir[0] == '/') {
            std::string candidate = dir + "/" + fileName;
            if (IsRegularFile(candidate)) return candidate;
        }
        start = colon + 1;
    }
    return {};
}

}  // namespace platform
