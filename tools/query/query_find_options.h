#pragma once
// The options of chronara-query --find, checked and converted from the
// command line.

#include <string>
#include <vector>

#include "browse/record_query/record_query.h"

namespace query_tool {

// Longest query text, in Windows-1252 characters.
inline constexpr std::size_t kMaxQueryText = 1000;

enum class FindFormat { Text, Tsv, Json, Csv, Count, Gedcom };

// --facet: what the people found are counted by, printed instead of them.
enum class FacetKind { None, Database, Years, Field };

struct FindOptions {
    bool active = false;
    std::string text;  // Windows-1252; empty with --years alone
    bool hasBatch = false;
    std::string batchFile;  // "-" for standard input
    bool hasField = false;
    std::string field;  // Windows-1252
    record_query::YearRange years;
    long limit = -1;  // -1: every person (with --facet: every line)
    FindFormat format = FindFormat::Text;
    bool abbreviations = false;  // a word naming a state, rank or month also matches its forms
    FacetKind facet = FacetKind::None;
    bool hasFacetField = false;  // years:F or field:F
    std::string facetField;      // F, Windows-1252
};

// The option texts of the record search, as the shell handed them over.
struct FindArguments {
    const char* find = nullptr;
    const char* findBatch = nullptr;
    const char* field = nullptr;
    const char* years = nullptr;
    const char* limit = nullptr;
    const char* format = nullptr;
    const char* facet = nullptr;
    bool abbreviations = false;
    bool Given() const { return find != nullptr || findBatch != nullptr || years != nullptr; }
};

// Checks and converts them into find (raw: the texts are Windows-1252 as
// given). False with error on a usage error.
// notes gets the lines that say which typed letters are searched as others.
bool ConvertFindArguments(const FindArguments& arguments, bool raw, FindOptions& find,
                          std::vector<std::string>& notes, std::string& error);

}  // namespace query_tool
