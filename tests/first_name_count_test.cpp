// Find Surname's count of the people a first-name filter keeps: for each
// typed first name, with name variants and without, the count of each
// surname listed is what the search of that surname with the filter finds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/names/surname_listing.h"
#include "browse/session/first_name_count.h"
#include "browse/session/search_session.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "support/test_support.h"

namespace {

constexpr int kCode = 11;

TEST(FirstNameCount, EachSurnameCountsWhatItsSearchWithTheFilterFinds) {
    testing_support::TempDir data;
    testing_support::TempDir install;
    testing_support::WriteFileBytes(data.File("chronaradb.id"), "");
    CDatabaseWriter writer(kCode);
    std::string error;
    const char* const given[] = {"John", "john Henry", "Johnny", "Jon", "William",
                                 "Bill", "W.",         "",       "J",   "Wm. H"};
    for (const char* surname : {"Smith", "Smithers", "Jones"}) {
        for (const char* name : given) {
            ASSERT_TRUE(writer.Add({surname, name, {"", "", "Private", "", "", "", ""}}, &error)) << error;
        }
    }
    ASSERT_TRUE(writer.Add({"Smith", "Joshua", {"", "", "Private", "", "", "", ""}}, &error)) << error;
    ASSERT_TRUE(writer.Write(data.Path(), 0, &error)) << error;
    CDirectories dirs;
    dirs.SetDataDir(data.Path().c_str());
    dirs.SetInstallDir((install.Path() + "/").c_str());

    const ListingOutcome listed =
        surname_listing::List(dirs, {kCode}, {CSurnameMatcher(MatchMode::Prefix, "SMITH")}, {});
    ASSERT_EQ(listed.matches.front().size(), 2U);
    for (const char* first : {"JOHN", "JO", "JOSH", "W", "BILL", "WILLIAM", "X", "J"}) {
        for (const bool variants : {false, true}) {
            std::vector<std::int32_t> kept;
            ASSERT_FALSE(
                first_name_count::Count(dirs, listed.matches.front(), first, variants, kept).Failed());
            ASSERT_EQ(kept.size(), listed.matches.front().size());
            for (std::size_t m = 0; m < kept.size(); ++m) {
                CSearchSession session(dirs);
                session.SetNameVariants(variants);
                const SearchOutcome found =
                    session.SearchCode(kCode, listed.matches.front()[m].surname.c_str(), first);
                const std::int32_t searched = found.status == SearchStatus::Found ? session.RecordCount() : 0;
                EXPECT_EQ(kept[m], searched)
                    << first << " " << variants << " " << listed.matches.front()[m].surname;
            }
        }
    }
}

}  // namespace
