#pragma once
// The query of a record search, parsed from the text a user types:
//
//   word       a word of a field equal to it (case and accents do not count)
//   word*      every word that begins with it
//   "a b"      the words one right after the other within one field; a *
//              on the last word makes it a prefix
//   O'Brien    a term that is several words by the word rule is a phrase
//   a OR b     either: terms joined by the word OR (in capitals, unquoted)
//              are one term; "OR" in quotes is the word
//   -term      a word or phrase that must not match
//
// Terms are separated by blanks (outside quotes); a person matches when
// every term matches. A year range (four-digit words from A to B) joins the
// terms or stands alone.
//
// A text that is not well formed gives its fault in words, never a query.

#include <string>
#include <string_view>
#include <vector>

namespace record_query {

// One way a term can match: a word, a prefix or a phrase.
struct Phrase {
    // The folded words, at least one; more than one is a phrase.
    std::vector<std::string> words;
    bool prefix = false;  // the last word is a prefix
    bool operator==(const Phrase& other) const { return words == other.words && prefix == other.prefix; }
};

struct Term {
    // At least one; the term matches where any of them does.
    std::vector<Phrase> alternatives;
    bool excluded = false;  // must not match
};

struct YearRange {
    bool given = false;
    int from = 0;
    int to = 0;
};

struct Query {
    std::vector<Term> terms;
    YearRange years;
    // Whether anything must match: a term that is not excluded, or years.
    bool HasPositive() const;
};

struct Parsed {
    bool ok = false;
    std::string error;  // what is wrong, for a message; empty when ok
    Query query;
};

// Parses text (Windows-1252) with the years given apart from it.
Parsed Parse(std::string_view text, const YearRange& years = YearRange{});

// Parses "A-B" or "A" (each 1 to 4 digits, A not after B) into years;
// false with error set otherwise.
bool ParseYears(std::string_view text, YearRange& years, std::string& error);

}  // namespace record_query
