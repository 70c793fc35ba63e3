// The record search's rules: the words of a text, the query language and
// its usage errors, and the exact test of one person (fields by heading,
// number and join; phrases that would cross fields; prefixes; exclusion;
// years).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_matcher.h"
#include "browse/record_query/record_query.h"
#include "browse/record_query/record_words.h"
#include "browse/record_search/match_snippet.h"

namespace {

using Words = std::vector<std::string>;

TEST(RecordWords, FoldAndSeparate) {
    const struct {
        const char* text;
        Words words;
    } cases[] = {
        {"O'Brien", {"O", "BRIEN"}},
        {"Saint-L\xF4", {"SAINT", "LO"}},
        {"20th Maine", {"20TH", "MAINE"}},
        {"1701-1702", {"1701", "1702"}},
        {"Stra\xDF"
         "e \xC6gir \x8C"
         "uvre \xDE\xF3r",
         {"STRASSE", "AEGIR", "OEUVRE", "THOR"}},
        {"M\xFCller/\xC9mile, caf\xE9!", {"MULLER", "EMILE", "CAFE"}},
        {"a\xD7"
         "b\xF7"
         "c \xAA\xBA",
         {"A", "B", "C"}},  // multiplication, division, ordinals separate
        {"  ", {}},
        {"\xFF\x0A", {"Y"}},  // y with diaeresis is a letter; the line feed is not
    };
    for (const auto& c : cases) EXPECT_EQ(record_words::WordsOf(c.text), c.words) << c.text;
}

// A query as one line: terms joined by " & ", the ways of a term by " | ",
// an excluded term after "-", a prefix ending in "*".
std::string Shown(const record_query::Query& query) {
    std::string text;
    for (const record_query::Term& term : query.terms) {
        text += text.empty() ? "" : " & ";
        if (term.excluded) text += "-";
        for (std::size_t i = 0; i < term.alternatives.size(); ++i) {
            text += i == 0 ? "" : " | ";
            const record_query::Phrase& phrase = term.alternatives[i];
            for (std::size_t j = 0; j < phrase.words.size(); ++j)
                text += (j == 0 ? "" : " ") + phrase.words[j];
            if (phrase.prefix) text += "*";
        }
    }
    return text;
}

TEST(RecordQuery, ParsesTermsAndRefusesFaults) {
    const struct {
        const char* text;
        const char* query;
    } good[] = {
        {"maine", "MAINE"},
        {"  \"20th Maine\"  mukd*", "20TH MAINE & MUKD*"},
        {"O'Brien -\"Saint-L\xF4\"", "O BRIEN & -SAINT LO"},
        {"\"camp o*\" -x*", "CAMP O* & -X*"},
        {"a\"b c\"d", "AB CD"},
        {"a --1944", "A & -1944"},
        // OR joins the terms on each side into one, phrases and prefixes too.
        {"maine OR ohio", "MAINE | OHIO"},
        {"\"20th maine\" OR mukd* OR x korea", "20TH MAINE | MUKD* | X & KOREA"},
        {"korea -x a OR b", "KOREA & -X & A | B"},
        {"\"OR\" or Or OR* -OR", "OR & OR & OR & OR* & -OR"},  // only OR alone joins
        {"a OR \"OR\"", "A | OR"},
    };
    for (const auto& c : good) {
        const record_query::Parsed parsed = record_query::Parse(c.text);
        ASSERT_TRUE(parsed.ok) << c.text << ": " << parsed.error;
        EXPECT_EQ(Shown(parsed.query), c.query) << c.text;
    }
    const struct {
        const char* text;
        const char* fault;
    } bad[] = {
        {"\"20th Maine", "quote"},
        {"a\"b", "quote"},
        {"mu*kden", "only end"},
        {"*den", "only end"},
        {"maine-*", "only end"},
        {"**", "no letter"},
        {"*", "no letter"},
        {"-", "no letter"},
        {"!!", "no letter"},
        {"maine !!", "no letter"},
        {"\"\"", "empty"},
        {"", "empty"},
        {"   ", "empty"},
        {"-maine", "only excludes"},
        {"-a -\"b c\"", "only excludes"},
        {"OR maine", "begins with OR"},
        {"maine OR", "ends with OR"},
        {"maine OR OR ohio", "two ORs"},
        {"OR", "begins with OR"},
        {"-maine OR ohio", "excluded term cannot"},
        {"maine OR -ohio", "excluded term cannot"},
        {"maine OR !!", "no letter"},
    };
    for (const auto& c : bad) {
        const record_query::Parsed parsed = record_query::Parse(c.text);
        EXPECT_FALSE(parsed.ok) << c.text;
        EXPECT_NE(parsed.error.find(c.fault), std::string::npos) << c.text << ": " << parsed.error;
    }
    // Years alone are a query; an exclusion with years too.
    record_query::YearRange years;
    std::string error;
    ASSERT_TRUE(record_query::ParseYears("1944", years, error));
    EXPECT_TRUE(record_query::Parse("", years).ok);
    EXPECT_TRUE(record_query::Parse("-korea", years).ok);
    ASSERT_TRUE(record_query::ParseYears("1941-1945", years, error));
    EXPECT_EQ(years.from, 1941);
    EXPECT_EQ(years.to, 1945);
    for (const char* wrong : {"1945-1941", "19441", "x", "-1944", "1944-", ""}) {
        EXPECT_FALSE(record_query::ParseYears(wrong, years, error)) << wrong;
    }
}

TEST(RecordFields, ChoicesByHeadingNumberAndJoin) {
    using record_fields::FieldChoice;
    const struct {
        int code;
        const char* field;
        std::vector<int> slots;  // the slots searched among 0..25
    } cases[] = {
        {2, "Rank and Organization", {2}},
        {2, "rank-and-organization:", {2}},
        {1, "War service:", {5}},
        {10, "camp name", {12}},
        {12, "middle name", {2, 3, 4}},  // two joined fields
        {9, "References", {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {14, "Microfilm Reference", {8, 9, 10}},
        {3, "survived", {2}},
        {5, "born", {9}},
        {2, "3", {4}},
        {2, "field 3", {4}},
        {2, "surname", {0}},
        {2, "Given names", {1}},
        {2, "given", {1}},
        {2, "unit", {}},  // the heading of another database
        {9, "field 20", {21}},
    };
    for (const auto& c : cases) {
        FieldChoice choice;
        std::string error;
        ASSERT_TRUE(record_fields::ParseFieldChoice(c.field, choice, error)) << c.field << ": " << error;
        const record_fields::FieldSet set = record_fields::FieldSetOf(c.code, choice);
        std::vector<int> slots;
        for (int slot = 0; slot < 26; ++slot) {
            if (set.Has(slot)) slots.push_back(slot);
        }
        EXPECT_EQ(slots, c.slots) << c.code << " " << c.field;
    }
    FieldChoice choice;
    std::string error;
    for (const char* wrong : {"0", "5001", "::", ""}) {
        EXPECT_FALSE(record_fields::ParseFieldChoice(wrong, choice, error)) << wrong;
    }
    // Labels: the heading a joined field belongs to, else the number.
    EXPECT_EQ(record_fields::LabelOfSlot(12, 4).heading, "Middle Name");
    EXPECT_EQ(record_fields::LabelOfSlot(3, 5).number, 4);
    EXPECT_EQ(record_fields::LabelOfSlot(9, 18).number, 17);  // past the roll's end mark
    EXPECT_EQ(record_fields::LabelOfSlot(2, 0).heading, "surname");
}

TEST(RecordMatcher, MatchesWordPhrasePrefixExclusionAndYears) {
    const std::vector<std::string> fields = {"Colonel, 20th Maine", "Infantry, 1863-1864", "Gettysburg, Pa.",
                                             "O'Brien Saint-L\xF4"};
    const PersonText person{"CHAMBERLAIN", "Joshua L.", &fields};
    const struct {
        const char* text;
        const char* field;  // null: any
        const char* years;  // null: none
        bool matches;
        std::vector<FieldHit> hits;
    } cases[] = {
        {"maine", nullptr, nullptr, true, {{2, {2}}}},
        {"MAINE colonel", nullptr, nullptr, true, {{2, {0, 2}}}},
        {"\"20th maine\"", nullptr, nullptr, true, {{2, {1, 2}}}},
        {"\"maine infantry\"", nullptr, nullptr, false, {}},  // would cross fields
        {"\"maine infantry\"", "Rank and Organization", nullptr, false, {}},
        {"\"20th mai*\"", nullptr, nullptr, true, {{2, {1, 2}}}},
        {"gett*", nullptr, nullptr, true, {{4, {0}}}},
        {"gettysburgs*", nullptr, nullptr, false, {}},
        {"o'brien", nullptr, nullptr, true, {{5, {0, 1}}}},
        {"saint-lo", nullptr, nullptr, true, {{5, {2, 3}}}},
        {"brien o", nullptr, nullptr, true, {{5, {0, 1}}}},
        {"\"brien o\"", nullptr, nullptr, false, {}},
        {"maine -colonel", nullptr, nullptr, false, {}},
        {"maine -\"colonel maine\"", nullptr, nullptr, true, {{2, {2}}}},
        {"infantry -colonel", "2", nullptr, true, {{3, {0}}}},  // colonel is in another field
        {"joshua", nullptr, nullptr, true, {{1, {0}}}},
        {"joshua", "surname", nullptr, false, {}},
        {"chamberlain", "surname", nullptr, true, {{0, {0}}}},
        {"", nullptr, "1863", true, {{3, {1}}}},
        {"", nullptr, "1700-1800", false, {}},
        {"maine", nullptr, "1864-1900", true, {{2, {2}}, {3, {2}}}},
        {"", "1", "1863", false, {}},
        {"infantry", "2", "1864", true, {{3, {0, 2}}}},
        // Either way of an OR matches, and each way that matched is shown.
        {"mukden OR maine", nullptr, nullptr, true, {{2, {2}}}},
        {"\"20th maine\" OR gett* OR nobody", nullptr, nullptr, true, {{2, {1, 2}}, {4, {0}}}},
        {"\"maine infantry\" OR mukden", nullptr, nullptr, false, {}},
        {"colonel -mukden -\"20th maine\"", nullptr, nullptr, false, {}},
        {"maine OR infantry", "2", nullptr, true, {{3, {0}}}},
    };
    for (const auto& c : cases) {
        record_query::YearRange years;
        std::string error;
        if (c.years != nullptr) {
            ASSERT_TRUE(record_query::ParseYears(c.years, years, error));
        }
        const record_query::Parsed parsed = record_query::Parse(c.text, years);
        ASSERT_TRUE(parsed.ok) << c.text;
        record_fields::FieldChoice choice;
        if (c.field != nullptr) {
            ASSERT_TRUE(record_fields::ParseFieldChoice(c.field, choice, error));
        }
        const CRecordMatcher matcher(parsed.query, record_fields::FieldSetOf(2, choice));
        std::vector<FieldHit> hits;
        const bool matched = matcher.Matches(person, &hits);
        EXPECT_EQ(matched, c.matches) << c.text;
        if (!matched || c.hits.empty() || c.hits[0].positions.empty()) continue;
        ASSERT_EQ(hits.size(), c.hits.size()) << c.text;
        for (std::size_t i = 0; i < hits.size(); ++i) {
            EXPECT_EQ(hits[i].slot, c.hits[i].slot) << c.text;
            EXPECT_EQ(hits[i].positions, c.hits[i].positions) << c.text;
        }
    }
    EXPECT_EQ(match_snippet::Build("Colonel, 20th Maine Infantry", {1, 2}),
              "Colonel, [20th] [Maine] Infantry");
    match_snippet::Options near;
    near.context = 1;
    EXPECT_EQ(match_snippet::Build("a b c d e f", {3}, near), "...c [d] e...");
}

}  // namespace
