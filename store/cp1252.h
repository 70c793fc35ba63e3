#pragma once
// Conversion between UTF-8 and the single-byte Windows-1252 text of the
// database files.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the C1 control characters of the same number, in both
// directions, so that every byte converts to UTF-8 and back unchanged.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cp1252 {

// The Windows-1252 byte of a Unicode code point, or -1 when there is none.
int ByteOfCodePoint(char32_t codePoint);

// The Unicode code point of a Windows-1252 byte.
char32_t CodePointOfByte(unsigned char byte);

// Converts UTF-8 text (without a byte-order mark) to Windows-1252 and
// appends it to out. On failure returns false, leaves out as it was, and
// sets *error (when given) to the reason: malformed UTF-8, or the first
// character that has no Windows-1252 form, named as U+XXXX with the
// character itself.
bool FromUtf8(std::string_view utf8, std::string& out, std::string* error = nullptr);

// Windows-1252 bytes to UTF-8; never fails.
std::string ToUtf8(std::string_view bytes);

// Text that people type (a surname, a first name, a pattern) is searched
// in Windows-1252 letters. A letter that Windows-1252 cannot write but that
// plainly stands on one of its letters is searched as that letter (ł as l,
// ę as e, ő as ö, ș as s, đ as d, ı as i); the table is Unicode's canonical
// decomposition taken to the nearest Windows-1252 letter, with a short list
// of letters that do not decompose (scripts/make-cp1252-fold.py). Any other
// character is refused: never a '?', never a silent change.

// The byte a typed code point is searched as: its own Windows-1252 byte,
// else the nearest letter's, else -1 (refused).
int SearchByteOfCodePoint(char32_t codePoint);

// One character of typed text searched as another letter.
struct FoldedCharacter {
    std::string typed;  // the character as typed, UTF-8 (a letter and its combining marks)
    char searchedAs;    // the Windows-1252 byte searched in its place
};

// Converts typed UTF-8 text to the Windows-1252 text searched and appends
// it to out. A letter followed by combining marks (decomposed text) counts
// as the letter they compose into. folded (when given) gets every
// character searched as another letter, in order. On failure returns false,
// leaves out and folded as they were, and sets *error (when given): the
// malformed UTF-8 as FromUtf8 names it, or the character that has no
// Windows-1252 letter to be searched as, named as U+XXXX with the
// character itself.
bool FromTypedUtf8(std::string_view utf8, std::string& out, std::vector<FoldedCharacter>* folded = nullptr,
                   std::string* error = nullptr);

// "ł as l, ę as e": each different folding once, in order (UTF-8), for the
// line that tells the user what was searched.
std::string DescribeFolding(const std::vector<FoldedCharacter>& folded);

}  // namespace cp1252
