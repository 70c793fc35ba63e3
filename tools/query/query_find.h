#pragma once
// chronara-query --find: the people whose records say what a query asks,
// in one database or every database of the list, for one query or a file
// of them (--find-batch).

#include "tools/query/query_options.h"

namespace query_tool {

// The record search; returns the exit status.
int RunFind(const QueryOptions& options);

}  // namespace query_tool
