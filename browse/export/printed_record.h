#pragma once
// What a printed record says beside More Info's title and text: the whole
// record, with its headings and where its records came from, and the day it
// was printed; and the line that dates a printed list of results.

#include <string>
#include <vector>

#include "browse/export/calendar_date.h"
#include "browse/record_text/found_person.h"
#include "store/database_about.h"

namespace printed_record {

// "Printed 3 January 2026."; empty for a day that does not exist.
std::string PrintedOn(const CalendarDate& date);

// The whole record of person (browse/record_text/whole_record.h) with the
// provenance of its database, then an empty line and the day printed; CR LF
// lines, as More Info's text.
std::string Text(const FoundPerson& person, const std::vector<ProvenanceEntry>& provenance,
                 const CalendarDate& printed);

}  // namespace printed_record
