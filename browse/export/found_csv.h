#pragma once
// The CSV of the people a record search found (RFC 4180, UTF-8, a header
// row, CR LF row ends): the database's stem, the surname and the given
// names, then one column per field up to the most any person has. A
// column's head is the field's heading where every database found agrees
// on it, else "field N". chronara-query --find --format csv and the
// viewer's Find in Records export both write it through this class, so
// that the two files are the same.
//
// The header depends on every person, so the people are surveyed first
// (Survey each), then written (Header, then Row each): a walk that reads
// them again holds one person at a time, whatever their number.

#include <cstddef>
#include <set>
#include <string>

#include "browse/record_text/found_person.h"

class CFoundCsv {
public:
    // withQuery: a first column "query" (the answers of a batch of queries).
    explicit CFoundCsv(bool withQuery = false) : withQuery_(withQuery) {}

    void Survey(const FoundPerson& person);
    std::string Header() const;
    // query: the text of the query that found the person (Windows-1252),
    // written only withQuery.
    std::string Row(const FoundPerson& person, const std::string& query = std::string()) const;

    std::size_t Columns() const { return columns_; }

private:
    bool withQuery_;
    std::size_t columns_ = 0;
    // The databases of the people surveyed: a head is agreed when each of them gives it.
    std::set<int> codes_;
    int firstCode_ = 0;
};
