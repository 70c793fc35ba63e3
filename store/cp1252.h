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

}  // namespace cp1252
