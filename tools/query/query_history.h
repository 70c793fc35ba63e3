#pragma once
// chronara-query --history and --saved: what the research log holds, as
// lines of tab-separated fields or as JSON; the saved people of the data
// disk also as CSV or a family-tree file, their records read again from
// the disk.

#include "tools/query/query_options.h"

namespace query_tool {

// Each returns the exit status.
int RunHistory(const QueryOptions& options);
int RunSaved(const QueryOptions& options);

}  // namespace query_tool
