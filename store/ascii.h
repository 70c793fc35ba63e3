#pragma once
// Case mapping of a-z only. Keys and first-name comparisons upper-case
// ASCII letters and leave every Windows-1252 byte above 0x7F as it is.

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
