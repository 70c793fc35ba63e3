#pragma once
// Close spellings of a typed surname: the keys whose letters are within a
// small optimal-string-alignment distance of the typed letters (one each for
// inserting, deleting or changing a letter, or swapping two neighbours; no
// stretch of letters edited twice). Letters are read as the sound codes read
// them (name_letters.h): accented letters as their base letter, every byte
// that is no letter passed over, so O'BRIEN and OBRIEN are the same letters.
//
// The distance allowed is 2, or 1 when the typed text has four letters or
// fewer (two edits would turn LEE into anything of three letters).

#include <cstddef>
#include <cstdint>
#include <string_view>

class CCloseSpellingQuery {
public:
    // Longest typed text, in letters, that can match: a key holds at most 23
    // bytes, 46 letters; more typed letters match nothing.
    static constexpr std::size_t kMaxLetters = 64;

    explicit CCloseSpellingQuery(std::string_view typed);

    // False for a text without letters or longer than kMaxLetters letters.
    bool CanMatch() const { return canMatch_; }
    int Bound() const { return bound_; }

    // The distance of a key (padding blanks and all) from the typed text when
    // it is at most the bound; -1 otherwise. Allocates nothing.
    int Distance(std::string_view storedKey) const;

    // Marks (as CSurnameMatcher::MarkLeadingBytes does) every pair of first
    // bytes a key within the bound may begin with.
    void MarkLeadingBytes(bool* allowed) const;

private:
    friend class CCloseSpellingWalker;
    char letters_[kMaxLetters] = {};
    std::size_t count_ = 0;
    int bound_ = 2;
    bool canMatch_ = false;
};

// The distances of the keys of one walk, in key order. Keys that follow one
// another share their first letters; the rows of the distance table for
// those letters are kept from one key to the next, and a beginning that is
// already too far from the typed text rejects every key that shares it at
// once. Any order of keys gives the same answers, only slower.
class CCloseSpellingWalker {
public:
    explicit CCloseSpellingWalker(const CCloseSpellingQuery& query);

    // As CCloseSpellingQuery::Distance.
    int Next(std::string_view storedKey);

    // Whether a key whose letters begin with letters[0..count) may lie within
    // the bound, whatever letters follow.
    bool MayBeginWith(const char* letters, std::size_t count);

private:
    // A stored key holds at most 23 bytes; a longer one is taken for no match.
    static constexpr std::size_t kMaxKeyBytes = 32;
    static constexpr std::size_t kMaxKeyLetters = 2 * kMaxKeyBytes;
    // Keeps the rows of the first shared letters; true when those letters
    // are already too far from the typed text for any key that begins so.
    bool KeepShared(std::size_t shared);
    // Fills the rows after those kept, up to count letters; false when it
    // stopped early because no key that begins so can come within the bound.
    bool Extend(std::size_t count);
    void FillRow(std::size_t i);

    const CCloseSpellingQuery& query_;
    std::uint8_t cap_;  // the bound + 1: every larger distance is stored as this
    // The key last read (without its padding), and the letters before each
    // of its bytes.
    char key_[kMaxKeyBytes] = {};
    std::size_t keyLength_ = 0;
    std::size_t lettersBefore_[kMaxKeyBytes + 1] = {};
    // The letters of that key; the rows of the first valid_ of them are filled.
    char letters_[kMaxKeyLetters] = {};
    std::size_t valid_ = 0;
    // The row at which the letters became too far, or 0.
    std::size_t deadAt_ = 0;
    // rows_[i][j]: the distance of the first i letters from the first j
    // typed letters, capped; rowMin_[i] the least of row i.
    std::uint8_t rows_[kMaxKeyLetters + 1][CCloseSpellingQuery::kMaxLetters + 1] = {};
    std::uint8_t rowMin_[kMaxKeyLetters + 1] = {};
};
