#pragma once
// One person found, as every export and citation takes it: whichever search
// found the person (a page of one surname, or a search of the records), this
// is what is known of them.

#include <cstdint>
#include <string>
#include <vector>

// Texts are Windows-1252 bytes, as the files hold them.
struct FoundPerson {
    int code = 0;                     // database code 1..14
    std::int32_t entry = -1;          // 0-based entry number in the database's .cor file
    std::string surname;              // as the index holds it: upper-cased
    std::string givenNames;           // as the entry holds them
    std::vector<std::string> fields;  // the record's fields, in order
    // The heading of each field (browse/record_text/field_headings.h), as
    // the disk or the label table gives it; a person made without them
    // (shorter than fields) has the label table's for the rest.
    std::vector<std::string> headings;
    std::string text;  // the full text, as More Info shows it (CR LF line ends)
};

// One hit as the files hold it: Windows-1252 bytes. The surname is the
// searched one, upper-cased, as the rows show it.
struct ExportedHit : FoundPerson {
    std::string summary;  // the summary, as the result rows show it (the viewer's printed list)
};
