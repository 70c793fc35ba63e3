#include "browse/record_text/whole_record.h"

#include "browse/record_text/field_headings.h"
#include "store/blank_trim.h"

namespace whole_record {
namespace {

// The passenger list's first field is its survival code.
constexpr int kPassengerCode = 3;

}  // namespace

std::string FieldText(int code, std::size_t k, const std::string& field) {
    if (code == kPassengerCode && k == 0) return !field.empty() && field[0] == '3' ? "Yes" : "No";
    return Trimmed(field);
}

std::string HeadingOf(const FoundPerson& person, std::size_t k) {
    if (k < person.headings.size() && !person.headings[k].empty()) return person.headings[k];
    return FieldHeadings(person.code).Of(k);
}

std::vector<HeadedField> FieldsOf(const FoundPerson& person) {
    std::vector<HeadedField> fields;
    fields.reserve(person.fields.size());
    for (std::size_t k = 0; k < person.fields.size(); ++k)
        fields.push_back(HeadedField{HeadingOf(person, k), FieldText(person.code, k, person.fields[k])});
    return fields;
}

std::vector<ProvenanceEntry> InShownOrder(const std::vector<ProvenanceEntry>& provenance) {
    std::vector<ProvenanceEntry> shown;
    shown.reserve(provenance.size());
    for (const char* key : database_about::kProvenanceKeys) {
        for (const ProvenanceEntry& entry : provenance) {
            if (entry.key == key) shown.push_back(entry);
        }
    }
    return shown;
}

std::string Text(const FoundPerson& person, const std::vector<ProvenanceEntry>& provenance) {
    std::string text;
    auto line = [&text](const std::string& head, const std::string& value) {
        if (!text.empty()) text += "\r\n";
        text += head + ": " + value;
    };
    for (const HeadedField& field : FieldsOf(person)) {
        if (!field.text.empty()) line(field.heading, field.text);
    }
    if (!provenance.empty()) {
        // An empty line between the fields and the provenance.
        if (!text.empty()) text += "\r\n";
        for (const ProvenanceEntry& entry : InShownOrder(provenance)) line(entry.key, entry.value);
    }
    return text;
}

}  // namespace whole_record
