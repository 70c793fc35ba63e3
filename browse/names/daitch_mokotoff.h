#pragma once
// Daitch-Mokotoff Soundex: six-digit codes for the Central and Eastern
// European surnames that American Soundex serves badly, coded from Gary
// Mokotoff's published rule table (daitch_mokotoff.cpp holds the table).
//
// The name is coded as one word, the bytes that are no letter passed over
// and accented letters counted as their base letter (see name_letters.h).
// Letter groups are matched longest first; a group has a code at the start
// of the name, one before a vowel (A E I O U) and one in any other place,
// and some groups a second coding, which gives the name a second branch of
// codes. A vowel is coded only at the start; two groups side by side with
// the same code are coded once, but a group left uncoded between them (a
// vowel, or an H, J or Y that is not coded there) parts them, as in Kagan
// 556000. The codes of two groups are compared whole, as the chart gives
// them: RS coded 94 and a Z after it coded 4 give 944. Codes are cut or
// padded with zeros to six digits; a name shares a code with another when
// any of their codes are equal.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "browse/names/name_letters.h"

// The codes of one name, each six digits as a number (097500 is 97500), held
// without allocating so that a listing can code every key of an index.
struct DmCodeSet {
    // Branches double at each group with two codings. Surnames have a few
    // (Rosochowaciec, with four such groups, has 8 codes), but a run of such
    // letters that no surname has can give over a hundred: past 64 branches,
    // further second codings are not followed.
    static constexpr int kCapacity = 64;
    // Letters coded: an index key has at most 23 bytes, 46 letters; letters
    // past the 64th are not read.
    static constexpr std::size_t kMaxLetters = 64;

    std::uint32_t codes[kCapacity];
    int count = 0;

    bool Contains(std::uint32_t code) const {
        for (int i = 0; i < count; ++i) {
            if (codes[i] == code) return true;
        }
        return false;
    }
};

// Fills codes with the codes of name, in the order their branches arise (the
// first coding of each group first); none without letters. With wanted, only
// codes also in wanted are kept, and branches that can no longer end in one
// of them are given up as soon as their digits show it.
void DaitchMokotoffOf(std::string_view name, DmCodeSet& codes, const DmCodeSet* wanted = nullptr);

// The codes as six-digit text ("097500"), for tests and for showing them.
std::vector<std::string> DaitchMokotoffCodes(std::string_view name);

// A typed name's codes, worked out once, and the test of one index key after
// another against them.
class CDaitchMokotoffQuery {
public:
    explicit CDaitchMokotoffQuery(std::string_view typed);

    bool HasCodes() const { return codes_.count > 0; }

    // True when one of name's codes is one of the typed name's. Allocates
    // nothing; most index keys are turned down on their first two letters,
    // and the others' branches are given up as soon as their digits part from
    // the typed codes.
    bool SharesCode(std::string_view name) const { return MayShareCode(name) && CodeIsShared(name); }

private:
    // False when no code that starts with name's first two letters can start
    // with a digit that a typed code starts with.
    bool MayShareCode(std::string_view name) const {
        if (name.empty()) return false;
        const name_letters::Letters first = name_letters::LettersOf(name[0]);
        if (first.first == '\0') return true;  // left to CodeIsShared
        const char second = first.second != '\0' ? first.second
                            : name.size() > 1    ? name_letters::LettersOf(name[1]).first
                                                 : '\0';
        return mayStart_[first.first - 'A'][second == '\0' ? 26 : second - 'A'];
    }
    // The codes themselves.
    bool CodeIsShared(std::string_view name) const;

    DmCodeSet codes_;
    bool mayStart_[26][27];
};
