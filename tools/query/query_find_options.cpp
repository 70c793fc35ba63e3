#include "tools/query/query_find_options.h"

#include <cstdlib>
#include <cstring>

#include "browse/record_query/record_fields.h"
#include "tools/query/typed_text.h"

namespace query_tool {
namespace {

// The text typed for option (typed_text.h), at most kMaxQueryText characters;
// a note when a letter is searched as another.
bool TakeText(const char* option, const char* text, bool raw, std::string& out,
              std::vector<std::string>& notes, std::string& error) {
    std::string note;
    if (!ConvertTypedText(option, text, raw, out, note, error)) return false;
    if (!note.empty()) notes.push_back(note);
    if (out.size() > kMaxQueryText) {
        error = std::string(option) + ": at most " + std::to_string(kMaxQueryText) + " characters";
        return false;
    }
    return true;
}

bool ParseFormat(const char* text, FindFormat& format, std::string& error) {
    static const struct {
        const char* name;
        FindFormat format;
    } kFormats[] = {{"text", FindFormat::Text}, {"tsv", FindFormat::Tsv},     {"json", FindFormat::Json},
                    {"csv", FindFormat::Csv},   {"count", FindFormat::Count}, {"gedcom", FindFormat::Gedcom}};
    for (const auto& known : kFormats) {
        if (std::strcmp(text, known.name) == 0) {
            format = known.format;
            return true;
        }
    }
    error = std::string("--format must be text, tsv, json, csv, count or gedcom, not '") + text + "'";
    return false;
}

// --facet database, years, years:F or field:F; F is taken as --field takes it.
bool ParseFacet(const char* text, bool raw, FindOptions& find, std::vector<std::string>& notes,
                std::string& error) {
    const std::string value = text;
    const std::size_t colon = value.find(':');
    const std::string kind = value.substr(0, colon);
    if (kind == "database" && colon == std::string::npos) {
        find.facet = FacetKind::Database;
        return true;
    }
    if (kind == "years" || (kind == "field" && colon != std::string::npos)) {
        find.facet = kind == "years" ? FacetKind::Years : FacetKind::Field;
        if (colon == std::string::npos) return true;
        const std::string option = "--facet " + kind;
        record_fields::FieldChoice choice;
        if (!TakeText(option.c_str(), text + colon + 1, raw, find.facetField, notes, error)) return false;
        if (!record_fields::ParseFieldChoice(find.facetField, choice, error)) {
            // The field's fault, said of where the field was given.
            if (error.rfind("--field", 0) == 0) error = option + error.substr(7);
            return false;
        }
        find.hasFacetField = true;
        return true;
    }
    error = std::string("--facet must be database, years, years:FIELD or field:FIELD, not '") + text + "'";
    return false;
}

}  // namespace

bool ConvertFindArguments(const FindArguments& arguments, bool raw, FindOptions& find,
                          std::vector<std::string>& notes, std::string& error) {
    find = FindOptions{};
    find.active = true;
    if (arguments.find != nullptr && arguments.findBatch != nullptr) {
        error = "--find-batch takes the place of --find: give one of them";
        return false;
    }
    if (arguments.format != nullptr && !ParseFormat(arguments.format, find.format, error)) return false;
    if (raw && (find.format == FindFormat::Json || find.format == FindFormat::Csv ||
                find.format == FindFormat::Gedcom)) {
        error = "--raw writes Windows-1252 bytes, but JSON, CSV and GEDCOM are UTF-8";
        return false;
    }
    // One family-tree file holds the people of one query.
    if (find.format == FindFormat::Gedcom && arguments.findBatch != nullptr) {
        error = "--format gedcom takes one query: give --find, not --find-batch";
        return false;
    }
    if (arguments.years != nullptr && !record_query::ParseYears(arguments.years, find.years, error))
        return false;
    find.abbreviations = arguments.abbreviations;
    if (arguments.facet != nullptr) {
        if (!ParseFacet(arguments.facet, raw, find, notes, error)) return false;
        if (find.format != FindFormat::Text && find.format != FindFormat::Tsv &&
            find.format != FindFormat::Json) {
            error = "--facet prints its counts as text, tsv or json";
            return false;
        }
        if (arguments.findBatch != nullptr) {
            error = "--facet counts the people of one query: give --find or --years, not --find-batch";
            return false;
        }
    }
    if (arguments.field != nullptr) {
        record_fields::FieldChoice choice;
        if (!TakeText("--field", arguments.field, raw, find.field, notes, error) ||
            !record_fields::ParseFieldChoice(find.field, choice, error)) {
            return false;
        }
        find.hasField = true;
    }
    if (arguments.limit != nullptr) {
        const char* text = arguments.limit;
        const bool digits = *text != '\0' && text[std::strspn(text, "0123456789")] == '\0';
        if (!digits || std::strlen(text) > 9 || std::strtol(text, nullptr, 10) < 1) {
            error = std::string("--limit takes a number ") +
                    (find.facet == FacetKind::None ? "of people" : "of lines") + " from 1, not '" + text +
                    "'";
            return false;
        }
        find.limit = std::strtol(text, nullptr, 10);
    }
    if (arguments.findBatch != nullptr) {
        find.hasBatch = true;
        find.batchFile = arguments.findBatch;
        if (find.batchFile.empty()) {
            error = "--find-batch needs a file, or - for standard input";
            return false;
        }
        return true;
    }
    if (arguments.find != nullptr && !TakeText("--find", arguments.find, raw, find.text, notes, error))
        return false;
    const record_query::Parsed parsed = record_query::Parse(find.text, find.years);
    if (!parsed.ok) {
        error = "--find: " + parsed.error;
        return false;
    }
    return true;
}

}  // namespace query_tool
