#include "browse/record_text/record_parts.h"

#include "browse/record_text/record_format.h"
#include "store/disk_format.h"

namespace record_parts {
namespace {

bool IsWordByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || byte >= 0xC0;
}

}  // namespace

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
    const record_format::LabelTable* table = record_format::LabelTableOf(code);
    std::string head;
    if (table != nullptr && k < static_cast<std::size_t>(record_format::kSlotCount)) {
        const char* slot = (*table)[k];
        if (static_cast<unsigned char>(slot[0]) != record_format::kEndMark) head = slot;
    }
    std::size_t start = 0;
    while (start < head.size() && !IsWordByte(head[start])) ++start;
    std::size_t end = head.size();
    while (end > start && (head[end - 1] == ' ' || head[end - 1] == ':')) --end;
    head = head.substr(start, end - start);
    return head.empty() ? "field " + std::to_string(k + 1) : head;
}

}  // namespace record_parts
