#pragma once
// American Soundex as the U.S. National Archives codes census indexes.
//
// The first letter is kept; the letters after it are coded B F P V = 1,
// C G J K Q S X Z = 2, D T = 3, L = 4, M N = 5, R = 6, and A E I O U Y H W
// are not coded. Letters side by side with the same code are coded once,
// the first letter included (Pfister P236); two letters with the same code
// on either side of H or W are coded once (Ashcraft A261), on either side of
// a vowel twice (Tymczak T522). The code is cut or padded with zeros to a
// letter and three digits.
//
// Bytes that are no letter (blanks, apostrophes, hyphens) are passed over as
// if they were not there: the rule is about letters only, so "Smith-Tanner"
// codes as "SMITHTANNER". Accented letters count as their base letter (see
// name_letters.h). A name without letters has no code.
//
// A name whose first word is Van, Von, Con, De, Di, Du, La, Le or Dela,
// followed by a blank and more letters, or that begins with D' and more
// letters, is coded with and without the prefix: "Van Deusen" is V532 and
// D250, "D'Angelo" D524 and A524. Run together ("VanDeusen", "Dennis") it is
// no prefix, so that common names pick up no false matches; Mc, Mac and O are
// never prefixes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The codes of one name, each a letter and three digits packed into 32 bits,
// held without allocating so that a listing can code every key of an index.
struct SoundexCodeSet {
    std::uint32_t codes[2];
    int count;

    bool Contains(std::uint32_t code) const {
        for (int i = 0; i < count; ++i) {
            if (codes[i] == code) return true;
        }
        return false;
    }
};

// The codes of name: none without letters, two when a prefix is coded both ways
// and the two codes differ, else one. The code with the prefix comes first.
SoundexCodeSet AmericanSoundexOf(std::string_view name);

// The codes as text ("A261"), for tests and for showing them.
std::vector<std::string> AmericanSoundexCodes(std::string_view name);

// A typed name's codes, worked out once, and the test of one index key after
// another against them.
class CAmericanSoundexQuery {
public:
    explicit CAmericanSoundexQuery(std::string_view typed);

    bool HasCodes() const { return codes_.count > 0; }
    // False when no key that begins with byte can share a code: its letter
    // starts no typed code and no prefix word. Lets a listing leave out the
    // parts of an index whose keys all begin with such bytes.
    bool MayBeginWith(unsigned char byte) const { return start_[byte] != 0; }
    // The same for a key's first two bytes: a key that can share a code only
    // through a prefix must begin like one of the prefix words.
    bool MayBeginWith(unsigned char first, unsigned char second) const;

    // True when one of name's codes is one of the typed name's. Allocates
    // nothing; most index keys are turned down on a few bytes, without
    // coding them.
    bool SharesCode(std::string_view name) const { return MayShareCode(name) && CodeIsShared(name); }

private:
    // Bits of start_: kMayStartCode for a byte that is the first letter of a
    // typed code, or no letter (which tells nothing); kMayStartPrefix for C, D,
    // L and V, with which every prefix starts.
    enum : unsigned char { kMayStartCode = 1, kMayStartPrefix = 2 };

    // False when neither name nor what follows a prefix it may have can start
    // with the letter of a typed code. A prefix word has two to four letters,
    // so what follows it starts at byte 3, 4 or 5 after a blank (at 2 after
    // D'). Branch-free but for the length, as it runs on every key.
    bool MayShareCode(std::string_view name) const {
        if (name.size() < 6) return true;  // left to CodeIsShared
        const auto* b = reinterpret_cast<const unsigned char*>(name.data());
        const unsigned first = start_[b[0]];
        const unsigned afterPrefix = (static_cast<unsigned>(b[1] == '\'' || b[1] == 0x92) & start_[b[2]]) |
                                     (static_cast<unsigned>(b[2] == ' ') & start_[b[3]]) |
                                     (static_cast<unsigned>(b[3] == ' ') & start_[b[4]]) |
                                     (static_cast<unsigned>(b[4] == ' ') & start_[b[5]]);
        return ((first | (first >> 1 & afterPrefix)) & kMayStartCode) != 0;
    }
    // The codes themselves.
    bool CodeIsShared(std::string_view name) const;

    SoundexCodeSet codes_;
    unsigned char start_[256];
};
