#include "browse/record_text/record_parts.h"

#include "browse/record_text/field_headings.h"
#include "store/disk_format.h"

namespace record_parts {

std::vector<std::string> FieldsOf(const std::string& record) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : record) {
        if (c == disk_format::kRecordEnd || c == '\0') break;
        if (c == disk_format::kFieldEndChar) {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty()) fields.push_back(field);
    return fields;
}

std::string FieldHead(int code, std::size_t k) {
    const std::string head = LabelHeading(code, k);
    return head.empty() ? "field " + std::to_string(k + 1) : head;
}

}  // namespace record_parts
