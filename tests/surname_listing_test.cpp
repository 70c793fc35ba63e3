// Surname listings over whole indexes: the walk that leaves out the parts of
// an index no query can match gives exactly what matching every key gives.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/surname_listing.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/disk_format.h"
#include "store/name_index.h"
#include "support/test_support.h"

using testing_support::ScriptedResponder;
using testing_support::TempDir;

namespace {

struct EveryKey : CIndexKeyVisitor {
    std::vector<std::string> keys;
    void Visit(std::string_view key, std::int32_t, std::int32_t) override { keys.emplace_back(key); }
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
    for (const std::string& surname : Surnames())
        ASSERT_TRUE(writer.Add({surname, "A", {"x"}}, &error)) << error;
    ASSERT_TRUE(writer.Write(data.Path(), 0, &error)) << error;
    testing_support::WriteFileBytes(data.File(disk_format::kMarkerFileName), "");
    CDirectories dirs;
    dirs.SetDataDir(data.Path().c_str());

    CNameIndex index(catalogue::KeyFieldWidth(code));
    ASSERT_FALSE(index.Open(data.File("ww2_kor.tre"), "ww2_kor.tre").Failed());
    EveryKey every;
    ASSERT_FALSE(index.WalkKeys(every).Failed());
    ASSERT_GT(every.keys.size(), 1000u);

    const MatchMode modes[] = {MatchMode::Exact, MatchMode::Prefix, MatchMode::Pattern, MatchMode::Soundex,
                               MatchMode::DaitchMokotoff};
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
                                 "xyz"};
    for (MatchMode mode : modes) {
        for (const char* text : typed) {
            SCOPED_TRACE(std::string(MatchModeName(mode)) + " " + text);
            const CSurnameMatcher matcher(mode, text);
            std::vector<std::string> expected;
            for (const std::string& key : every.keys) {
                if (matcher.Matches(key, code)) expected.emplace_back(WithoutPadding(key));
            }
            const ListingOutcome outcome = surname_listing::List(dirs, {code}, {matcher}, {});
            ASSERT_FALSE(outcome.error.Failed());
            std::vector<std::string> listed;
            for (const ListedSurname& match : outcome.matches[0]) listed.push_back(match.surname);
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
    ListingOutcome outcome = surname_listing::List(dirs, {3}, astor, {false, false});
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(boxes.Shown().empty());
    outcome = surname_listing::List(dirs, {3}, astor, {});
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_EQ(boxes.Shown().size(), 1u);

    testing_support::WriteFileBytes(data.File(disk_format::kMarkerFileName), "");
    boxes.Clear();
    outcome = surname_listing::List(dirs, surname_listing::EveryDatabase(), astor, {true, true});
    EXPECT_FALSE(outcome.error.Failed());
    EXPECT_EQ(outcome.skipped.size(), 12u);
    ASSERT_EQ(outcome.matches[0].size(), 1u);
    EXPECT_EQ(outcome.matches[0][0].code, 3);
    EXPECT_EQ(outcome.matches[0][0].count, 1);
    EXPECT_TRUE(boxes.Shown().empty());

    outcome = surname_listing::List(dirs, {1, 3}, astor, {false, false});
    EXPECT_EQ(outcome.error.kind, StoreErrorKind::IndexMissing);
    EXPECT_TRUE(boxes.Shown().empty());
    outcome = surname_listing::List(dirs, {1, 3}, astor, {});
    EXPECT_EQ(outcome.error.kind, StoreErrorKind::IndexMissing);
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::string>{"The index file congen.tre is missing from the data disk."});
}
