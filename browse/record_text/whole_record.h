#pragma once
// The whole record of a person: every field under its heading, in field
// order, and where the database's records came from. More Info's own text
// shows what the label table shows; this is what the record holds, for
// `chronara-query --record`, the viewer's whole record, its print, and
// the exports that write fields under their headings.

#include <cstddef>
#include <string>
#include <vector>

#include "browse/record_text/found_person.h"
#include "store/database_about.h"

struct HeadedField {
    std::string heading;  // Windows-1252, never empty
    std::string text;     // as shown: empty for a blank field
    bool operator==(const HeadedField& other) const { return heading == other.heading && text == other.text; }
};

namespace whole_record {

// The text field k of database code shows: the passenger list's survival
// code as "Yes" (a code beginning with 3) or "No", as More Info says it;
// any other field without the blanks around it, so that a blank field is
// empty.
std::string FieldText(int code, std::size_t k, const std::string& field);

// The heading of field k of person: person.headings[k], else the label
// table's (FieldHeadings without the disk's).
std::string HeadingOf(const FoundPerson& person, std::size_t k);

// Every field of person, in order, each with its heading and shown text.
std::vector<HeadedField> FieldsOf(const FoundPerson& person);

// The provenance in the order it is shown: the keys in the order of
// database_about::kProvenanceKeys, a repeated key's values in file order.
std::vector<ProvenanceEntry> InShownOrder(const std::vector<ProvenanceEntry>& provenance);

// "Heading: value" lines of the fields that are not blank, in field
// order; then, when there is provenance, an empty line and its "Key:
// value" lines in shown order. Lines are joined by CR LF, as More Info's
// text is, with no line end after the last.
std::string Text(const FoundPerson& person, const std::vector<ProvenanceEntry>& provenance);

}  // namespace whole_record
