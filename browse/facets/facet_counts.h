#pragma once
// Facets of a record search: how the people found fall, counted three ways
// for one query, so that a program can show them beside the people and
// narrow by a click:
//
//   databases  the people found in each database, in the order searched,
//              a database with nobody left out;
//   years      for every year of the fields searched (or of one field): the
//              people who hold it, a person counted once for each distinct
//              year they hold; a year is a four-digit word by the word rule
//              (browse/record_query/record_words.h) from kFirstYear to kLastYear;
//   values     for one field: the people who hold each value, a value being
//              the field's text without leading and trailing blanks, its
//              letters compared as the word rule folds them (Pa. and PA.
//              are one value, Pa and Pa. are two), shown as first met in
//              entry order; blank fields are not counted; most people first,
//              then by value.
//
// The record search (browse/record_search/record_search.h, CRecordSearch::Facets) feeds
// each person's years and values to the tallies here, from its word index
// or from the records themselves; the counting and the orders are kept
// here, in one place.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "browse/record_query/record_fields.h"

namespace facets {

inline constexpr int kFirstYear = 1000;
inline constexpr int kLastYear = 2099;

// What to count for one query; any of the three, together.
struct FacetRequest {
    bool databases = false;
    bool years = false;
    // The years of this field instead of those of the fields searched.
    bool yearsOfField = false;
    record_fields::FieldChoice yearsField;
    bool values = false;
    record_fields::FieldChoice valuesField;
};

struct DatabaseCount {
    int code = 0;
    std::int64_t count = 0;
};

struct YearCount {
    int year = 0;
    std::int64_t count = 0;
    bool operator==(const YearCount& other) const { return year == other.year && count == other.count; }
};

struct ValueCount {
    std::string value;  // Windows-1252, as first met
    std::int64_t count = 0;
    bool operator==(const ValueCount& other) const { return value == other.value && count == other.count; }
};

struct FacetCounts {
    std::vector<DatabaseCount> databases;
    std::vector<YearCount> years;
    std::vector<ValueCount> values;
};

// The field's text without leading and trailing blanks; empty when blank.
std::string_view TrimmedValue(std::string_view text);
// The key values are compared by: the trimmed text with its letters folded.
std::string FoldedValue(std::string_view trimmed);

// Counts the people of each year. A person's years are given once per person.
class CYearTally {
public:
    CYearTally() : counts_(kLastYear - kFirstYear + 1, 0) {}
    // Notes year for the person being read (any order, repeats allowed).
    void Note(int year) {
        if (year >= kFirstYear && year <= kLastYear) held_.push_back(year);
    }
    // Notes the years of text (Windows-1252) for the person being read.
    void NoteText(std::string_view text);
    // Ends the person: each distinct year noted counts once.
    void EndPerson();
    // Adds the people counted by another tally.
    void Merge(const CYearTally& other) {
        for (std::size_t i = 0; i < counts_.size(); ++i) counts_[i] += other.counts_[i];
    }
    // The years held, ascending.
    std::vector<YearCount> Result() const;

private:
    std::vector<std::int64_t> counts_;
    std::vector<int> held_;
};

// Counts the people of each value of a field.
class CValueTally {
public:
    // Notes the text of a field (Windows-1252) for the person being read.
    void NoteText(std::string_view text);
    // Notes a value known by its folded key and its text as first met.
    void NoteKey(const std::string& key, std::string_view shown);
    // Ends the person: each distinct value noted counts once.
    void EndPerson();
    // Adds the people counted by another tally, read after those of this
    // one (a value is shown as this tally first met it, else as other did).
    void Merge(const CValueTally& other);
    // The values, most people first, then by value.
    std::vector<ValueCount> Result() const;

private:
    struct Value {
        std::string shown;
        std::string key;
        std::int64_t count = 0;
    };
    std::vector<Value> values_;
    std::unordered_map<std::string, std::size_t> byKey_;
    std::vector<std::size_t> held_;
};

}  // namespace facets
