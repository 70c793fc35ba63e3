// Surname matching: the phonetic codes against published examples, the
// rules behind them, and the matcher's modes against index keys as stored.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "browse/names/american_soundex.h"
#include "browse/names/daitch_mokotoff.h"
#include "browse/names/surname_match.h"

namespace {

using Codes = std::vector<std::string>;

// A key as a short-key index holds it: blank-padded to 17 (or width) bytes.
std::string Pad(std::string name, std::size_t width = 17) {
    if (name.size() < width) name.resize(width, ' ');
    return name;
}

Codes Sorted(Codes codes) {
    std::sort(codes.begin(), codes.end());
    return codes;
}

bool Share(const Codes& a, const Codes& b) {
    for (const std::string& code : a) {
        if (std::find(b.begin(), b.end(), code) != b.end()) return true;
    }
    return false;
}

TEST(AmericanSoundexTest, PublishedCodes) {
    struct Case {
        const char* name;
        const char* code;
    };
    const Case cases[] = {
        // The National Archives' own examples.
        {"Gutierrez", "G362"},
        {"Pfister", "P236"},  // P and F side by side, the first letter included: coded once
        {"Jackson", "J250"},
        {"Tymczak", "T522"},   // C and K on either side of a vowel: coded twice
        {"Ashcraft", "A261"},  // S and C on either side of H: coded once, not A226
        {"VanDeusen", "V532"},
        {"Lee", "L000"},
        {"Washington", "W252"},
        // JewishGen's guide.
        {"Sherman", "S655"},
        {"Wassermann", "W265"},
        // FamilySearch's guide.
        {"Christopherson", "C623"},
        {"Clausen", "C425"},
        {"Klausen", "K425"},
        // Other genealogy guides.
        {"Williams", "W452"},
        {"Schmidt", "S530"},
        {"Szalay", "S400"},
        {"Kuhne", "K500"},
        {"Lloyd", "L300"},
        // By the rules: G and S on either side of H coded once; N and M on
        // either side of a vowel coded twice.
        {"Burroughs", "B620"},
        {"Honeyman", "H555"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AmericanSoundexCodes(c.name), Codes{c.code});
    }
}

TEST(AmericanSoundexTest, PrefixesAreCodedWithAndWithout) {
    struct Case {
        std::string name;
        Codes codes;
    };
    const Case cases[] = {
        {"Van Deusen", {"V532", "D250"}},
        {"van deusen", {"V532", "D250"}},
        {Pad("VAN DEUSEN"), {"V532", "D250"}},  // as the index holds it
        {"  Van Deusen", {"V532", "D250"}},
        {"Von Braun", {"V516", "B650"}},
        {"Con Way", {"C500", "W000"}},
        {"De Vries", {"D162", "V620"}},
        {"De  Vries", {"D162", "V620"}},
        {"Di Caprio", {"D216", "C160"}},
        {"Du Bois", {"D120", "B200"}},
        {"La Rue", {"L600", "R000"}},
        {"Le Blanc", {"L145", "B452"}},
        {"Dela Cruz", {"D426", "C620"}},
        {"De la Cruz", {"D426", "L262"}},  // only the first word is a prefix
        {"D'Angelo", {"D524", "A524"}},
        {"D\x92Onofrio", {"D516", "O516"}},  // the typographic apostrophe
        {"D\xC9 Vries", {"D162", "V620"}},   // DÉ is DE
        // Run together, or not a prefix at all: one code.
        {"VanDeusen", {"V532"}},
        {"Dennis", {"D520"}},
        {"Lewis", {"L200"}},
        {"Delacruz", {"D426"}},
        {"Da Silva", {"D241"}},
        {"McDonald", {"M235"}},
        {"Mc Donald", {"M235"}},
        {"Mac Donald", {"M235"}},
        {"O'Brien", {"O165"}},
        {"O Brien", {"O165"}},
        // A prefix with no letters after it.
        {"Van", {"V500"}},
        {Pad("VAN"), {"V500"}},
        {"Van -", {"V500"}},
        {"D'", {"D000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AmericanSoundexCodes(c.name), c.codes);
    }
}

TEST(DaitchMokotoffTest, PublishedCodes) {
    struct Case {
        const char* name;
        Codes codes;
    };
    const Case cases[] = {
        // Wikipedia's examples.
        {"Peters", {"739400", "734000"}},
        {"Peterson", {"739460", "734600"}},
        {"Moskowitz", {"645740"}},
        {"Moskovitz", {"645740"}},
        {"Auerbach", {"097500", "097400"}},
        {"Uhrbach", {"097500", "097400"}},
        {"Jackson", {"154600", "454600", "145460", "445460"}},
        // The examples of Gary Mokotoff's rules.
        {"Augsburg", {"054795"}},
        {"Breuer", {"791900"}},    // EU before a vowel is coded
        {"Freud", {"793000"}},     // EU elsewhere is not
        {"Haber", {"579000"}},     // H at the start
        {"Manheim", {"665600"}},   // H before a vowel
        {"Mintz", {"664000"}},     // TZ one sound, not T and Z
        {"Topf", {"370000"}},      // PF one sound
        {"Kleinman", {"586660"}},  // N and M coded apart
        // Beider and Morse on DM Soundex.
        {"Schwarzenegger", {"474659", "479465"}},
        {"Shwarzenegger", {"474659", "479465"}},
        {"Schwartsenegger", {"479465"}},
        // The documentation of a Ruby gem.
        {"Anja", {"060000", "064000"}},
        {"Schwarz", {"474000", "479400"}},
        {"Schtolteheim", {"283560"}},
        {"Kagan", {"556000"}},  // a vowel parts the two G-sounds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Sorted(DaitchMokotoffCodes(c.name)), Sorted(c.codes));
    }
}

TEST(DaitchMokotoffTest, RulesOfTheChart) {
    struct Case {
        const char* name;
        Codes codes;
    };
    const Case cases[] = {
        {"Mai", {"600000"}},              // AI at the end is not coded...
        {"Maier", {"619000"}},            // ...before a vowel it is 1
        {"Lau", {"800000"}},              // AU likewise, 7
        {"Lauer", {"879000"}},            //
        {"Ahrens", {"096400"}},           // H before a consonant is not coded...
        {"Ahorn", {"059600"}},            // ...before a vowel it is
        {"Ida", {"030000"}},              // a vowel is coded at the start only
        {"Stein", {"260000"}},            // ST at the start is 2...
        {"Ostrowski", {"043974"}},        // ...elsewhere 43, and the R after it is coded alone
        {"Zhdanov", {"267000"}},          // ZHD, the longest group, at the start
        {"Szczepanski", {"276450"}},      // SZCZ
        {"Cohen", {"556000", "456000"}},  // C as K or TZ; H before a vowel
        {"Rosochowaciec", {"944744", "944745", "944754", "944755", "945744", "945745", "945754", "945755"}},
        {"Halberstadt", {"587943", "587433"}},
        {"Warszawski", {"794474", "747450"}},  // RS (94 or 4), then Z (4): codes compared whole
        {"Jackson-Jackson",                    // coded as one word
         {"154654", "454654", "145465", "445465", "154645", "454645", "145464", "445464", "154644",
          "454644"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Sorted(DaitchMokotoffCodes(c.name)), Sorted(c.codes));
    }
    // No prefix rule: a name of several words is coded as written, run together.
    EXPECT_EQ(DaitchMokotoffCodes("Van Deusen"), DaitchMokotoffCodes("VANDEUSEN"));
    // Six C's with vowels between give every mix of 5 and 4; a run of two-way
    // letters that no surname has would give more, and is bounded.
    EXPECT_EQ(DaitchMokotoffCodes("Cacacacacaca").size(), 64u);
    const std::size_t bounded = DaitchMokotoffCodes("JCJRZCHJJYYCHRSAUAICKRZ").size();
    EXPECT_GT(bounded, 32u);
    EXPECT_LE(bounded, static_cast<std::size_t>(DmCodeSet::kCapacity));
    EXPECT_FALSE(DaitchMokotoffCodes(std::string(300, 'C') + std::string(300, '\xE9')).empty());
}

// Both phonetic codes read letters only, and accented letters as their base.
TEST(PhoneticCodesTest, LettersOnlyAndAccentedLettersAsTheirBase) {
    struct Case {
        std::string name;
        std::string same;
    };
    const Case cases[] = {
        {"Smith-Tanner", "SMITHTANNER"},
        {"O'Brien", "OBRIEN"},
        {"O\x92Neill", "ONEILL"},
        {Pad("SMITH", 22), "smith"},
        {"M\xFCller", "Muller"},        // ü
        {"M\xDCLLER", "MULLER"},        // Ü
        {"Strau\xDF", "Strauss"},       // ß
        {"\xDE\xF3rsson", "Thorsson"},  // Þó
        {"\xC6gir", "Aegir"},           // Æ
        {"\x8Cuvray", "Oeuvray"},       // Œ
        {"\xD1u\xF1o", "Nuno"},         // Ñ ñ
        {"\x8Aimko", "Simko"},          // Š
        {"\x9Eizek", "Zizek"},          // ž
        {"\xC7\xE9l\xEFne", "Celine"},  // Ç é ï
        {"\xD0\xF8rn", "Dorn"},         // Ð ø
        {"\xDDv\xE0", "Yva"},           // Ý à
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.same);
        EXPECT_FALSE(AmericanSoundexCodes(c.same).empty());
        EXPECT_EQ(AmericanSoundexCodes(c.name), AmericanSoundexCodes(c.same));
        EXPECT_EQ(DaitchMokotoffCodes(c.name), DaitchMokotoffCodes(c.same));
    }
}

TEST(PhoneticCodesTest, NamesWithoutLettersHaveNoCodeAndMatchNothing) {
    const std::string names[] = {"", "   ", "123", "-'", "\xD7\xF7", Pad("")};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(AmericanSoundexCodes(name).empty());
        EXPECT_TRUE(DaitchMokotoffCodes(name).empty());
        for (MatchMode mode : {MatchMode::Soundex, MatchMode::DaitchMokotoff}) {
            const CSurnameMatcher matcher(mode, name);
            EXPECT_FALSE(matcher.CanMatch());
            EXPECT_FALSE(matcher.Matches(Pad("SMITH"), 1));
            EXPECT_FALSE(matcher.Matches(Pad(name), 1));
            EXPECT_FALSE(CSurnameMatcher(mode, "Smith").Matches(Pad(name), 1));
        }
    }
}

TEST(SurnameMatcherTest, ModeNamesAndPadding) {
    for (MatchMode mode : {MatchMode::Exact, MatchMode::Prefix, MatchMode::Pattern, MatchMode::Soundex,
                           MatchMode::DaitchMokotoff}) {
        MatchMode parsed = mode == MatchMode::Exact ? MatchMode::Prefix : MatchMode::Exact;
        EXPECT_TRUE(ParseMatchMode(MatchModeName(mode), parsed));
        EXPECT_EQ(parsed, mode);
    }
    EXPECT_STREQ(MatchModeName(MatchMode::DaitchMokotoff), "dm");
    MatchMode untouched = MatchMode::Pattern;
    for (const char* name : {"", "Exact", "dms", "soundex ", "daitch-mokotoff"}) {
        EXPECT_FALSE(ParseMatchMode(name, untouched)) << name;
    }
    EXPECT_EQ(untouched, MatchMode::Pattern);

    EXPECT_EQ(WithoutPadding(Pad("SMITH")), "SMITH");
    EXPECT_EQ(WithoutPadding(Pad("VAN DEUSEN", 22)), "VAN DEUSEN");
    EXPECT_EQ(WithoutPadding("ABCDEFGHIJKLMNOPQRSTUVW"), "ABCDEFGHIJKLMNOPQRSTUVW");
    EXPECT_EQ(WithoutPadding(Pad("")), "");
}

TEST(SurnameMatcherTest, ExactFormsTheSearchKey) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    const std::string capitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    struct Case {
        int code;
        std::string typed;
        std::string stored;
        bool matches;
    };
    const Case cases[] = {
        {1, "smith", Pad("SMITH"), true},
        {1, "SmItH", Pad("SMITH"), true},
        {1, "smith ", Pad("SMITH"), true},  // its key is padded to the same 17
        {1, "smith", "SMITH", false},       // the padding is part of the key
        {1, "smith", Pad("SMITH", 22), false},
        {1, "smyth", Pad("SMITH"), false},
        {7, "smith", Pad("SMITH", 22), true},
        {7, "smith ", Pad("SMITH", 22), true},
        {7, "smith", Pad("SMITH"), false},         // a short key in a long-key database
        {1, "m\xFCller", Pad("M\xFCLLER"), true},  // bytes above 0x7F as typed
        {1, "M\xDCLLER", Pad("M\xFCLLER"), false},
        {1, letters.substr(0, 17), capitals.substr(0, 17), true},
        {7, letters.substr(0, 17), capitals.substr(0, 17), true},  // past 16 letters, codes 1-8 do not pad
        {7, letters.substr(0, 16), Pad(capitals.substr(0, 16), 22), true},
        {9, letters.substr(0, 18), Pad(capitals.substr(0, 18), 22), true},  // codes 9-14 pad up to 21
        {9, letters.substr(0, 18), capitals.substr(0, 18), false},
        {9, letters.substr(0, 23), capitals.substr(0, 23), true},
        {9, letters.substr(0, 24), capitals.substr(0, 24), false},  // too long for a key
        {0, "smith", Pad("SMITH"), false},
        {15, "smith", Pad("SMITH"), false},
        {1, std::string("smith\0jones", 11), Pad("SMITH"), true},  // the search reads up to a NUL
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " '" << c.typed << "' '" << c.stored << "'");
        EXPECT_EQ(CSurnameMatcher(MatchMode::Exact, c.typed).Matches(c.stored, c.code), c.matches);
    }
    EXPECT_TRUE(CSurnameMatcher(MatchMode::Exact, letters.substr(0, 23)).CanMatch());
    EXPECT_FALSE(CSurnameMatcher(MatchMode::Exact, letters.substr(0, 24)).CanMatch());
}

TEST(SurnameMatcherTest, PrefixAndPattern) {
    struct Case {
        MatchMode mode;
        const char* typed;
        std::string stored;
        bool matches;
    };
    const MatchMode kPrefix = MatchMode::Prefix;
    const MatchMode kPattern = MatchMode::Pattern;
    const Case cases[] = {
        {kPrefix, "smi", Pad("SMITH"), true},
        {kPrefix, "sMiTh", Pad("SMITH"), true},
        {kPrefix, "smith", "SMITH", true},
        {kPrefix, "smith ", Pad("SMITH"), false},  // the padding is no part of the name
        {kPrefix, "smith ", Pad("SMITH JONES"), true},
        {kPrefix, "smithe", Pad("SMITH"), false},
        {kPrefix, "", Pad("SMITH"), true},
        {kPrefix, "o'b", Pad("O'BRIEN"), true},
        {kPrefix, "m\xFC", Pad("M\xFCLLER"), true},
        {kPrefix, "M\xDC", Pad("M\xFCLLER"), false},  // only a-z are folded
        {kPrefix, "mu", Pad("M\xFCLLER"), false},
        {kPattern, "smith", Pad("SMITH"), true},
        {kPattern, "smi", Pad("SMITH"), false},  // the whole key must match
        {kPattern, "smi*", Pad("SMITH"), true},
        {kPattern, "*ITH", Pad("SMITH"), true},
        {kPattern, "s?ith", Pad("SMITH"), true},
        {kPattern, "s?ith", Pad("SMYTHE"), false},
        {kPattern, "sm?th?", Pad("SMYTHE"), true},
        {kPattern, "smith?", Pad("SMITH"), false},  // '?' is one byte, and the padding is gone
        {kPattern, "smith*", Pad("SMITH"), true},   // '*' may be empty
        {kPattern, "*", Pad("SMITH"), true},
        {kPattern, "*", Pad(""), true},
        {kPattern, "", Pad(""), true},
        {kPattern, "", Pad("SMITH"), false},
        {kPattern, "?", Pad("X"), true},
        {kPattern, "?", Pad("XY"), false},
        {kPattern, "**s**", Pad("JONES"), true},
        {kPattern, "*a*b", Pad("AXBXAB"), true},
        {kPattern, "*a*b", Pad("AXBXA"), false},
        {kPattern, "*ab*ab", Pad("ABAB"), true},
        {kPattern, "*ab*ab", Pad("ABXA"), false},
        {kPattern, "van d*", Pad("VAN DEUSEN"), true},
        {kPattern, "a?b", Pad("A*B"), true},
        {kPattern, "m\xFC*", Pad("M\xFCLLER"), true},
        {kPattern, "M\xDC*", Pad("M\xFCLLER"), false},
        {kPattern, "*a*a*a*a*a*a*a*a*a*a*b", Pad(std::string(22, 'A'), 22), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << MatchModeName(c.mode) << " '" << c.typed << "' '" << c.stored << "'");
        const CSurnameMatcher matcher(c.mode, c.typed);
        EXPECT_TRUE(matcher.CanMatch());
        EXPECT_EQ(matcher.Matches(c.stored, 1), c.matches);
    }
}

TEST(SurnameMatcherTest, PhoneticModes) {
    struct Case {
        MatchMode mode;
        const char* typed;
        std::string stored;
        bool matches;
    };
    const MatchMode kSoundex = MatchMode::Soundex;
    const MatchMode kDm = MatchMode::DaitchMokotoff;
    const Case cases[] = {
        {kSoundex, "Smith", Pad("SMYTHE"), true},
        {kSoundex, "Smith", Pad("SCHMIDT"), true},
        {kSoundex, "Smith", Pad("SMITS"), false},
        {kSoundex, "Ashcraft", Pad("ASHCROFT"), true},
        {kSoundex, "Ashcraft", Pad("ASACROFT"), false},  // A226
        {kSoundex, "M\xFCller", Pad("MUELLER"), true},
        {kSoundex, "Van Deusen", Pad("DEUSEN"), true},
        {kSoundex, "Van Deusen", Pad("VANDEUSEN"), true},
        {kSoundex, "VanDeusen", Pad("DEUSEN"), false},
        {kSoundex, "Deusen", Pad("VAN DEUSEN", 22), true},
        {kSoundex, "Deusen", Pad("VANDEUSEN"), false},
        {kSoundex, "Angelo", Pad("D'ANGELO"), true},
        {kSoundex, "Wis", Pad("LEWIS"), false},
        {kSoundex, "Donald", Pad("MC DONALD"), false},
        {kSoundex, "Brien", Pad("O BRIEN"), false},
        {kSoundex, "Smith", Pad(" SMITH"), true},
        {kDm, "Moskowitz", Pad("MOSKOVITZ"), true},
        {kDm, "Moskowitz", Pad("MOSKOWSKI"), false},
        {kDm, "Jackson", Pad("JAXON"), true},
        {kDm, "Auerbach", Pad("UHRBACH"), true},
        {kDm, "Cohen", Pad("KAGAN"), true},
        {kDm, "Smith", Pad("SCHMIDT"), true},
        {kDm, "Schwarzenegger", Pad("SCHWARTSENEGGER", 22), true},
        {kDm, "Van Deusen", Pad("DEUSEN"), false},
        {kDm, "M\xFCller", Pad("MULLER"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << MatchModeName(c.mode) << " '" << c.typed << "' '" << c.stored << "'");
        EXPECT_EQ(CSurnameMatcher(c.mode, c.typed).Matches(c.stored, 1), c.matches);
    }
}

// The matcher turns most keys down before coding them; that must never lose
// a key whose codes are shared.
TEST(SurnameMatcherTest, PhoneticMatchesAgreeWithTheCodes) {
    const std::string names[] = {
        "Smith",     "Schmidt",    "Smythe",      "Van Deusen", "Deusen",     "VanDeusen", "D'Angelo",
        "Angelo",    "De la Cruz", "Dela Cruz",   "Cruz",       "Lacruz",     "Le Blanc",  "Blanc",
        "Lewis",     "Wis",        "Ashcraft",    "Jackson",    "Jaxon",      "Peters",    "Petersen",
        "Auerbach",  "Uhrbach",    "Cohen",       "Kagan",      "Kahn",       "Moskowitz", "Moskovitz",
        "Tymczak",   "Zhdanov",    "Szczepanski", "Schwarz",    "Chase",      "Tsar",      "Rosochowaciec",
        "M\xFCller", "Muller",     "\xC6gir",     "Aegir",      "O'Brien",    " Smith",    "Xu",
        "Li",        "Lee",        "Dy",          "Di Dy",      "Con Cannon", "Cannon",    "D\x92Onofrio",
        "Onofrio"};
    for (MatchMode mode : {MatchMode::Soundex, MatchMode::DaitchMokotoff}) {
        auto codes = [mode](const std::string& name) {
            return mode == MatchMode::Soundex ? AmericanSoundexCodes(name) : DaitchMokotoffCodes(name);
        };
        for (const std::string& typed : names) {
            const CSurnameMatcher matcher(mode, typed);
            for (const std::string& name : names) {
                const bool shared = Share(codes(typed), codes(name));
                for (const std::string& key : {name, Pad(name), Pad(name, 22)}) {
                    EXPECT_EQ(matcher.Matches(key, 1), shared)
                        << MatchModeName(mode) << " '" << typed << "' '" << key << "'";
                }
            }
        }
    }
}

}  // namespace
