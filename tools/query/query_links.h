#pragma once
// chronara-query --links ROW (the people of the disk who may be the person
// at ROW of the page) and --links-all (every pair of the databases chosen).

#include "browse/session/search_session.h"
#include "store/directories.h"
#include "tools/query/query_options.h"

namespace query_tool {

// After the search and the turns: the links of the person at options.linksRow.
int PrintLinksOfRow(const QueryOptions& options, CSearchSession& session, const CDirectories& dirs);

// --links-all.
int RunLinksAll(const QueryOptions& options);

}  // namespace query_tool
