#include "browse/export/surname_case.h"

#include <vector>

namespace {

// Windows-1252 case pairs: a-z, the accented letters of 0xC0-0xDE (but the
// multiplication sign) and Š, Œ, Ž, Ÿ. ß has no capital of its own.
unsigned char LowerOf(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);
    if (c == 0x9F) return 0xFF;
    return c;
}

unsigned char UpperOf(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 0x20);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 0x10);
    if (c == 0xFF) return 0x9F;
    return c;
}

bool IsLetter(unsigned char c) { return LowerOf(c) != UpperOf(c) || c == 0xDF; }

bool IsParticle(const std::string& word) {
    static const char* const kParticles[] = {"da",  "das", "de",  "del", "della", "den", "der",
                                             "di",  "do",  "dos", "du",  "la",    "le",  "ten",
                                             "ter", "van", "von", "y",   "zu"};
    for (const char* particle : kParticles) {
        if (word == particle) return true;
    }
    return false;
}

// One word, lower-cased: capitals at its start, after a hyphen, after a
// single letter and an apostrophe, and after Mc.
std::string CapitalisedWord(const std::string& lower) {
    std::string word = lower;
    bool capitalNext = true;
    std::size_t partStart = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (capitalNext && IsLetter(c)) {
            word[i] = static_cast<char>(UpperOf(c));
            capitalNext = false;
        }
        if (c == '-') {
            capitalNext = true;
            partStart = i + 1;
        } else if (c == '\'' && i == partStart + 1) {
            capitalNext = true;
        } else if (i == partStart + 1 && word.compare(partStart, 2, "Mc") == 0 && i + 2 < word.size()) {
            capitalNext = true;
        }
    }
    return word;
}

}  // namespace

std::string SurnameInWrittenCase(const std::string& surname) {
    std::vector<std::string> words;
    std::string word;
    for (char c : surname + " ") {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(LowerOf(static_cast<unsigned char>(c)));
        }
    }
    std::string written;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) written += ' ';
        written += i > 0 && IsParticle(words[i]) ? words[i] : CapitalisedWord(words[i]);
    }
    return written;
}
