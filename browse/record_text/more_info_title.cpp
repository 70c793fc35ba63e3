#include "browse/record_text/more_info_title.h"

#include <cstring>

#include "browse/record_text/row_text.h"

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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

    // A missing piece counts as empty.
    RowTextPiece pieces[2];
    const int found = SplitRowText(work, workLength, pieces, 2);
    const std::size_t first = found > 0 ? pieces[0].start : 0;
    const std::size_t firstLength = found > 0 ? pieces[0].length : 0;
    const std::size_t second = found > 1 ? pieces[1].start : 0;
    const std::size_t secondLength = found > 1 ? pieces[1].length : 0;

    std::size_t trimmed = firstLength;
    while (trimmed > 0 && IsWhiteSpace(work[first + trimmed - 1])) --trimmed;
    for (std::size_t i = 0; i < trimmed; ++i) put(work[first + i]);
    put(',');
    put(' ');
    for (std::size_t i = 0; i < secondLength; ++i) put(work[second + i]);

    while (length > 0 && IsWhiteSpace(out[length - 1])) --length;
    out[length] = '\0';
}
