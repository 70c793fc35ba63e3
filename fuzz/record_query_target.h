#pragma once
// Fuzz target of the record query: arbitrary query text, field choice and
// years parsed, then matched against a person made of arbitrary fields.
//
// Input: the query text (a Blob), the --field text (a Text of up to 40
// bytes), the --years text (a Text of up to 12 bytes), the surname, the
// given names, then up to six record fields (each a Blob).
//
// Promises checked: no crash or out-of-bounds access (sanitizers); a parse
// gives a query or a fault in words, never both; every term of a query has
// words of A-Z and 0-9 alone; parsing again gives the same query; a query
// that matches says where, in the fields searched only, at word positions
// the fields have; the same query with one of its matching terms also
// excluded matches nobody; a snippet of a hit holds the field's words; OR
// joins ways into one term; widened by the abbreviations a query keeps its
// ways and only adds (or is refused whole), and a person it matched
// without them (no term excluded) it matches with them; the facets of one
// person count each year and each value once.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "browse/abbreviations/abbreviated_query.h"
#include "browse/facets/facet_counts.h"
#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_matcher.h"
#include "browse/record_query/record_query.h"
#include "browse/record_query/record_words.h"
#include "browse/record_search/match_snippet.h"
#include "fuzz/fuzz_support.h"

namespace fuzz_targets {

inline int RunRecordQuery(const std::uint8_t* data, std::size_t size, const std::string& /*folder*/) {
    using namespace fuzz_support;
    ByteReader input(data, size);
    const std::string text = input.Blob();
    const std::string field = input.Text(40);
    const std::string yearsText = input.Text(12);
    const std::string surname = input.Text(30);
    const std::string given = input.Text(60);
    std::vector<std::string> fields;
    for (int k = 0; k < 6; ++k) fields.push_back(input.Blob());

    record_query::YearRange years;
    std::string error;
    if (!yearsText.empty() && !record_query::ParseYears(yearsText, years, error)) {
        Check(!error.empty() && !years.given, "a refused year range without its fault");
    }
    const record_query::Parsed parsed = record_query::Parse(text, years);
    Check(parsed.ok == parsed.error.empty(), "a parse gave both a query and a fault, or neither");
    if (!parsed.ok) return 0;
    Check(parsed.query.HasPositive(), "a query with nothing to look for was taken");
    for (const record_query::Term& term : parsed.query.terms) {
        Check(!term.alternatives.empty(), "a term without a way to match");
        for (const record_query::Phrase& phrase : term.alternatives) {
            Check(!phrase.words.empty(), "a term without words");
            for (const std::string& word : phrase.words) {
                Check(!word.empty(), "an empty word");
                for (char c : word)
                    Check((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'), "a word of other characters");
            }
        }
    }
    const record_query::Parsed again = record_query::Parse(text, years);
    Check(again.ok && again.query.terms.size() == parsed.query.terms.size(), "two parses of one text differ");
    // Widened by the abbreviations, a query keeps every way it had (first,
    // in order) and only adds; or it is refused whole, as it was.
    record_query::Query widened = parsed.query;
    std::string why;
    if (abbreviations::Widen(widened, why)) {
        Check(widened.terms.size() == parsed.query.terms.size(), "widening changed the terms");
        for (std::size_t t = 0; t < widened.terms.size(); ++t) {
            const auto& before = parsed.query.terms[t].alternatives;
            const auto& after = widened.terms[t].alternatives;
            Check(after.size() >= before.size() && after.size() <= abbreviations::kMaxWays,
                  "widening lost a way or passed the bound");
            Check(after.front() == before.front(), "widening changed the first way");
        }
    } else {
        Check(!why.empty(), "a refused widening without its fault");
    }

    // One person's facets: each year and each value counted once, years in
    // their range, values trimmed and told apart by their folded keys.
    facets::CYearTally years1;
    facets::CValueTally values1;
    for (const std::string& one : fields) {
        years1.NoteText(one);
        values1.NoteText(one);
    }
    years1.EndPerson();
    values1.EndPerson();
    for (const facets::YearCount& one : years1.Result())
        Check(one.count == 1 && one.year >= facets::kFirstYear && one.year <= facets::kLastYear,
              "a year counted twice for one person, or out of range");
    std::vector<std::string> keys;
    for (const facets::ValueCount& one : values1.Result()) {
        Check(one.count == 1 && !one.value.empty() && facets::TrimmedValue(one.value) == one.value,
              "a value counted twice for one person, blank or untrimmed");
        keys.push_back(facets::FoldedValue(one.value));
        Check(facets::FoldedValue(keys.back()) == keys.back(), "folding a folded value changed it");
    }
    std::sort(keys.begin(), keys.end());
    Check(std::adjacent_find(keys.begin(), keys.end()) == keys.end(), "two values of one key");

    record_fields::FieldChoice choice;
    if (!field.empty() && !record_fields::ParseFieldChoice(field, choice, error))
        choice = record_fields::FieldChoice{};
    const int code = 2 + static_cast<int>(static_cast<unsigned char>(field.empty() ? 0 : field[0]) % 13);
    const record_fields::FieldSet set = record_fields::FieldSetOf(code, choice);
    const CRecordMatcher matcher(parsed.query, set);
    const PersonText person{surname, given, &fields};
    std::vector<FieldHit> hits;
    const bool matched = matcher.Matches(person, &hits);
    // Abbreviations only widen: a person matched without them is matched with them.
    bool excludes = false;
    for (const record_query::Term& term : parsed.query.terms) excludes = excludes || term.excluded;
    if (matched && !excludes)
        Check(CRecordMatcher(widened, set).Matches(person), "abbreviations lost a person");
    if (!matched) return 0;
    for (const FieldHit& hit : hits) {
        Check(set.Has(hit.slot), "a hit in a field not searched");
        const std::string& slotText =
            hit.slot == 0 ? surname
                          : (hit.slot == 1 ? given : fields.at(static_cast<std::size_t>(hit.slot - 2)));
        const std::size_t words = record_words::WordsOf(slotText).size();
        for (int position : hit.positions)
            Check(position >= 0 && static_cast<std::size_t>(position) < words,
                  "a hit past the field's words");
        const std::string snippet = match_snippet::Build(slotText, hit.positions);
        Check(snippet.find('[') != std::string::npos || hit.positions.empty(), "a snippet without its marks");
    }
    // Excluding a term that matched leaves nobody.
    for (const record_query::Term& term : parsed.query.terms) {
        if (term.excluded) continue;
        record_query::Query excluded = parsed.query;
        excluded.terms.push_back(term);
        excluded.terms.back().excluded = true;
        Check(!CRecordMatcher(excluded, set).Matches(person),
              "a term matched and was excluded, yet the person matched");
        break;
    }
    return 0;
}

}  // namespace fuzz_targets
