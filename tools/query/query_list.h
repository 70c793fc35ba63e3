#pragma once
// chronara-query --list: the surnames that match, with their counts, in one
// database or every database of the list, for one surname or a batch file.

#include "tools/query/query_options.h"

namespace query_tool {

// The listing; returns the exit status.
int RunList(const QueryOptions& options);

}  // namespace query_tool
