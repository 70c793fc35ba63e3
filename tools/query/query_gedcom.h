#pragma once
// chronara-query's family-tree export (--export gedcom) and citation of a
// row (--cite ROW).

#include <string>

#include "browse/export/calendar_date.h"
#include "browse/export/citation.h"
#include "browse/session/search_session.h"
#include "store/directories.h"

namespace query_tool {

// The day exports and citations are dated: SOURCE_DATE_EPOCH (seconds since
// 1970, its day in UTC) when it is set, for reproducible output; else today.
// False after a message when the variable is set but no count of seconds.
bool DateOfRun(CalendarDate& date);

// Every person the search found as one GEDCOM file on standard output; the
// exit status. Nothing reaches standard output unless the whole file was
// made: a large export waits in a nameless scratch file in the installation
// directory rather than in memory.
int ExportGedcom(CSearchSession& session, const CDirectories& dirs, const CalendarDate& date);

// The citation of row ROW of the page shown: kExitSearched with cited set,
// or the status to end with; printPage says whether the page is still
// printed first (not after a record that could not be read).
int FetchCitation(long row, CSearchSession& session, const CalendarDate& date, Citation& cited,
                  bool& printPage);

}  // namespace query_tool
