#include "browse/record_text/field_headings.h"

#include "browse/record_text/record_format.h"
#include "store/database_about.h"

namespace {

bool IsWordByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || byte >= 0xC0;
}

}  // namespace

std::string NumberedFieldHeading(std::size_t k) { return "Field " + std::to_string(k + 1); }

std::string LabelHeading(int code, std::size_t k) {
    const record_format::LabelTable* table = record_format::LabelTableOf(code);
    if (table == nullptr || k >= static_cast<std::size_t>(record_format::kSlotCount)) return std::string();
    // Nothing from the end mark on is a heading.
    for (std::size_t i = 0; i <= k; ++i) {
        if (static_cast<unsigned char>((*table)[i][0]) == record_format::kEndMark) return std::string();
    }
    const std::string slot = (*table)[k];
    // Marks before the words ("_Survived: ") and the colon and blanks after them go.
    std::size_t start = 0;
    while (start < slot.size() && !IsWordByte(slot[start])) ++start;
    std::size_t end = slot.size();
    while (end > start && (slot[end - 1] == ' ' || slot[end - 1] == ':')) --end;
    return slot.substr(start, end - start);
}

std::string FieldHeadings::Of(std::size_t k) const {
    if (OnDisk(k)) return disk_[k];
    std::string heading = LabelHeading(code_, k);
    return heading.empty() ? NumberedFieldHeading(k) : heading;
}

bool FieldHeadings::AnyOnDisk() const {
    for (const std::string& heading : disk_) {
        if (!heading.empty()) return true;
    }
    return false;
}

std::vector<std::string> FieldHeadings::First(std::size_t count) const {
    std::vector<std::string> headings;
    headings.reserve(count);
    for (std::size_t k = 0; k < count; ++k) headings.push_back(Of(k));
    return headings;
}

StoreError ReadFieldHeadings(const CDirectories& dirs, int code, FieldHeadings& headings) {
    std::vector<std::string> disk;
    const StoreError error = ReadDatabaseHeadings(dirs, code, disk);
    headings = FieldHeadings(code, error.Failed() ? std::vector<std::string>() : std::move(disk));
    return error;
}
