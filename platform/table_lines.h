#pragma once
// The lines of a table of data compiled into the programs (the given names,
// the abbreviations): numbered from 1 as an editor counts them, blank lines
// and lines that begin with '#' left out.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Calls visit(number, line) for each line that holds data, in order, and
// stops at the first call that returns false; returns whether none did.
template <class Visit>
bool ForEachTableLine(std::string_view text, Visit visit) {
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (line.find_first_not_of(' ') == std::string_view::npos || line[0] == '#') continue;
        if (!visit(number, line)) return false;
    }
    return true;
}

// Sets *error (when given) to "line N: why" and returns false.
inline bool TableLineFault(std::string* error, std::size_t number, const std::string& why) {
    if (error != nullptr) *error = "line " + std::to_string(number) + ": " + why;
    return false;
}

}  // namespace platform
