#include "browse/export/found_csv.h"

#include <algorithm>

#include "browse/export/hit_export.h"
#include "browse/record_text/record_parts.h"
#include "store/catalogue.h"

void CFoundCsv::Survey(const FoundPerson& person) {
    columns_ = std::max(columns_, person.fields.size());
    if (codes_.empty()) firstCode_ = person.code;
    codes_.insert(person.code);
}

std::string CFoundCsv::Header() const {
    using hit_export::CsvCell;
    std::string text = withQuery_ ? "query,database,surname,given_names" : "database,surname,given_names";
    for (std::size_t k = 0; k < columns_; ++k) {
        // A field's head depends on its database alone.
        const std::string head = record_parts::FieldHead(firstCode_, k);
        bool agreed = true;
        for (int code : codes_) agreed = agreed && record_parts::FieldHead(code, k) == head;
        text += "," + CsvCell(agreed ? head : "field " + std::to_string(k + 1));
    }
    return text + "\r\n";
}

std::string CFoundCsv::Row(const FoundPerson& person, const std::string& query) const {
    using hit_export::CsvCell;
    std::string text;
    if (withQuery_) text += CsvCell(query) + ",";
    text += CsvCell(catalogue::StemOf(person.code)) + "," + CsvCell(person.surname) + "," +
            CsvCell(person.givenNames);
    for (std::size_t k = 0; k < columns_; ++k)
        text += "," + (k < person.fields.size() ? CsvCell(person.fields[k]) : std::string());
    return text + "\r\n";
}
