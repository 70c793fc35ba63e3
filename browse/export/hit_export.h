#pragma once
// Every hit of a search, and the two forms in which they are exported: CSV
// (RFC 4180, UTF-8, a header row) and JSON. The query tool's --export and
// the viewer's "Export results…" both write them through these functions.

#include <string>
#include <vector>

#include "browse/record_text/found_person.h"

namespace hit_export {

// CSV of the hits of database code: "surname,given_names", then the field
// columns of browse/export/field_columns.h, each headed by its heading (a
// column nobody fills is left out; a blank field, or one a record does not
// have, is an empty cell; the passenger list's survival reads Yes or No);
// every text UTF-8, quoted where it holds a comma, a quote or a line
// break; CR LF row ends.
std::string AsCsv(int code, const std::vector<ExportedHit>& hits);

// JSON: an array of objects {"surname", "given_names", "fields": [...],
// "headings": [...] (each field's), "text"}, UTF-8, the text with line
// feeds for its CR LF.
std::string AsJson(const std::vector<ExportedHit>& hits);

// A CSV cell of Windows-1252 text: UTF-8, quoted where it holds a comma, a
// quote or a line break.
std::string CsvCell(const std::string& windows1252);

// A JSON string literal of Windows-1252 text (quotes included).
std::string JsonString(const std::string& windows1252);

}  // namespace hit_export
