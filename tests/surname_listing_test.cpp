// Surname listings over whole indexes: the walk that leaves out the parts of
// an index no query can match gives exactly what matching every key gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "browse/names/surname_listing.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/disk_format.h"
#include "store/name_index.h"
#include "support/shown_outcome.h"
#include "support/test_support.h"

using testing_support::ScriptedResponder;
using testing_support::TempDir;

namespace {

struct EveryKey : CIndexKeyVisitor {
    std::vector<std::string> keys;
    std::vector<std::int32_t> counts;
    void Visit(std::string_view key, std::int32_t, std::int32_t count) override {
        keys.emplace_back(key);
        counts.push_back(count);
    }
};

// A few thousand surnames of every shape: plain, with prefix words, run
// together, accented, beginning with signs.
std::vector<std::string> Surnames() {
    const char* const stems[] = {"Smith",   "Smyth", "Schmidt",   "Deusen",   "Angelo",
                                 "Dennis",  "Lewis", "Moskowitz", "Ashcraft", "Tymczak",
                                 "Pfister", "Lee",   "Jackson",   "Peters",   "Auerbach"};
    const char* const before[] = {"",   "Van ", "Von ", "Con ", "De ", "Di ", "Du ", "La ",  "Le ", "Dela ",
                                  "D'", "Van",  "Mc",   "O'",   "'",   "-",   " ",   "\x8a", "\xc9"};
    const char* const after[] = {"", "s", "er", "-Jones", "\xfc", "ski"};
    std::vector<std::string> names;
    for (const char* stem : stems) {
        for (const char* b : before) {
            for (const char* a : after) names.push_back(std::string(b) + stem + a);
        }
    }
    for (int i = 0; i < 400; ++i) names.push_back("Name" + std::to_string(i * 7919 % 10007));
    return names;
}

}  // namespace

TEST(SurnameListing, LeavingOutUnmatchablePartsOfTheIndexLosesNothing) {
    ScriptedResponder boxes;
    TempDir data;
    const int code = 11;
    CDatabaseWriter writer(code);
    std::string error;
    // Some surnames twice, so that close spellings have people counts to order by.
    const std::vector<std::string> surnames = Surnames();
    for (std::size_t i = 0; i < surnames.size(); ++i) {
        for (std::size_t n = 0; n <= i % 3; ++n)
            ASSERT_TRUE(writer.Add({surnames[i], "A", {"x"}}, &error)) << error;
    }
    ASSERT_TRUE(writer.Write(data.Path(), 0, &error)) << error;
    testing_support::WriteFileBytes(data.File(disk_format::kMarkerFileName), "");
    CDirectories dirs;
    dirs.SetDataDir(data.Path().c_str());

    CNameIndex index(catalogue::KeyFieldWidth(code));
    ASSERT_FALSE(index.Open(data.File("ww2_kor.tre"), "ww2_kor.tre").Failed());
    EveryKey every;
    ASSERT_FALSE(index.WalkKeys(every).Failed());
    ASSERT_GT(every.keys.size(), 1000u);

    const MatchMode modes[] = {MatchMode::Exact,   MatchMode::Prefix,         MatchMode::Pattern,
                               MatchMode::Soundex, MatchMode::DaitchMokotoff, MatchMode::Close};
    const char* const typed[] = {"smith",
                                 "Van Deusen",
                                 "deusen",
                                 "D'Angelo",
                                 "angelo",
                                 "lewis",
                                 "s",
                                 "",
                                 "*",
                                 "?m*",
                                 "sm*",
                                 "\x8a"
                                 "mith",
                                 "'smith",
                                 "Vandeusen",
                                 "ashcraft",
                                 "le*",
                                 "xyz",
                                 "lee",
                                 "smtih",
                                 "O'Brein",
                                 "jakcson",
                                 "ab"};
    for (MatchMode mode : modes) {
        for (const char* text : typed) {
            SCOPED_TRACE(std::string(MatchModeName(mode)) + " " + text);
            const CSurnameMatcher matcher(mode, text);
            // Key by key: distance (0 outside close mode), people, surname.
            std::vector<std::tuple<int, std::int32_t, std::string>> expected;
            for (std::size_t k = 0; k < every.keys.size(); ++k) {
                const int distance = matcher.Distance(every.keys[k], code);
                if (distance >= 0) {
                    expected.emplace_back(distance, every.counts[k],
                                          std::string(WithoutPadding(every.keys[k])));
                }
            }
            if (mode == MatchMode::Close) {
                std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
                    return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) < std::get<0>(b)
                                                            : std::get<1>(a) > std::get<1>(b);
                });
            }
            const ListingOutcome outcome = surname_listing::List(dirs, {code}, {matcher}, {});
            ASSERT_FALSE(outcome.error.Failed());
            std::vector<std::tuple<int, std::int32_t, std::string>> listed;
            for (const ListedSurname& match : outcome.matches[0]) {
                listed.emplace_back(match.distance, match.count, match.surname);
            }
            EXPECT_EQ(listed, expected);
        }
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(SurnameListing, MissingIndexesAreSkippedOrStopTheListingAndTheDiskIsAskedFor) {
    ScriptedResponder boxes;
    TempDir data;
    CDatabaseWriter writer(3);
    std::string error;
    ASSERT_TRUE(writer.Add({"Astor", "John", {"3"}}, &error));
    ASSERT_TRUE(writer.Write(data.Path(), 0, &error));
    CDirectories dirs;
    dirs.SetDataDir(data.Path().c_str());
    const std::vector<CSurnameMatcher> astor{CSurnameMatcher(MatchMode::Exact, "astor")};

    // No marker: the prompt, answered Cancel; a listing that follows the
    // user's typing asks nothing and shows nothing.
    // (The programs show what a listing says; a dialog says it inside itself.)
    auto shown = [](ListingOutcome outcome) {
        platform::Tell(outcome.messages, outcome.details);
        return outcome;
    };
    ListingOutcome outcome = surname_listing::List(dirs, {3}, astor, {false, {}});
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(boxes.Shown().empty());
    outcome = shown(surname_listing::List(dirs, {3}, astor, {false, testing_support::BoxPrompt()}));
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_EQ(boxes.Shown().size(), 1u);

    testing_support::WriteFileBytes(data.File(disk_format::kMarkerFileName), "");
    boxes.Clear();
    outcome = shown(
        surname_listing::List(dirs, catalogue::EveryDatabase(), astor, {true, testing_support::BoxPrompt()}));
    EXPECT_FALSE(outcome.error.Failed());
    EXPECT_EQ(outcome.skipped.size(), 12u);
    ASSERT_EQ(outcome.matches[0].size(), 1u);
    EXPECT_EQ(outcome.matches[0][0].code, 3);
    EXPECT_EQ(outcome.matches[0][0].count, 1);
    EXPECT_TRUE(boxes.Shown().empty());

    outcome = surname_listing::List(dirs, {1, 3}, astor, {false, {}});
    EXPECT_EQ(outcome.error.kind, StoreErrorKind::IndexMissing);
    EXPECT_TRUE(boxes.Shown().empty());
    outcome = shown(surname_listing::List(dirs, {1, 3}, astor, {false, testing_support::BoxPrompt()}));
    EXPECT_EQ(outcome.error.kind, StoreErrorKind::IndexMissing);
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::string>{"The index file congen.tre is missing from the data disk."});
}

TEST(SurnameListing, CloseSpellingsComeClosestThenCommonestThenByListRowThenKey) {
    ScriptedResponder boxes;
    TempDir data;
    std::string error;
    // congen is row 0 of the list, titan row 3.
    const struct {
        int code;
        std::vector<std::pair<const char*, int>> people;
    } databases[] = {
        {3, {{"Smith", 2}, {"Smyth", 5}, {"Smithers", 9}, {"Schmidt", 7}}},
        {1, {{"Smith", 2}, {"Smit", 1}, {"Smithe", 1}, {"Mith", 3}}},
    };
    for (const auto& database : databases) {
        CDatabaseWriter writer(database.code);
        for (const auto& [surname, count] : database.people) {
            for (int n = 0; n < count; ++n) ASSERT_TRUE(writer.Add({surname, "A", {"x"}}, &error)) << error;
        }
        ASSERT_TRUE(writer.Write(data.Path(), 0, &error)) << error;
    }
    testing_support::WriteFileBytes(data.File(disk_format::kMarkerFileName), "");
    CDirectories dirs;
    dirs.SetDataDir(data.Path().c_str());

    const ListingOutcome outcome = surname_listing::List(
        dirs, catalogue::EveryDatabase(), {CSurnameMatcher(MatchMode::Close, "Smith")}, {true, {}});
    ASSERT_FALSE(outcome.error.Failed());
    std::vector<std::string> listed;
    for (const ListedSurname& match : outcome.matches[0]) {
        listed.push_back(std::string(catalogue::StemOf(match.code)) + " " + match.surname + " " +
                         std::to_string(match.count) + " " + std::to_string(match.distance));
    }
    const std::vector<std::string> expected = {
        "congen SMITH 2 0", "titan SMITH 2 0", "titan SMYTH 5 1",
        "congen MITH 3 1",  "congen SMIT 1 1", "congen SMITHE 1 1",
    };
    EXPECT_EQ(listed, expected);  // SMITHERS and SCHMIDT are three edits away

    // What a search that found nobody offers: one database, the same order.
    const ListingOutcome offered = surname_listing::CloseSpellings(dirs, 1, "Smiht", {false, {}});
    std::vector<std::string> surnames;
    for (const ListedSurname& match : offered.matches[0]) surnames.push_back(match.surname);
    EXPECT_EQ(surnames, (std::vector<std::string>{"SMITH", "SMIT", "MITH", "SMITHE"}));
    EXPECT_TRUE(boxes.Shown().empty());
}
