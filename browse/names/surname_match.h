#pragma once
// Matching a typed surname against the keys of a database's index, for the
// listings of surnames whose spelling people do not know. Pure functions of
// the text: the index walk that feeds the keys lives elsewhere.
//
// A key is matched as the index holds it, its padding blanks included; every
// mode but exact compares the key without them:
// - exact: the key the exact search forms from the text (MakeIndexKey for
//   the database code), byte for byte; a text too long for MakeIndexKey
//   (over kMaxKeySurname) matches nothing;
// - prefix: keys that start with the text;
// - pattern: the whole key against the text, '*' standing for any run of
//   bytes and '?' for one;
// - soundex, dm: keys that share a code with the text (american_soundex.h,
//   daitch_mokotoff.h);
// - close: keys whose letters are at most two edits from the text's letters,
//   one when it has four letters or fewer (close_spelling.h).
// Prefix and pattern take a-z and A-Z as equal and compare every other byte
// as it is, as the keys do (store/ascii.h).

#include <string>
#include <string_view>

#include "browse/names/american_soundex.h"
#include "browse/names/close_spelling.h"
#include "browse/names/daitch_mokotoff.h"
#include "store/catalogue.h"
#include "store/index_key.h"

enum class MatchMode { Exact, Prefix, Pattern, Soundex, DaitchMokotoff, Close };

// "exact", "prefix", "pattern", "soundex", "dm", "close"; false for anything else.
bool ParseMatchMode(std::string_view name, MatchMode& mode);
// The same words.
const char* MatchModeName(MatchMode mode);

class CSurnameMatcher {
public:
    // typed: the user's text as Windows-1252 bytes. Everything that depends on
    // it alone (its keys, its codes, its upper-casing) is done here, once.
    CSurnameMatcher(MatchMode mode, std::string_view typed);

    // storedKey: one key exactly as the index holds it, padding blanks included
    // (at most 23 bytes); code: the database code 1..14, which exact needs.
    // Allocates nothing.
    bool Matches(std::string_view storedKey, int code) const;
    // The edit distance of a key that matches in close mode, 0 for a key that
    // matches in any other mode, -1 for a key that does not match.
    int Distance(std::string_view storedKey, int code) const;

    // False when no key can match (a Soundex text without letters, a text too
    // long for a key), so that callers can skip the walk.
    bool CanMatch() const;

    // Marks in allowed (65536 flags, first byte * 256 + second byte; 0 for
    // the second byte of a one-byte key) every pair of first bytes a matching
    // key may begin with; leaves the others as they are, so that several
    // queries add up.
    void MarkLeadingBytes(bool* allowed) const;

    MatchMode Mode() const { return mode_; }
    // The close-spelling query (close mode), for walks that take keys in order.
    const CCloseSpellingQuery& CloseQuery() const { return close_; }

private:
    bool MatchesExact(std::string_view storedKey, int code) const;

    MatchMode mode_;
    std::string upper_;  // the text with a-z upper-cased, for prefix and pattern
    bool formsKey_ = false;
    // The exact search's key for each database code.
    char keys_[catalogue::kLastCode + 1][kMaxKeySurname + 1] = {};
    std::size_t keyLengths_[catalogue::kLastCode + 1] = {};
    CAmericanSoundexQuery soundex_;
    CDaitchMokotoffQuery dm_;
    CCloseSpellingQuery close_;
};
