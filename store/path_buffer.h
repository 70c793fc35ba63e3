#pragma once
// Formatting file paths into fixed buffers without ever cutting them.

#include <cstddef>
#include <cstdio>

// Formats into buffer; returns false (and leaves an empty text) when the
// result would not fit, so that a cut path is never opened.
template <std::size_t N, typename... Args>
bool FormatPath(char (&buffer)[N], const char* format, Args... args) {
    int length = std::snprintf(buffer, N, format, args...);
    if (length < 0 || static_cast<std::size_t>(length) >= N) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}
