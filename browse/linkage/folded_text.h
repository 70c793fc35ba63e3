#pragma once
// Names and texts folded as the linkage compares them: the letters the
// sound codes read, and the words of the record search (record_words.h).
// A module of its own, so that the places and the facts both read words
// without including each other.

#include <string>
#include <vector>

namespace linkage {

// The letters of a name, folded as the sound codes read them.
std::string FoldedLetters(const std::string& text);
// The folded words of a text (record_words.h).
std::vector<std::string> FoldedWords(const std::string& text);

}  // namespace linkage
