// Facets of a record search on a crafted disk: the people found by
// database (in the order searched, those with nobody left out), by year (a
// person once for each distinct year, only 1000 to 2099, of the fields
// searched or of one field) and by the values of a field (trimmed, folded,
// shown as first met, blank fields not counted, several joined fields of a
// person counted once); the same from the word index as from the records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/record_search/record_search.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using facets::ValueCount;
using facets::YearCount;

void WriteDatabase(int code, const std::string& dir, const std::vector<PersonRecord>& people) {
    CDatabaseWriter writer(code);
    std::string error;
    for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
    ASSERT_TRUE(writer.Write(dir, 0, &error)) << error;
}

class Facets : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(data.File("chronaradb.id"), "");
        // ww2_kor: Middle Initial, Inducted From, Rank, Combat Org, Date of Death, Monument, Status.
        WriteDatabase(
            11, data.Path(),
            {{"Smith",
              "John",
              {"A", "Pennsylvania", "Private", "7th Infantry", "6 June 1944, reburied 1944 and 1948",
               "Margraten", "KIA"}},
             {"Smith", "James", {"", " pennsylvania ", "PRIVATE", "7th Infantry", "1944", "", "KIA"}},
             {"Jones", "Paul", {"", "Pa.", "Sergeant", "7th Infantry 1945", "1950", "", "MIA"}},
             {"Brown", "Carl", {"", "", "  ", "7th Infantry", "0999 and 2100 and 1000", "", "KIA"}},
             {"Green",
              "Ed",
              {"",
               "Stra\xDF"
               "e",
               "Private", "7th Infantry", "1944", "", "KIA"}},
             {"White", "Al", {"", "STRASSE", "Private", "7th Infantry", "", "", "KIA"}},
             {"Black", "Bob", {"", "Ohio", "", "8th Infantry", "1944", "", "KIA"}}});
        // v_mem: Middle Name (three joined fields), Organization, City, State.
        WriteDatabase(12, data.Path(),
                      {{"Smith", "Ann", {"Lee", "Lee", "", "7th Infantry", "Erie", "Pennsylvania"}},
                       {"Smith", "Bo", {"", "", "", "7th Infantry 1944", "Erie", "Ohio"}}});
        // w1812: nobody is found there.
        WriteDatabase(8, data.Path(), {{"Adams", "Abel", {"B", "Co. A", "1st Regiment"}}});
        dirs.SetDataDir(data.Path().c_str());
    }

    // The facets of a query over every database, from the index (indexed)
    // or the records; the outcome's status.
    FindStatus Count(bool indexed, const char* text, const char* years, const facets::FacetRequest& request,
                     facets::FacetCounts& counts) {
        CRecordSearch search(dirs, indexed ? cache.Path() + "/chronara/" : std::string());
        RecordSearchRequest find;
        record_query::YearRange range;
        std::string error;
        if (years != nullptr) record_query::ParseYears(years, range, error);
        find.query = record_query::Parse(text, range).query;
        find.codes = {8, 11, 12};
        if (search.Run(find).status != FindStatus::Done) return FindStatus::Failed;
        return search.Facets(request, counts).status;
    }

    TempDir data;
    TempDir cache;
    CDirectories dirs;
};

facets::FacetRequest Years(const char* field = nullptr) {
    facets::FacetRequest request;
    request.years = true;
    std::string error;
    if (field != nullptr) {
        request.yearsOfField = true;
        record_fields::ParseFieldChoice(field, request.yearsField, error);
    }
    return request;
}

facets::FacetRequest Values(const char* field) {
    facets::FacetRequest request;
    request.values = true;
    std::string error;
    record_fields::ParseFieldChoice(field, request.valuesField, error);
    return request;
}

TEST_F(Facets, DatabasesYearsAndValuesFromTheIndexAndFromTheRecords) {
    const struct {
        const char* text;
        const char* years;
        facets::FacetRequest request;
        std::vector<YearCount> yearCounts;
        std::vector<ValueCount> valueCounts;
    } cases[] = {
        // Every field searched: 1944 twice in a record is one; 0999 and 2100 are no years.
        {"infantry", nullptr, Years(), {{1000, 1}, {1944, 5}, {1945, 1}, {1948, 1}, {1950, 1}}, {}},
        // One field's years; a database without it adds none.
        {"infantry", nullptr, Years("date of death"), {{1000, 1}, {1944, 4}, {1948, 1}, {1950, 1}}, {}},
        // Years alone are a query: the coverage.
        {"", "1000-2099", Years(), {{1000, 1}, {1944, 5}, {1945, 1}, {1948, 1}, {1950, 1}}, {}},
        {"", "1945-1950", Years("5"), {{1944, 1}, {1948, 1}, {1950, 1}}, {}},
        // Trimmed and folded, shown as first met; blank fields not counted; most first, then by value.
        {"7th",
         nullptr,
         Values("Inducted From"),
         {},
         {{"Pennsylvania", 2},
          {"Stra\xDF"
           "e",
           2},
          {"Pa.", 1}}},
        {"infantry", nullptr, Values("rank"), {}, {{"Private", 4}, {"Sergeant", 1}}},
        // Joined fields of one person: a value once.
        {"infantry", nullptr, Values("middle name"), {}, {{"Lee", 1}}},
        {"infantry", nullptr, Values("state"), {}, {{"Ohio", 1}, {"Pennsylvania", 1}}},
        {"nobody", nullptr, Values("rank"), {}, {}},
    };
    for (bool indexed : {false, true}) {
        for (const auto& c : cases) {
            facets::FacetCounts counts;
            ASSERT_EQ(Count(indexed, c.text, c.years, c.request, counts), FindStatus::Done) << c.text;
            EXPECT_EQ(counts.years, c.yearCounts) << c.text << (indexed ? " indexed" : " read");
            EXPECT_EQ(counts.values, c.valueCounts) << c.text << (indexed ? " indexed" : " read");
        }
        // The databases, in the order searched; w1812 found nobody.
        facets::FacetRequest all = Values("Inducted From");
        all.databases = true;
        all.years = true;
        facets::FacetCounts counts;
        ASSERT_EQ(Count(indexed, "infantry", nullptr, all, counts), FindStatus::Done);
        ASSERT_EQ(counts.databases.size(), 2u);
        EXPECT_EQ(counts.databases[0].code, 11);
        EXPECT_EQ(counts.databases[0].count, 7);
        EXPECT_EQ(counts.databases[1].code, 12);
        EXPECT_EQ(counts.databases[1].count, 2);
        EXPECT_EQ(counts.years.size(), 5u);
        EXPECT_EQ(counts.values.size(), 4u);
        // A heading no database searched has is a usage error.
        EXPECT_EQ(Count(indexed, "infantry", nullptr, Values("camp name"), counts), FindStatus::UsageError);
        EXPECT_EQ(Count(indexed, "infantry", nullptr, Years("camp name"), counts), FindStatus::UsageError);
    }
}

}  // namespace
