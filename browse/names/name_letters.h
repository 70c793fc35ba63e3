#pragma once
// The letters of a Windows-1252 surname as the phonetic codes see them: every
// byte stands for no letter, one base letter, or two, always upper-case A-Z.
//
// The accented letters count as their base letter (À-Å, Ä -> A, Ç -> C,
// È-Ë -> E, Ì-Ï -> I, Ð -> D, Ñ -> N, Ò-Ö, Ø -> O, Ù-Ü -> U, Ý, Ÿ -> Y,
// Š -> S, Ž -> Z, small letters likewise), so that "Müller" codes as
// "Muller". The four letters that are written as two in the spelling people
// type for them stand for those two: ß -> SS (Strauß, Strauss), Æ -> AE,
// Œ -> OE, Þ -> TH (Þórsson, Thorsson). Every other byte (blanks,
// apostrophes, hyphens, digits, signs) is no letter and is passed over.

#include <array>
#include <cstddef>
#include <string_view>

namespace name_letters {

// One byte's letters; '\0' where there is none.
struct Letters {
    char first;
    char second;
};

extern const std::array<Letters, 256> kLettersOfByte;

inline Letters LettersOf(char byte) { return kLettersOfByte[static_cast<unsigned char>(byte)]; }

// Reads the letters of a text one at a time, passing over the bytes that are
// no letter; nothing is copied.
class CLetterReader {
public:
    explicit CLetterReader(std::string_view text)
        : next_(text.data()), end_(text.empty() ? text.data() : text.data() + text.size()) {}

    // The next letter, or '\0' at the end of the text.
    char Next() {
        if (pending_ != '\0') {
            const char letter = pending_;
            pending_ = '\0';
            return letter;
        }
        while (next_ != end_) {
            const Letters letters = LettersOf(*next_++);
            if (letters.first != '\0') {
                pending_ = letters.second;
                return letters.first;
            }
        }
        return '\0';
    }

private:
    const char* next_;
    const char* end_;
    char pending_ = '\0';
};

// Writes the letters of text to out, at most capacity of them, and returns
// how many it wrote.
std::size_t CopyLetters(std::string_view text, char* out, std::size_t capacity);

// True when text holds at least one letter.
bool HasLetter(std::string_view text);

}  // namespace name_letters
