#pragma once
// Blanks and tabs around a text: fields, names and marker lines carry them,
// and the fixed-width given names are padded with blanks.

#include <string>

inline bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

inline std::string TrimmedRight(std::string text) {
    while (!text.empty() && IsBlankOrTab(text.back())) text.pop_back();
    return text;
}

inline std::string Trimmed(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlankOrTab(text[start])) ++start;
    return TrimmedRight(text.substr(start));
}
