#include "browse/linkage/folded_text.h"

#include "browse/names/name_letters.h"
#include "browse/record_query/record_words.h"

namespace linkage {

std::string FoldedLetters(const std::string& text) {
    std::string out;
    name_letters::CLetterReader reader(text);
    for (char letter = reader.Next(); letter != '\0'; letter = reader.Next()) out += letter;
    return out;
}

std::vector<std::string> FoldedWords(const std::string& text) {
    std::vector<std::string> words;
    record_words::ForEachWord(text, [&](const std::string& word, std::size_t) { words.push_back(word); });
    return words;
}

}  // namespace linkage
