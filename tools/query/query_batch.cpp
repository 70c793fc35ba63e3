#include "tools/query/query_batch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/query/query_exit.h"
#include "tools/query/typed_text.h"

namespace query_tool {
namespace {

// A batch file holds names and queries, not books: more than this is refused.
constexpr std::size_t kMaxBatchBytes = 4 * 1024 * 1024;

bool ReadAll(std::FILE* file, std::string& text) {
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
        if (text.size() > kMaxBatchBytes) return false;
    }
    return std::ferror(file) == 0;
}

}  // namespace

std::string BatchPlace(const std::string& file, long line) {
    return (file == "-" ? std::string("standard input") : file) + ":" + std::to_string(line) + ": ";
}

bool ReadBatchLines(const char* option, const std::string& file, bool raw, std::size_t maxLength,
                    const char* what, std::vector<BatchText>& lines) {
    const bool standardInput = file == "-";
    const std::string name = standardInput ? "standard input" : file;
    std::FILE* stream = standardInput ? stdin : std::fopen(file.c_str(), "rb");
    if (stream == nullptr) {
        Complain(std::string(option) + ": cannot open " + name + ": " + std::strerror(errno));
        return false;
    }
    std::string text;
    const bool read = ReadAll(stream, text);
    const int error = errno;
    if (!standardInput) std::fclose(stream);
    if (!read) {
        Complain(std::string(option) + ": cannot read " + name + ": " +
                 (text.size() > kMaxBatchBytes ? "it is over 4 MB" : std::strerror(error)));
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0 && !raw) text.erase(0, 3);
    long number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        line = line.substr(first, line.find_last_not_of(" \t") + 1 - first);
        const std::string where = BatchPlace(file, number);
        BatchText entry;
        entry.line = number;
        if (line.find('\0') != std::string::npos) {
            Complain(where + "the line holds a NUL byte");
            return false;
        }
        // A letter that Windows-1252 cannot write is searched as the one it stands on, with a note.
        std::string note;
        std::string reason;
        if (!ConvertTypedText(name + ":" + std::to_string(number), line, raw, entry.text, note, reason)) {
            Complain(reason);
            return false;
        }
        if (!note.empty()) Complain("note: " + note);
        if (entry.text.size() > maxLength) {
            Complain(where + "the " + what + " is " + std::to_string(entry.text.size()) +
                     " characters long; at most " + std::to_string(maxLength) + " are taken");
            return false;
        }
        lines.push_back(entry);
    }
    return true;
}

}  // namespace query_tool
