#pragma once
// The pieces of a row text ("%s\t%s\t%s": surname, given names, summary),
// as the list paints them and as the More Info title takes them: the runs
// between tabs, several tabs separating like one.

#include <cstddef>

struct RowTextPiece {
    std::size_t start = 0;
    std::size_t length = 0;
};

inline constexpr int kRowTextPieces = 3;

// Splits the first length bytes of text (or up to its NUL) into at most
// max pieces; returns how many there are.
int SplitRowText(const char* text, std::size_t length, RowTextPiece* pieces, int max = kRowTextPieces);
