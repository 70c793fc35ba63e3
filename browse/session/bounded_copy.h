#pragma once
// Copying NUL-terminated text into a fixed field.

#include <cstddef>

// Copies text into field (size bytes, size >= 1), cut to leave room for the NUL.
inline void CopyBounded(char* field, std::size_t size, const char* text) {
    std::size_t length = 0;
    while (length < size - 1 && text[length] != '\0') {
        field[length] = text[length];
        ++length;
    }
    field[length] = '\0';
}
