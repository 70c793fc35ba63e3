#pragma once
// Standard output of chronara-query: the texts as built, or as UTF-8 lines.

#include <cstdio>

namespace query_tool {

class QueryOutput {
public:
    // raw: every byte as built (Windows-1252, CR LF kept); otherwise each
    // text becomes UTF-8 and its CR LF pairs become LF.
    QueryOutput(std::FILE* stream, bool raw) : stream_(stream), raw_(raw) {}

    // Writes text and one line feed.
    void Line(const char* text);

private:
    std::FILE* stream_;
    bool raw_;
};

}  // namespace query_tool
