#include "browse/record_words.h"

namespace record_words {

std::vector<std::string> WordsOf(std::string_view text) {
    std::vector<std::string> words;
    ForEachWord(text, [&](const std::string& word, std::size_t) { words.push_back(word); });
    return words;
}

bool IsYearWord(std::string_view word, int& value) {
    if (word.size() != 4) return false;
    value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace record_words
