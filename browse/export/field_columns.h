#pragma once
// The field columns of a table of people (the CSV exports): one column per
// heading, whichever database a field comes from, so that the births of
// three rolls fall under one "Birth"; a heading that one record gives twice
// has a second column. Headings are compared without case and with runs of
// blanks as one. Columns come in the order they are first met; a column
// that no person fills (every field under it blank) is left out.
//
// The people are surveyed first (Survey each), then the headings and each
// person's cells are asked for: a walk that reads the people twice holds
// one at a time.

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "browse/record_text/found_person.h"

class CFieldColumns {
public:
    void Survey(const FoundPerson& person);
    // The heading of each column kept (Windows-1252).
    std::vector<std::string> Headings() const;
    // The cells of person under the columns kept, as the whole record shows
    // each field (browse/record_text/whole_record.h: blank fields empty, the
    // passenger list's survival as Yes or No); empty where the person has
    // no field of that column.
    std::vector<std::string> Cells(const FoundPerson& person) const;
    std::size_t Count() const;

private:
    struct Column {
        std::string heading;
        bool filled = false;
    };
    // The column of field k of person, each field's place found by its
    // heading and how often the heading came before in the record.
    template <class Visit>
    void ForEachField(const FoundPerson& person, Visit visit) const;

    std::vector<Column> columns_;
    // (folded heading, occurrence) -> column
    std::map<std::pair<std::string, int>, std::size_t> index_;
};
