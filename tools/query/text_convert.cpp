#include "tools/query/text_convert.h"

#include <cstdint>

namespace text_convert {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the range 0x00-0xFF
// is the same number in both sets.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::uint32_t CodePointOf(unsigned char byte) {
    return (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : byte;
}

void AppendUtf8(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The byte that writes cp, or -1 when there is none.
int ByteOf(std::uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp) return 0x80 + i;
    }
    return -1;
}

// Decodes one well-formed UTF-8 sequence at text[i]; advances i. False for
// a stray continuation byte, a cut sequence, an overlong form, a surrogate
// or a value past U+10FFFF.
bool DecodeOne(const std::string& text, std::size_t& i, std::uint32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        cp = lead;
        ++i;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1Fu;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0Fu;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(extra) + 1;
    return true;
}

}  // namespace

std::string Cp1252ToUtf8(const char* data, std::size_t size) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        AppendUtf8(CodePointOf(static_cast<unsigned char>(data[i])), out);
    }
    return out;
}

bool Utf8ToCp1252(const std::string& text, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::uint32_t cp = 0;
        if (!DecodeOne(text, i, cp)) return false;
        const int byte = ByteOf(cp);
        if (byte < 0) return false;
        out += static_cast<char>(byte);
    }
    return true;
}

}  // namespace text_convert
