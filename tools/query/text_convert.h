#pragma once
// Conversion between the Windows-1252 bytes of the databases and the UTF-8
// of the terminal.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the C1 control characters of the same number, in both
// directions, so that every byte converts and converts back.

#include <cstddef>
#include <string>

namespace text_convert {

// Windows-1252 bytes to UTF-8; never fails.
std::string Cp1252ToUtf8(const char* data, std::size_t size);

// UTF-8 to Windows-1252. False (and out unspecified) when text is not
// well-formed UTF-8 or holds a character that Windows-1252 cannot write.
bool Utf8ToCp1252(const std::string& text, std::string& out);

}  // namespace text_convert
