#pragma once
// Matching abbreviations: a record query widened so that a word (or the
// words of a phrase) naming a U.S. state or territory, a military rank or
// a month also matches every form records write for it, and the reverse
// (Pennsylvania also finds Penn., Penna., Pa. and PA; Pa. also finds
// Pennsylvania). A name of several words is met where the query writes it
// as one term ("New York" in quotes, N.Y.). The last word of a prefix term
// is left as it is.

#include <cstddef>
#include <string>

#include "browse/abbreviations/abbreviation_table.h"
#include "browse/record_query/record_query.h"

namespace abbreviations {

// The most ways one term may stand for once widened: a phrase of many
// abbreviated words would multiply them past what a query should ask.
inline constexpr std::size_t kMaxWays = 64;

// Widens every term of query by table. False with error, and query as it
// was, when a term would stand for more than kMaxWays ways.
bool Widen(record_query::Query& query, std::string& error,
           const CAbbreviationTable& table = CAbbreviationTable::Builtin());

}  // namespace abbreviations
