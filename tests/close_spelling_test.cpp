// Close spellings: the bounded distance against a plain full-table one, the
// walker that keeps rows between keys against a fresh count per key, and the
// distance's edge cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "browse/names/close_spelling.h"
#include "browse/names/name_letters.h"
#include "browse/names/surname_match.h"

namespace {

// The optimal-string-alignment distance of two letter strings, the whole
// table, no bound.
int PlainDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

std::string LettersOf(const std::string& text) {
    char letters[128];
    return std::string(letters, name_letters::CopyLetters(text, letters, sizeof letters));
}

}  // namespace

TEST(CloseSpellingTest, DistanceEdgeCases) {
    struct Case {
        const char* typed;
        const char* key;
        int distance;  // -1: beyond the bound
    };
    const Case cases[] = {
        {"Smith", "SMITH            ", 0},  // padding blanks are no letters
        {"Smtih", "SMITH", 1},              // a swap inside
        {"mSith", "SMITH", 1},              // a swap at the start
        {"Smiht", "SMITH", 1},              // a swap at the end
        {"Smith", "SMYTHE", 2},
        {"Smith", "SMYTHES", -1},  // three edits
        {"Smith", "MITH", 1},      // the first letter dropped
        {"Smith", "SMIT", 1},      // the last letter dropped
        {"Smith", "XSMITHX", 2},   // a letter added at both ends
        // Four letters or fewer: one edit.
        {"Lee", "LEA", 1},
        {"Lee", "LE", 1},
        {"Lee", "LEAH", -1},
        {"Lee", "EL", -1},
        {"Jone", "JOHN", -1},
        {"Jones", "JOHNS", 2},  // five letters: two
        {"ab", "BA", 1},
        {"a", "B", 1},
        {"a", "", 1},  // a key of no letters at all
        {"a", "BC", -1},
        // Letters as the sound codes read them.
        {"Muller", "M\xdcLLER", 0},
        {"O'Brien", "OBRIEN", 0},
        {"OBrien", "O'BRIEN", 0},
        {"O'Brien", "O BRIAN", 1},
        {"Strauss", "STRAU\xdf", 0},  // ß is SS
        {"Strauss", "STRAUS", 1},
        {"Aerts", "\xc6RTS", 0},  // Æ is AE
        {"van Dyke", "VANDYKE", 0},
        // A swap is one edit only where nothing else touches the pair: CA and
        // ABC are three edits apart (two with unrestricted swaps).
        {"CAxyz", "ABCXYZ", -1},
        {"CAxyzw", "ACXYZW", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " / " + c.key);
        const CCloseSpellingQuery query(c.typed);
        ASSERT_TRUE(query.CanMatch());
        EXPECT_EQ(query.Distance(c.key), c.distance);
        const CSurnameMatcher matcher(MatchMode::Close, c.typed);
        EXPECT_EQ(matcher.Matches(c.key, 1), c.distance >= 0);
        EXPECT_EQ(matcher.Distance(c.key, 1), c.distance);
    }
    // Nothing to come close to: no letters, or more than any key holds.
    for (const std::string& typed : {std::string(), std::string("'- "), std::string(65, 'a')}) {
        EXPECT_FALSE(CCloseSpellingQuery(typed).CanMatch()) << typed;
        EXPECT_EQ(CCloseSpellingQuery(typed).Distance("A"), -1);
    }
    EXPECT_TRUE(CCloseSpellingQuery(std::string(64, 'a')).CanMatch());
    EXPECT_EQ(CCloseSpellingQuery("smith").Bound(), 2);
    EXPECT_EQ(CCloseSpellingQuery("o'lee").Bound(), 1);
}

TEST(CloseSpellingTest, BoundedAndIncrementalDistancesAgreeWithTheWholeTable) {
    // Keys from few letters, so that many lie near each typed text, sorted
    // as an index holds them; some with signs and accented letters.
    const char alphabet[] = {'A', 'B', 'S', 'M', 'I', 'T', 'H', '\'', '\xc9', ' '};
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    std::vector<std::string> keys;
    for (int i = 0; i < 4000; ++i) {
        std::string key;
        const unsigned length = next(11);
        for (unsigned k = 0; k < length; ++k) key += alphabet[next(sizeof alphabet)];
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    const char* const typed[] = {"Smith", "smiht",   "ab",        "Bat",    "s",
                                 "Mitts", "\xc9tat", "HIMSBATHS", "aaaaaaa"};
    long near = 0;  // keys within the bound, over every typed text
    for (const char* text : typed) {
        SCOPED_TRACE(text);
        const CCloseSpellingQuery query(text);
        CCloseSpellingWalker walker(query);
        const std::string typedLetters = LettersOf(text);
        // The beginnings the index walk may leave out hold no close key.
        const std::unique_ptr<bool[]> allowed(new bool[65536]());
        query.MarkLeadingBytes(allowed.get());
        for (const std::string& key : keys) {
            const int plain = PlainDistance(typedLetters, LettersOf(key));
            const int expected = plain <= query.Bound() ? plain : -1;
            near += expected >= 0 ? 1 : 0;
            ASSERT_EQ(walker.Next(key), expected) << key;
            ASSERT_EQ(query.Distance(key), expected) << key;
            const auto first = static_cast<unsigned char>(key.empty() ? '\0' : key[0]);
            const auto second = static_cast<unsigned char>(key.size() < 2 ? '\0' : key[1]);
            if (expected >= 0) {
                ASSERT_TRUE(allowed[first * 256 + second]) << key;
            }
        }
        if (query.Bound() == 1) {
            EXPECT_LT(std::count(allowed.get(), allowed.get() + 65536, true), 65536);
        }
        // Keys out of order give the same answers.
        CCloseSpellingWalker backwards(query);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            ASSERT_EQ(backwards.Next(*key), query.Distance(*key)) << *key;
        }
    }
    EXPECT_GT(near, 100);
}
