#pragma once
// The words of a record, as a record search sees them: a word is a run of
// letters and digits; the letters are those of the surname matching
// (browse/names/name_letters.h), each standing for its base letter or letters in
// upper case (É is E, Æ is AE, ß is SS, Þ is TH); digits stand for
// themselves. Every other byte (blanks, punctuation, apostrophes, hyphens,
// slashes) ends a word. So "O'Brien" is O BRIEN, "Saint-Lô" SAINT LO,
// "20th" one word 20TH and "1701-1702" two words.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "browse/names/name_letters.h"

namespace record_words {

// Whether byte begins or continues a word.
inline bool IsWordByte(char byte) {
    return (byte >= '0' && byte <= '9') || name_letters::LettersOf(byte).first != '\0';
}

// Calls visit(word, position) for every word of text (Windows-1252), in
// order; word is the folded word, position counts the words from 0. The
// string handed over is reused between calls.
template <typename Visit>
void ForEachWord(std::string_view text, Visit&& visit) {
    std::string word;
    std::size_t position = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char byte = i < text.size() ? text[i] : ' ';
        if (byte >= '0' && byte <= '9') {
            word += byte;
            continue;
        }
        const name_letters::Letters letters = name_letters::LettersOf(byte);
        if (letters.first != '\0') {
            word += letters.first;
            if (letters.second != '\0') word += letters.second;
            continue;
        }
        if (!word.empty()) {
            visit(static_cast<const std::string&>(word), position++);
            word.clear();
        }
    }
}

// Where each word of text lies: visit(start, end, position) with the byte
// range [start, end) of the word in text.
template <typename Visit>
void ForEachWordSpan(std::string_view text, Visit&& visit) {
    std::size_t position = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!IsWordByte(text[at])) {
            ++at;
            continue;
        }
        const std::size_t start = at;
        while (at < text.size() && IsWordByte(text[at])) ++at;
        visit(start, at, position++);
    }
}

// The folded words of text, in order.
std::vector<std::string> WordsOf(std::string_view text);

// text as a number of 1 to maxDigits decimal digits and nothing else.
bool ParseDigits(std::string_view text, std::size_t maxDigits, int& value);

// Whether a folded word is a year: exactly four digits. value gets its number.
bool IsYearWord(std::string_view word, int& value);

}  // namespace record_words
