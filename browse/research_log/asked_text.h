#pragma once
// What a search asked, as the user reads it in the log: "surname SMITH,
// first name J", "list SMTIH, match close", "find "20th maine", years
// 1863-1865". Made from the fields when the search is logged, and kept
// beside them.

#include <string>

#include "browse/research_log/log_entries.h"

namespace research_log {

// Windows-1252, as the fields are. The parts, joined by ", ":
// - Surname: "surname S", "first name F" when one was given, "name
//   variants" for the option "variants";
// - List: "list S", "match M" for each match word;
// - Find: "find Q" when there is a query, "field F" when one field was
//   searched, "years A-B" (or "year A" for one), and just "find" when none
//   of them was given;
// and any other option word as it is.
std::string AskedText(const AskedSearch& asked);

}  // namespace research_log
