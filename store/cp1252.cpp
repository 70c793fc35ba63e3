#include "store/cp1252.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace cp1252 {
namespace {

struct FoldedLetter {
    std::uint16_t codePoint;
    std::uint8_t byte;
};
struct Composition {
    std::uint16_t letter;
    std::uint16_t mark;
    std::uint16_t composed;
};
#include "store/cp1252_fold_table.inc"

bool IsCombiningMark(char32_t cp) { return cp >= 0x0300 && cp <= 0x036F; }

// The letter that letter and mark compose into, or 0.
char32_t ComposedOf(char32_t letter, char32_t mark) {
    const auto* end = std::end(kCompositions);
    const auto* found =
        std::lower_bound(std::begin(kCompositions), end, Composition{0, 0, 0},
                         [letter, mark](const Composition& entry, const Composition&) {
                             return entry.letter != letter ? entry.letter < letter : entry.mark < mark;
                         });
    return found != end && found->letter == letter && found->mark == mark ? found->composed : 0;
}

// Code points of the bytes 0x80 to 0x9F; the other bytes are their own code point.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(char32_t cp, std::string& out) {
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

// Decodes one well-formed UTF-8 sequence at text[at]; returns its length, or 0
// for a malformed one (stray continuation byte, overlong form, surrogate,
// beyond U+10FFFF, or cut short).
std::size_t DecodeOne(std::string_view text, std::size_t at, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1Fu;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0Fu;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

void SetMalformed(std::string_view utf8, std::size_t at, std::string* error) {
    if (error == nullptr) return;
    char text[80];
    std::snprintf(text, sizeof text, "malformed UTF-8 (byte 0x%02X at position %zu)",
                  static_cast<unsigned>(static_cast<unsigned char>(utf8[at])), at + 1);
    *error = text;
}

// DecodeOne, and on malformed UTF-8 the reason in *error.
std::size_t DecodeOrSay(std::string_view utf8, std::size_t at, char32_t& cp, std::string* error) {
    const std::size_t length = DecodeOne(utf8, at, cp);
    if (length == 0) SetMalformed(utf8, at, error);
    return length;
}

// "the character U+XXXX (c)" and the reason.
void SetNoForm(char32_t cp, std::string_view character, const char* reason, std::string* error) {
    if (error == nullptr) return;
    char text[40];
    std::snprintf(text, sizeof text, "the character U+%04X (", static_cast<unsigned>(cp));
    *error = text;
    error->append(character);
    *error += ") ";
    *error += reason;
}

}  // namespace

int ByteOfCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == codePoint) return 0x80 + i;
    }
    return -1;
}

char32_t CodePointOfByte(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : static_cast<char32_t>(byte);
}

bool FromUtf8(std::string_view utf8, std::string& out, std::string* error) {
    std::string converted;
    converted.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeOrSay(utf8, at, cp, error);
        if (length == 0) return false;
        const int byte = ByteOfCodePoint(cp);
        if (byte < 0) {
            SetNoForm(cp, utf8.substr(at, length), "has no Windows-1252 form", error);
            return false;
        }
        converted += static_cast<char>(byte);
        at += length;
    }
    out += converted;
    return true;
}

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) AppendUtf8(CodePointOfByte(static_cast<unsigned char>(c)), out);
    return out;
}

int SearchByteOfCodePoint(char32_t codePoint) {
    const int byte = ByteOfCodePoint(codePoint);
    if (byte >= 0) return byte;
    const auto* end = std::end(kFoldedLetters);
    const auto* found =
        std::lower_bound(std::begin(kFoldedLetters), end, codePoint,
                         [](const FoldedLetter& entry, char32_t cp) { return entry.codePoint < cp; });
    return found != end && found->codePoint == codePoint ? found->byte : -1;
}

bool FromTypedUtf8(std::string_view utf8, std::string& out, std::vector<FoldedCharacter>* folded,
                   std::string* error) {
    constexpr const char* kNoLetter = "has no Windows-1252 form and no Windows-1252 letter to stand for it";
    std::string converted;
    converted.reserve(utf8.size());
    std::vector<FoldedCharacter> foldings;
    // The character last converted, as composed so far with its marks.
    char32_t last = 0;
    std::size_t lastStart = 0;
    bool lastFolded = false;
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeOrSay(utf8, at, cp, error);
        if (length == 0) return false;
        if (IsCombiningMark(cp)) {
            const char32_t composed = converted.empty() ? 0 : ComposedOf(last, cp);
            const int byte = composed == 0 ? -1 : SearchByteOfCodePoint(composed);
            if (byte < 0) {
                SetNoForm(cp, utf8.substr(at, length),
                          "is a combining mark that makes no Windows-1252 letter of the character before it",
                          error);
                return false;
            }
            last = composed;
            converted.back() = static_cast<char>(byte);
            if (lastFolded) foldings.pop_back();
            lastFolded = ByteOfCodePoint(composed) < 0;
            if (lastFolded) {
                foldings.push_back(
                    {std::string(utf8.substr(lastStart, at + length - lastStart)), static_cast<char>(byte)});
            }
            at += length;
            continue;
        }
        const int byte = SearchByteOfCodePoint(cp);
        if (byte < 0) {
            SetNoForm(cp, utf8.substr(at, length), kNoLetter, error);
            return false;
        }
        converted += static_cast<char>(byte);
        last = cp;
        lastStart = at;
        lastFolded = ByteOfCodePoint(cp) < 0;
        if (lastFolded) foldings.push_back({std::string(utf8.substr(at, length)), static_cast<char>(byte)});
        at += length;
    }
    out += converted;
    if (folded != nullptr) folded->insert(folded->end(), foldings.begin(), foldings.end());
    return true;
}

std::string DescribeFolding(const std::vector<FoldedCharacter>& folded) {
    std::string text;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        bool said = false;
        for (std::size_t j = 0; j < i && !said; ++j) {
            said = folded[j].typed == folded[i].typed && folded[j].searchedAs == folded[i].searchedAs;
        }
        if (said) continue;
        if (!text.empty()) text += ", ";
        text += folded[i].typed + " as " + ToUtf8(std::string_view(&folded[i].searchedAs, 1));
    }
    return text;
}

}  // namespace cp1252
