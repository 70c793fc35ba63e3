#include "browse/record_query/record_words.h"

namespace record_words {

std::vector<std::string> WordsOf(std::string_view text) {
    std::vector<std::string> words;
    ForEachWord(text, [&](const std::string& word, std::size_t) { words.push_back(word); });
    return words;
}

bool ParseDigits(std::string_view text, std::size_t maxDigits, int& value) {
    if (text.empty() || text.size() > maxDigits) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool IsYearWord(std::string_view word, int& value) { return word.size() == 4 && ParseDigits(word, 4, value); }

}  // namespace record_words
