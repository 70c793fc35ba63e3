#pragma once
// The first-name filter's test for name variants, beside its test of the
// leading letters: a person passes when the first word of the given names
// is a variant of the first word typed (Bill for William, Wm. for William,
// Peggy for Margaret: given_name_table.h) or is that word's initial alone
// (W or W. for William). Words are read as letters the way the surname
// matching reads them (name_letters.h: accented letters as their base
// letter, full stops and other signs passed over). When more was typed
// after the first word, the rest of the given names must begin with it,
// a-z and A-Z taken as equal ("Bill H" passes "William Henry").

#include <cstddef>
#include <string>
#include <vector>

#include "browse/names/given_name_table.h"

class CGivenNameFilter {
public:
    // typed: the first name as the search holds it (NUL-terminated; trailing
    // blanks, such as the query's padding, are not part of it).
    CGivenNameFilter(const char* typed, const CGivenNameTable& table);

    // givenNames: an entry's given names, ending at a NUL or after width bytes.
    bool Matches(const char* givenNames, std::size_t width) const;

private:
    // Letters of a first word longer than this are no name of the table.
    static constexpr std::size_t kMaxWordLetters = 64;

    std::vector<std::string> variants_;  // sorted
    char initial_ = '\0';                // none when the first word has no letter
    std::string rest_;                   // upper-cased
};
