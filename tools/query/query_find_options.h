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

struct FindOptions {
    bool active = false;
    std::string text;  // Windows-1252; empty with --years alone
    bool hasBatch = false;
    std::string batchFile;  // "-" for standard input
    bool hasField = false;
    std::string field;  // Windows-1252
    record_query::YearRange years;
    long limit = -1;  // -1: every person
    FindFormat format = FindFormat::Text;
};

// The option texts of the record search, as the shell handed them over.
struct FindArguments {
    const char* find = nullptr;
    const char* findBatch = nullptr;
    const char* field = nullptr;
    const char* years = nullptr;
    const char* limit = nullptr;
    const char* format = nullptr;
    bool Given() const { return find != nullptr || findBatch != nullptr || years != nullptr; }
};

// Checks and converts them into find (raw: the texts are Windows-1252 as
// given). False with error on a usage error.
// notes gets the lines that say which typed letters are searched as others.
bool ConvertFindArguments(const FindArguments& arguments, bool raw, FindOptions& find,
                          std::vector<std::string>& notes, std::string& error);

}  // namespace query_tool
