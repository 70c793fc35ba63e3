#include "tools/query/query_record.h"

#include "browse/export/hit_export.h"
#include "browse/record_text/more_info_title.h"
#include "browse/record_text/whole_record.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "tools/query/query_exit.h"

namespace query_tool {

int FetchRecord(long row, CSearchSession& session, RowRecord& record, bool& printPage) {
    printPage = true;
    if (row < 0 || row >= session.RowsOnPage()) return kExitFailed;
    SearchOutcome read = session.PersonOfRow(static_cast<int>(row), record.person);
    platform::Tell(read.messages);
    if (read.status == SearchStatus::Cancelled) return kExitFailed;
    if (read.Done()) {
        read = session.ReadProvenance(record.person.code, record.provenance);
        platform::Tell(read.messages);
    }
    if (!read.Done()) {
        // Nothing of the answer is printed.
        printPage = false;
        return ExitStatusOf(read.error);
    }
    // The title is made from the row as it is shown, as More Info makes it.
    char rowText[CResultPager::kRowTextSize];
    session.FormatRow(static_cast<int>(row), rowText);
    char title[kTitleWorkSize + 2];
    BuildMoreInfoTitle(rowText, title, sizeof title);
    record.title = title;
    return kExitSearched;
}

std::string RecordJson(const RowRecord& record) {
    using hit_export::JsonString;
    const FoundPerson& person = record.person;
    std::string text = "{\"database\": " + JsonString(catalogue::StemOf(person.code)) +
                       ", \"title\": " + JsonString(catalogue::NameOfCode(person.code)) +
                       ", \"entry\": " + std::to_string(person.entry) +
                       ", \"surname\": " + JsonString(person.surname) +
                       ", \"given_names\": " + JsonString(person.givenNames) + ", \"fields\": [";
    const std::vector<HeadedField> fields = whole_record::FieldsOf(person);
    for (std::size_t k = 0; k < fields.size(); ++k) {
        text += (k == 0 ? "{\"heading\": " : ", {\"heading\": ") + JsonString(fields[k].heading) +
                ", \"text\": " + JsonString(fields[k].text) + "}";
    }
    text += "], \"source\": ";
    if (record.provenance.empty()) return text + "null}\n";
    std::string source;
    for (const char* key : database_about::kProvenanceKeys) {
        const std::vector<std::string> values = database_about::ValuesOf(record.provenance, key);
        if (values.empty()) continue;
        std::string joined;
        for (const std::string& value : values) joined += (joined.empty() ? "" : "\n") + value;
        std::string name = key;
        for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        source += (source.empty() ? "{\"" : ", \"") + name + "\": " + JsonString(joined);
    }
    return text + source + "}}\n";
}

}  // namespace query_tool
