#include "browse/export/hit_export.h"

#include <cstdio>

#include "browse/export/field_columns.h"
#include "browse/record_text/whole_record.h"
#include "store/cp1252.h"
#include "store/disk_format.h"

namespace hit_export {
namespace {

// CR LF pairs of a full text become line feeds.
std::string WithLineFeeds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace

std::string CsvCell(const std::string& windows1252) {
    const std::string text = cp1252::ToUtf8(windows1252);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string AsCsv(int code, const std::vector<ExportedHit>& hits) {
    // The hits are of the database searched, code.
    auto ofCode = [code](FoundPerson person) {
        person.code = code;
        return person;
    };
    CFieldColumns columns;
    for (const ExportedHit& hit : hits) columns.Survey(ofCode(hit));
    std::string out = "surname,given_names";
    for (const std::string& heading : columns.Headings()) out += "," + CsvCell(heading);
    out += "\r\n";
    for (const ExportedHit& hit : hits) {
        out += CsvCell(hit.surname) + "," + CsvCell(hit.givenNames);
        for (const std::string& cell : columns.Cells(ofCode(hit))) out += "," + CsvCell(cell);
        out += "\r\n";
    }
    return out;
}

std::string JsonString(const std::string& windows1252) {
    const std::string text = cp1252::ToUtf8(windows1252);
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string AsJson(const std::vector<ExportedHit>& hits) {
    std::string out = "[";
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const ExportedHit& hit = hits[i];
        out += i == 0 ? "\n" : ",\n";
        out += "  {\"surname\": " + JsonString(hit.surname) +
               ", \"given_names\": " + JsonString(hit.givenNames) + ", \"fields\": [";
        for (std::size_t k = 0; k < hit.fields.size(); ++k)
            out += (k == 0 ? "" : ", ") + JsonString(hit.fields[k]);
        out += "], \"headings\": [";
        for (std::size_t k = 0; k < hit.fields.size(); ++k)
            out += (k == 0 ? "" : ", ") + JsonString(whole_record::HeadingOf(hit, k));
        out += "], \"text\": " + JsonString(WithLineFeeds(hit.text)) + "}";
    }
    out += hits.empty() ? "]\n" : "\n]\n";
    return out;
}

}  // namespace hit_export
