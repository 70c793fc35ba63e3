#include "browse/record_text/row_text.h"

int SplitRowText(const char* text, std::size_t length, RowTextPiece* pieces, int max) {
    int found = 0;
    std::size_t at = 0;
    auto inText = [&](std::size_t i) { return i < length && text[i] != '\0'; };
    while (found < max) {
        while (inText(at) && text[at] == '\t') ++at;
        if (!inText(at)) break;
        const std::size_t start = at;
        while (inText(at) && text[at] != '\t') ++at;
        pieces[found++] = RowTextPiece{start, at - start};
    }
    return found;
}
