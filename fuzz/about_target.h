#pragma once
// Fuzz target of what a data disk says of a database: its headings file
// (.fld) and its provenance file (.src), parsed, read from a folder as the
// programs read them, and used where the programs use them (the whole
// record, the CSV columns, the citation, --field by heading).
//
// Input: the database code (a byte), the .fld text (a Blob), the .src text
// (a Blob), then up to six record fields (each a Blob).
//
// Promises checked: no crash or out-of-bounds access (sanitizers); a parse
// that fails gives nothing and says where (a line within the text) and why;
// one that succeeds gives headings of at most kMaxHeading bytes without
// control characters or blanks around them, and provenance of known keys
// with values of 1 to kMaxProvenanceValue bytes, and written back and
// parsed again gives the same; the file read from the folder gives what the
// parse gives, or the error of a damaged file where it fails; the files are
// not changed by the read; every line of the whole record is
// "Heading: value" with a heading; the CSV columns give each person one
// cell per heading; a field is found by the heading the disk gives it.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "browse/export/citation.h"
#include "browse/export/field_columns.h"
#include "browse/record_query/record_fields.h"
#include "browse/record_text/field_headings.h"
#include "browse/record_text/record_parts.h"
#include "browse/record_text/whole_record.h"
#include "fuzz/fuzz_support.h"
#include "store/catalogue.h"
#include "store/database_about.h"
#include "store/directories.h"

namespace fuzz_targets {
namespace about_detail {

inline bool HasControl(const std::string& text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return true;
    }
    return false;
}

inline long LinesOf(const std::string& text) {
    long lines = 1;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    return lines;
}

inline void CheckFault(bool parsed, const database_about::Fault& fault, const std::string& text) {
    if (parsed) return;
    fuzz_support::Check(!fault.reason.empty(), "a parse failed without saying why");
    fuzz_support::Check(fault.line >= 0 && fault.line <= LinesOf(text),
                        "a fault names a line the text has not");
}

}  // namespace about_detail

inline int RunAbout(const std::uint8_t* data, std::size_t size, const std::string& folder) {
    using namespace fuzz_support;
    using namespace about_detail;
    ByteReader input(data, size);
    const int code = 1 + input.Byte() % catalogue::kLastCode;
    const std::string headingsText = input.Blob();
    const std::string provenanceText = input.Blob();
    // The fields as a record holds them: no line feed or 0xFF inside.
    std::string record;
    for (int k = 0; k < 6; ++k) record += input.Blob() + disk_format::kFieldEndChar;
    const std::vector<std::string> fields = record_parts::FieldsOf(record);

    std::vector<std::string> headings;
    database_about::Fault fault;
    const bool headed = database_about::ParseHeadings(headingsText, headings, fault);
    CheckFault(headed, fault, headingsText);
    Check(headed || headings.empty(), "a failed parse gave headings");
    for (const std::string& heading : headings) {
        Check(heading.size() <= disk_format::kMaxHeading, "a heading over its length");
        Check(!HasControl(heading), "a heading with a control character");
        Check(heading.empty() || (heading.front() != ' ' && heading.back() != ' '),
              "a heading with blanks around");
    }
    if (headed) {
        std::vector<std::string> again;
        Check(database_about::ParseHeadings(database_about::HeadingsText(headings), again, fault) &&
                  again == headings,
              "headings written back parse otherwise");
    }

    std::vector<ProvenanceEntry> provenance;
    const bool sourced = database_about::ParseProvenance(provenanceText, provenance, fault);
    CheckFault(sourced, fault, provenanceText);
    Check(sourced || provenance.empty(), "a failed parse gave provenance");
    Check(provenance.size() <= disk_format::kMaxProvenanceEntries, "more provenance than its limit");
    for (const ProvenanceEntry& entry : provenance) {
        const int key = database_about::KeyIndex(entry.key);
        Check(key >= 0 && entry.key == database_about::kProvenanceKeys[key], "a key not spelled as known");
        Check(!entry.value.empty() && entry.value.size() <= disk_format::kMaxProvenanceValue,
              "a value over its length, or empty");
        Check(!HasControl(entry.value), "a value with a control character");
    }
    if (sourced) {
        std::vector<ProvenanceEntry> again;
        Check(database_about::ParseProvenance(database_about::ProvenanceText(provenance), again, fault) &&
                  again == provenance,
              "provenance written back parses otherwise");
    }

    // The same texts as files of a data folder, read as the programs read them.
    const std::string base = folder + "/" + catalogue::StemOf(code);
    if (!WriteFile(base + disk_format::kHeadingsExtension, headingsText) ||
        !WriteFile(base + disk_format::kProvenanceExtension, provenanceText)) {
        Fail("cannot write the scratch files");
    }
    CDirectories dirs;
    dirs.SetDataDir(folder.c_str());
    DatabaseAbout about;
    const StoreError read = ReadDatabaseAbout(dirs, code, about);
    const bool whole = headed && sourced;
    Check(read.Failed() != whole, "a read and a parse of the same files disagree");
    Check(!read.Failed() || read.kind == StoreErrorKind::DamagedDescription,
          "a damaged file read as another error");
    Check(!whole || (about.headings == headings && about.provenance == provenance),
          "the read differs from the parse");
    std::string onDisk;
    Check(ReadFile(base + disk_format::kHeadingsExtension, onDisk) && onDisk == headingsText,
          "the headings file changed");
    Check(ReadFile(base + disk_format::kProvenanceExtension, onDisk) && onDisk == provenanceText,
          "the provenance file changed");

    // Where the programs use them.
    const FieldHeadings fieldHeadings(code, headings);
    FoundPerson person;
    person.code = code;
    person.entry = 0;
    person.surname = "SMITH";
    person.fields = fields;
    person.headings = fieldHeadings.First(fields.size());
    const std::string text = whole_record::Text(person, provenance);
    const bool colonHeading = std::any_of(headings.begin(), headings.end(), [](const std::string& heading) {
        return heading.rfind(':', 0) == 0;
    });
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 2;
        Check(line.empty() || line.find(": ") != std::string::npos,
              "a whole-record line without its heading");
        // A line may begin with ": " only where its heading itself does.
        Check(line.rfind(": ", 0) != 0 || colonHeading, "a whole-record line with an empty heading");
    }
    CFieldColumns columns;
    columns.Survey(person);
    Check(columns.Cells(person).size() == columns.Headings().size(),
          "cells and headings of the CSV differ in number");
    CitationContext context;
    context.provenance[code] = provenance;
    const Citation cited = citation::Of(person, context);
    Check(!cited.fullNote.empty() && !cited.sourceListEntry.empty(), "an empty citation");
    for (std::size_t k = 0; k < headings.size() && k < 8; ++k) {
        record_fields::FieldChoice choice;
        std::string error;
        if (!fieldHeadings.OnDisk(k) || !record_fields::ParseFieldChoice(headings[k], choice, error) ||
            choice.kind != record_fields::FieldChoice::Kind::Heading) {
            continue;
        }
        Check(record_fields::FieldSetOf(fieldHeadings, choice).Has(record_fields::SlotOfField(k)),
              "a field is not found by the heading the disk gives it");
    }
    return 0;
}

}  // namespace fuzz_targets
