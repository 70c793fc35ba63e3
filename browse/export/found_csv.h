#pragma once
// The CSV of the people a record search found (RFC 4180, UTF-8, a header
// row, CR LF row ends): the database's stem, the surname and the given
// names, then the field columns of browse/export/field_columns.h, each
// headed by its heading (a field of the same heading in several databases
// shares its column; a column nobody fills is left out; a blank field is an
// empty cell; the passenger list's survival reads Yes or No).
// chronara-query --find --format csv and the viewer's Find in Records
// export both write it through this class, so that the two files are the
// same.
//
// The header depends on every person, so the people are surveyed first
// (Survey each), then written (Header, then Row each): a walk that reads
// them again holds one person at a time, whatever their number.

#include <cstddef>
#include <string>

#include "browse/export/field_columns.h"
#include "browse/record_text/found_person.h"

class CFoundCsv {
public:
    // withQuery: a first column "query" (the answers of a batch of queries).
    explicit CFoundCsv(bool withQuery = false) : withQuery_(withQuery) {}

    void Survey(const FoundPerson& person) { columns_.Survey(person); }
    std::string Header() const;
    // query: the text of the query that found the person (Windows-1252),
    // written only withQuery.
    std::string Row(const FoundPerson& person, const std::string& query = std::string()) const;

    // The field columns written.
    std::size_t Columns() const { return columns_.Count(); }

private:
    bool withQuery_;
    CFieldColumns columns_;
};
