#include "tools/query/query_output.h"

#include <cstring>
#include <string>

#include "store/cp1252.h"

namespace query_tool {
namespace {

// The text of a line in the default mode: CR LF to LF, then UTF-8.
std::string TerminalText(const char* text) {
    std::string lines;
    for (const char* p = text; *p != '\0'; ++p) {
        if (p[0] == '\r' && p[1] == '\n') continue;  // the LF that follows stays
        lines += *p;
    }
    return cp1252::ToUtf8(lines);
}

}  // namespace

void QueryOutput::Line(const char* text) {
    if (raw_) {
        std::fwrite(text, 1, std::strlen(text), stream_);
    } else {
        const std::string converted = TerminalText(text);
        std::fwrite(converted.data(), 1, converted.size(), stream_);
    }
    std::fputc('\n', stream_);
}

}  // namespace query_tool
