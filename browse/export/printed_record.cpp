#include "browse/export/printed_record.h"

#include "browse/record_text/whole_record.h"

namespace printed_record {

std::string PrintedOn(const CalendarDate& date) {
    return calendar_date::IsValid(date) ? "Printed " + calendar_date::AsWords(date) + "." : std::string();
}

std::string Text(const FoundPerson& person, const std::vector<ProvenanceEntry>& provenance,
                 const CalendarDate& printed) {
    std::string text = whole_record::Text(person, provenance);
    const std::string day = PrintedOn(printed);
    if (!day.empty()) text += (text.empty() ? "" : "\r\n\r\n") + day;
    return text;
}

}  // namespace printed_record
