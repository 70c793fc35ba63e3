// The people of a record search put in order by database, surname or given
// names, either way, from an index and from a scan alike: the same people,
// in that order, ties in the order found; a new query is in the order found.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "browse/record_search/record_search.h"
#include "fuzz/word_index_target.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "support/test_support.h"

namespace {

void WriteDatabase(int code, const std::string& dir, const std::vector<PersonRecord>& people) {
    CDatabaseWriter writer(code);
    std::string error;
    for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
    ASSERT_TRUE(writer.Write(dir, 0, &error)) << error;
}

std::string Upper(std::string text) {
    for (char& c : text) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

struct Found {
    int code = 0;
    std::int32_t entry = 0;
    std::string surname;
    std::string given;
    bool operator==(const Found& other) const { return code == other.code && entry == other.entry; }
};

std::vector<Found> People(CRecordSearch& search) {
    std::vector<Found> people;
    for (std::int64_t i = 0; i < search.Count(); ++i) {
        RecordHit person;
        EXPECT_FALSE(search.Person(i, person).Failed());
        people.push_back({person.code, person.entry, Upper(person.surname), Upper(person.givenNames)});
    }
    return people;
}

TEST(RecordOrder, PeopleInTheOrderOfAColumnEitherWayTiesAsFound) {
    testing_support::TempDir data;
    testing_support::TempDir cache;
    testing_support::WriteFileBytes(data.File("chronaradb.id"), "");
    // ww2_kor: generated people; v_mem: names that tie with them and differ only in case.
    WriteDatabase(11, data.Path(), fuzz_targets::WordIndexPeople(300));
    WriteDatabase(12, data.Path(),
                  {{"Smith", "ann", {"", "", "", "7th Infantry", "Erie", "Ohio"}},
                   {"SMITH", "Ann", {"", "", "", "7th Infantry", "Erie", "Ohio"}},
                   {"Aaron", "Zed", {"", "", "", "Infantry", "Erie", "Ohio"}},
                   {"Zuber", "Abe", {"", "", "", "Infantry", "Erie", "Ohio"}}});
    CDirectories dirs;
    dirs.SetDataDir(data.Path().c_str());
    const std::vector<int> codes = {11, 12};
    for (const std::string& folder : {cache.Path() + "/chronara/", std::string()}) {
        CRecordSearch search(dirs, folder);
        RecordSearchRequest request;
        request.query = record_query::Parse("infantry", {}).query;
        request.codes = codes;
        ASSERT_EQ(search.Run(request).status, FindStatus::Done);
        const std::vector<Found> found = People(search);
        ASSERT_GT(found.size(), 100U);
        auto place = [&codes](const Found& person) {
            return std::find(codes.begin(), codes.end(), person.code) - codes.begin();
        };
        const struct {
            PeopleOrder by;
            bool descending;
        } orders[] = {{PeopleOrder::Database, false},   {PeopleOrder::Database, true},
                      {PeopleOrder::Surname, false},    {PeopleOrder::Surname, true},
                      {PeopleOrder::GivenNames, false}, {PeopleOrder::GivenNames, true}};
        for (const auto& order : orders) {
            ASSERT_EQ(search.Sort({order.by, order.descending}).status, FindStatus::Done);
            std::vector<Found> expected = found;
            std::stable_sort(expected.begin(), expected.end(), [&](const Found& a, const Found& b) {
                auto key = [&](const Found& p) {
                    return order.by == PeopleOrder::Database
                               ? std::make_tuple(place(p), std::string(), std::string())
                           : order.by == PeopleOrder::Surname
                               ? std::make_tuple(std::ptrdiff_t{0}, p.surname, p.given)
                               : std::make_tuple(std::ptrdiff_t{0}, p.given, p.surname);
                };
                return order.descending ? key(b) < key(a) : key(a) < key(b);
            });
            EXPECT_EQ(People(search), expected) << static_cast<int>(order.by) << " " << order.descending;
        }
        // A new query comes in the order found.
        ASSERT_EQ(search.Run(request).status, FindStatus::Done);
        EXPECT_EQ(People(search), found);
        ASSERT_EQ(search.Sort({PeopleOrder::Found, false}).status, FindStatus::Done);
        EXPECT_EQ(People(search), found);
    }
}

}  // namespace
