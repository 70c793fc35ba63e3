#include "browse/export/found_csv.h"

#include "browse/export/hit_export.h"
#include "store/catalogue.h"

std::string CFoundCsv::Header() const {
    using hit_export::CsvCell;
    std::string text = withQuery_ ? "query,database,surname,given_names" : "database,surname,given_names";
    for (const std::string& heading : columns_.Headings()) text += "," + CsvCell(heading);
    return text + "\r\n";
}

std::string CFoundCsv::Row(const FoundPerson& person, const std::string& query) const {
    using hit_export::CsvCell;
    std::string text;
    if (withQuery_) text += CsvCell(query) + ",";
    text += CsvCell(catalogue::StemOf(person.code)) + "," + CsvCell(person.surname) + "," +
            CsvCell(person.givenNames);
    for (const std::string& cell : columns_.Cells(person)) text += "," + CsvCell(cell);
    return text + "\r\n";
}
