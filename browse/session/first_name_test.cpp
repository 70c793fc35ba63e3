#include "browse/session/first_name_test.h"

#include "browse/names/given_name_filter.h"
#include "store/ascii.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

CFirstNameTest::CFirstNameTest(const char* firstName, std::size_t nameWidth, bool variants)
    : nameWidth_(nameWidth < sizeof key_ ? nameWidth : sizeof key_ - 1) {
    // Only the leading letters of the typed name count.
    std::size_t letters = 0;
    while (IsLetter(firstName[letters])) ++letters;
    if (letters == 0) letters = 1;
    compared_ = letters < nameWidth_ ? letters : nameWidth_;
    // The typed name upper-cased, cut or padded with blanks to the width.
    std::size_t i = 0;
    for (; i < nameWidth_ && i < sizeof key_ - 1 && firstName[i] != '\0'; ++i)
        key_[i] = AsciiUpper(firstName[i]);
    for (; i < nameWidth_; ++i) key_[i] = ' ';
    key_[nameWidth_] = '\0';
    // With name variants, a name the key does not begin also passes when it
    // is a variant, an abbreviation or the initial of the typed first word.
    if (variants) variants_ = std::make_unique<CGivenNameFilter>(firstName, CGivenNameTable::Builtin());
}

CFirstNameTest::~CFirstNameTest() = default;

bool CFirstNameTest::Passes(const char* names) const {
    // The given names upper-cased and padded with blanks to the width (they
    // end at their NUL or at the width), against the key: only the first
    // letters count, so most entries are decided at once.
    bool same = true;
    bool ended = false;
    for (std::size_t k = 0; k < compared_ && same; ++k) {
        ended = ended || names[k] == '\0';
        same = AsciiUpper(ended ? ' ' : names[k]) == key_[k];
    }
    return same || (variants_ != nullptr && variants_->Matches(names, nameWidth_));
}
