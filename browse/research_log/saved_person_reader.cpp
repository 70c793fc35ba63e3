#include "browse/research_log/saved_person_reader.h"

#include "browse/record_text/field_headings.h"
#include "browse/record_text/record_format.h"
#include "browse/record_text/record_parts.h"
#include "store/blank_trim.h"
#include "store/disk_format.h"
#include "store/raw_summary.h"
#include "store/record_database.h"

namespace research_log {

SavedPersonRead ReadSavedPerson(CRecordDatabase& database, const PersonOnDisk& saved, ExportedHit& person,
                                StoreError& error) {
    person = ExportedHit{};
    error = StoreError{};
    const OpenResult opened = database.OpenCode(saved.code);
    if (!opened) {
        error = opened.error;
        return opened.error.Failed() ? SavedPersonRead::Failed : SavedPersonRead::NotThere;
    }
    const EntryRange range = database.FindRange(saved.surname.c_str());
    if (range.error.Failed()) {
        error = range.error;
        return SavedPersonRead::Failed;
    }
    if (!range.found || saved.entry < range.first ||
        static_cast<std::int64_t>(saved.entry) >= static_cast<std::int64_t>(range.first) + range.count) {
        return SavedPersonRead::NotThere;
    }
    CorEntry entry;
    error = database.ReadEntry(saved.entry, entry);
    if (error.Failed()) return SavedPersonRead::Failed;
    const std::string givenNames = TrimmedRight(entry.givenNames);
    if (givenNames != TrimmedRight(saved.givenNames)) return SavedPersonRead::NotThere;
    char record[disk_format::kRecordBufferSize];
    std::size_t stored = 0;
    error = database.ReadRecord(entry.recordOffset, record, &stored);
    if (error.Failed()) return SavedPersonRead::Failed;

    person.code = saved.code;
    person.entry = saved.entry;
    person.surname = TrimmedRight(saved.surname);
    person.givenNames = givenNames;
    person.fields = record_parts::FieldsOf(record);
    // Headed as a search heads them, so that the whole record, Compare and
    // the family-tree events read past the label table's slots.
    FieldHeadings headings;
    error = ReadFieldHeadings(database.Directories(), saved.code, headings);
    if (error.Failed()) return SavedPersonRead::Failed;
    person.headings = headings.First(person.fields.size());
    char text[record_format::kTextSize];
    record_format::BuildFullText(saved.code, record, text, sizeof text);
    person.text = text;
    char raw[record_format::kRawSummarySize];
    char summary[record_format::kSummarySize];
    std::size_t at = 0;
    const int firstByte =
        BuildRawSummary([&] { return at < stored ? static_cast<unsigned char>(record[at++]) : -1; }, raw);
    record_format::BuildDisplayedSummary(saved.code, raw, firstByte, summary);
    person.summary = summary;
    return SavedPersonRead::Read;
}

}  // namespace research_log
