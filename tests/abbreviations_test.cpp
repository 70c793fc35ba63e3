// Matching abbreviations: the table compiled in, its faults refused, the
// forms records write matched both ways, and the forms left out because
// they are ordinary words or another name's form.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "browse/abbreviations/abbreviated_query.h"
#include "browse/abbreviations/abbreviation_table.h"
#include "browse/names/given_name_table.h"
#include "browse/record_query/record_matcher.h"

namespace {

bool Matches(const char* query, const char* field, bool abbreviations) {
    record_query::Parsed parsed = record_query::Parse(query);
    EXPECT_TRUE(parsed.ok) << query << ": " << parsed.error;
    std::string error;
    if (abbreviations) {
        EXPECT_TRUE(abbreviations::Widen(parsed.query, error)) << query << ": " << error;
    }
    const std::vector<std::string> fields = {field};
    return CRecordMatcher(parsed.query, record_fields::FieldSet::All())
        .Matches(PersonText{"SMITH", "John", &fields});
}

TEST(Abbreviations, FormsMatchBothWaysAndAmbiguousOnesAreLeftOut) {
    const struct {
        const char* query;
        const char* field;
        bool matches;
    } cases[] = {
        {"pennsylvania", "Philadelphia, Pa.", true},
        {"Pa.", "Pennsylvania Volunteers", true},
        {"penna", "Co. A, 5th PA", true},
        {"penn", "Penna. Cav.", true},
        {"january", "Jan. 5, 1863", true},
        {"jan", "January 5, 1863", true},
        {"lieutenant", "Lt. Col.", true},
        {"lt", "Lieutenant", true},
        {"lieut", "Lt.", true},
        {"sgt", "Sergeant", true},
        {"\"new york\"", "N.Y. Volunteers", true},
        {"N.Y.", "New York", true},
        {"ny", "New York Volunteers", true},
        {"\"lieutenant colonel\"", "Lt. Col., 20th Maine", true},
        {"ltc", "Lieutenant Colonel", true},
        {"pfc", "Private First Class", true},
        {"\"5th pa cavalry\"", "5th Penna. Cavalry", true},
        {"pa OR ohio", "Penna.", true},
        {"maine -pa", "Maine, Pennsylvania", false},
        {"\"20th pa*\"", "20th Pennsylvania", false},  // the prefix itself is not widened
        {"york", "N.Y.", false},                       // one word of a name of two is not the name
        // Left out: ordinary words, and forms of another name.
        {"indiana", "died in action", false},
        {"in", "Indiana", false},
        {"oregon", "this or that", false},
        {"maine", "tell me", false},
        {"hawaii", "hi", false},
        {"oklahoma", "ok", false},
        {"ohio", "oh", false},
        {"march", "Mar. 3, 1865", false},
        {"mar", "Maria", false},
        {"august", "Aug. Smith", false},
        {"june", "John Smith, Jun.", false},
        {"california", "Cal. Smith", false},
        {"colorado", "Col. Smith", false},
        {"mississippi", "Miss Smith", false},
        {"illinois", "ill", false},
        {"washington", "wash", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Matches(c.query, c.field, true), c.matches) << c.query << " in " << c.field;
        // Without abbreviations a form finds only itself.
        if (c.matches) {
            EXPECT_FALSE(Matches(c.query, c.field, false)) << c.query << " in " << c.field;
        }
    }
    // A phrase of many abbreviated words is refused, not cut short.
    record_query::Parsed many = record_query::Parse("\"lt lt lt lt\"");
    std::string error;
    EXPECT_FALSE(abbreviations::Widen(many.query, error));
    EXPECT_NE(error.find("more than 64"), std::string::npos) << error;
    EXPECT_EQ(many.query.terms[0].alternatives.size(), 1u);
    // The ways a query wrote stay first and whole, a way written twice
    // included; widening only adds after them.
    record_query::Parsed twice = record_query::Parse("pa OR pa OR maine");
    const auto written = twice.query.terms[0].alternatives;
    ASSERT_TRUE(abbreviations::Widen(twice.query, error)) << error;
    const auto& ways = twice.query.terms[0].alternatives;
    ASSERT_GT(ways.size(), written.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), ways.begin()));
}

TEST(Abbreviations, TableIsSoundAndFaultsAreRefused) {
    const CAbbreviationTable& table = CAbbreviationTable::Builtin();
    ASSERT_GT(table.Groups().size(), 70u);
    // No abbreviation is a given name or a given name's form: Aug. is
    // Augustus as well as August, Cal. is Calvin.
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    for (const CAbbreviationTable::Group& group : table.Groups()) {
        for (std::size_t i = 1; i < group.forms.size(); ++i) {
            const CAbbreviationTable::Form& form = group.forms[i];
            if (form.size() == 1) {
                EXPECT_EQ(names.VariantsOf(form[0]).size(), 1u) << group.name << ": " << form[0];
            }
        }
    }
    // The ambiguous forms the README names are in no group.
    for (const char* word : {"IN",  "OR",  "ME",   "OK",   "HI",  "OH",   "ID",   "AS",   "MA",   "MS", "MAR",
                             "AUG", "JUN", "CAL",  "MISS", "ILL", "WASH", "ORE",  "ARK",  "MASS", "CO", "CA",
                             "DE",  "MT",  "MICH", "FL",   "MI",  "CAP",  "CHAP", "SPEC", "BRIG", "VI"}) {
        std::vector<CAbbreviationTable::Found> found;
        table.FormsAt({word}, 0, 1, found);
        EXPECT_TRUE(found.empty()) << word;
    }
    const struct {
        const char* text;
        const char* fault;
    } bad[] = {
        {"Alpha | A.\nBeta | a", "stands for both"},
        {"Alpha", "no form beside"},
        {"Alpha | A!", "holds '!'"},
        {"Alpha | . | A", "no letter"},
    };
    for (const auto& c : bad) {
        CAbbreviationTable parsed;
        std::string why;
        EXPECT_FALSE(parsed.Parse(c.text, &why)) << c.text;
        EXPECT_NE(why.find(c.fault), std::string::npos) << c.text << ": " << why;
    }
}

}  // namespace
