#pragma once
// chronara-query --record ROW: the whole record of a row of the page shown,
// every field under its heading and where the records came from, as lines
// of text or as one JSON object.

#include <string>
#include <vector>

#include "browse/record_text/found_person.h"
#include "browse/session/search_session.h"
#include "store/database_about.h"

namespace query_tool {

struct RowRecord {
    std::string title;  // More Info's title of the row
    FoundPerson person;
    std::vector<ProvenanceEntry> provenance;
};

// The record of row ROW of the page shown: kExitSearched with record read,
// or the status to end with; printPage says whether the page is still
// printed first (not after a record that could not be read).
int FetchRecord(long row, CSearchSession& session, RowRecord& record, bool& printPage);

// The JSON object of the record, UTF-8, on one line: database, title,
// entry, surname, given_names, fields [{heading, text}] (every field in
// order; a blank one's text empty), source (the provenance keys in small
// letters, a repeated key's values on lines of one text; null without
// provenance).
std::string RecordJson(const RowRecord& record);

}  // namespace query_tool
