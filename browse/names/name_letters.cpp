#include "browse/names/name_letters.h"

namespace name_letters {

namespace {

constexpr std::array<Letters, 256> BuildLettersOfByte() {
    std::array<Letters, 256> table{};
    auto set = [&table](int from, int to, char first, char second) {
        for (int byte = from; byte <= to; ++byte) table[static_cast<std::size_t>(byte)] = {first, second};
    };
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        set(letter, letter, letter, '\0');
        set(letter - 'A' + 'a', letter - 'A' + 'a', letter, '\0');
    }
    // Windows-1252 letters above 0x7F; capitals first, their small letters 0x20 above.
    for (int small = 0; small <= 0x20; small += 0x20) {
        set(0xC0 + small, 0xC5 + small, 'A', '\0');
        set(0xC6 + small, 0xC6 + small, 'A', 'E');
        set(0xC7 + small, 0xC7 + small, 'C', '\0');
        set(0xC8 + small, 0xCB + small, 'E', '\0');
        set(0xCC + small, 0xCF + small, 'I', '\0');
        set(0xD0 + small, 0xD0 + small, 'D', '\0');
        set(0xD1 + small, 0xD1 + small, 'N', '\0');
        set(0xD2 + small, 0xD6 + small, 'O', '\0');
        set(0xD8 + small, 0xD8 + small, 'O', '\0');
        set(0xD9 + small, 0xDC + small, 'U', '\0');
        set(0xDD + small, 0xDD + small, 'Y', '\0');
        set(0xDE + small, 0xDE + small, 'T', 'H');
    }
    set(0xDF, 0xDF, 'S', 'S');  // ß; 0xFF is ÿ
    set(0xFF, 0xFF, 'Y', '\0');
    set(0x8A, 0x8A, 'S', '\0');  // Š š
    set(0x9A, 0x9A, 'S', '\0');
    set(0x8C, 0x8C, 'O', 'E');  // Œ œ
    set(0x9C, 0x9C, 'O', 'E');
    set(0x8E, 0x8E, 'Z', '\0');  // Ž ž
    set(0x9E, 0x9E, 'Z', '\0');
    set(0x9F, 0x9F, 'Y', '\0');  // Ÿ
    return table;
}

}  // namespace

const std::array<Letters, 256> kLettersOfByte = BuildLettersOfByte();

std::size_t CopyLetters(std::string_view text, char* out, std::size_t capacity) {
    CLetterReader reader(text);
    std::size_t count = 0;
    while (count < capacity) {
        const char letter = reader.Next();
        if (letter == '\0') break;
        out[count++] = letter;
    }
    return count;
}

bool HasLetter(std::string_view text) { return CLetterReader(text).Next() != '\0'; }

}  // namespace name_letters
