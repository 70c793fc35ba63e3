#pragma once
// chronara-query's page mode: one search as the viewer runs it, the page
// turns, More Info and the citation of a row, with the page reached written
// to standard output; or every hit exported instead of a page.

#include "tools/query/query_options.h"

namespace query_tool {

// Returns the exit status.
int RunPage(const QueryOptions& options);

}  // namespace query_tool
