#include "browse/more_info_title.h"

#include <cstring>

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Start and length of the next run of characters other than the tab at or
// after from; length 0 when there is none.
std::size_t NextPiece(const char* text, std::size_t from, std::size_t& length) {
    while (text[from] == '\t') ++from;
    length = 0;
    while (text[from + length] != '\0' && text[from + length] != '\t') ++length;
    return from;
}

}  // namespace

void BuildMoreInfoTitle(const char* rowText, char* out, std::size_t outSize) {
    if (outSize == 0) return;
    // The row text is taken through a working copy of 255 characters; a
    // longer row is cut there rather than overrunning it.
    char work[kTitleWorkSize];
    std::size_t workLength = 0;
    while (workLength < kTitleWorkSize - 1 && rowText[workLength] != '\0') {
        work[workLength] = rowText[workLength];
        ++workLength;
    }
    work[workLength] = '\0';

    std::size_t length = 0;
    auto put = [&](char c) {
        if (length < outSize - 1) out[length++] = c;
    };

    std::size_t firstLength = 0;
    const std::size_t first = NextPiece(work, 0, firstLength);
    std::size_t secondLength = 0;
    const std::size_t second = NextPiece(work, first + firstLength, secondLength);

    std::size_t trimmed = firstLength;
    while (trimmed > 0 && IsWhiteSpace(work[first + trimmed - 1])) --trimmed;
    for (std::size_t i = 0; i < trimmed; ++i) put(work[first + i]);
    put(',');
    put(' ');
    for (std::size_t i = 0; i < secondLength; ++i) put(work[second + i]);

    while (length > 0 && IsWhiteSpace(out[length - 1])) --length;
    out[length] = '\0';
}
