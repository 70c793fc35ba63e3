#pragma once
// One run of chronara-query: the notes on the typed text, then the mode the
// options ask for (a surname listing, a record search or a page of a search).

#include "tools/query/query_options.h"

namespace query_tool {

// Returns the exit status.
int RunQuery(const QueryOptions& options);

}  // namespace query_tool
