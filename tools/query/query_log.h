#pragma once
// chronara-query and the research log: a search logged with --log, a
// person saved with --save ROW. The log is the user's, shared with the
// viewer; a log that cannot be kept never stops a search: --log says so on
// standard error and the search's answer and status stand.

#include <cstdint>

#include "browse/research_log/log_entries.h"
#include "browse/research_log/log_outcome.h"
#include "browse/session/search_session.h"
#include "store/directories.h"
#include "tools/query/query_options.h"

namespace query_tool {

// The search as the log keeps it; its database from the options (a stem,
// or "all").
research_log::AskedSearch AskedOfOptions(const QueryOptions& options);

// With --log, keeps the search asked and the number it found; anything
// that goes wrong is said on standard error and changes nothing else.
void LogSearch(const QueryOptions& options, const CDirectories& dirs, const research_log::AskedSearch& asked,
               std::int64_t count);

// --save ROW [--note TEXT] on the page shown: the person of the row, of the
// disk the session reads. Prints nothing; the exit status.
int SaveRow(const QueryOptions& options, CSearchSession& session, const CDirectories& dirs);

// Says the log's messages on standard error; the exit status of its error
// (kExitSearched when there was none).
int TellLogOutcome(const research_log::LogOutcome& outcome);

}  // namespace query_tool
