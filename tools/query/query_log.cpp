#include "tools/query/query_log.h"

#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/research_log.h"
#include "platform/message_box.h"
#include "store/ascii.h"
#include "store/catalogue.h"
#include "tools/query/query_exit.h"

namespace query_tool {

using research_log::AskedSearch;
using research_log::SearchKind;

AskedSearch AskedOfOptions(const QueryOptions& options) {
    AskedSearch asked;
    asked.database = options.allDatabases ? research_log::kAllDatabases : catalogue::StemOf(options.code);
    if (options.find.active) {
        asked.kind = SearchKind::Find;
        asked.query = options.find.text;
        if (options.find.hasField) asked.field = options.find.field;
        if (options.find.years.given) {
            asked.yearFrom = options.find.years.from;
            asked.yearTo = options.find.years.to;
        }
        if (options.find.abbreviations) asked.options = {"abbreviations"};
    } else if (options.list) {
        asked.kind = SearchKind::List;
        asked.surname = options.surname;
        asked.options = {MatchModeName(options.match)};
    } else {
        asked.kind = SearchKind::Surname;
        // As the page shows it: upper-cased, as the index holds surnames.
        for (char c : options.surname) asked.surname += AsciiUpper(c);
        asked.hasFirstName = options.hasFirstName;
        asked.firstName = options.firstName;
        if (options.variants) asked.options = {"variants"};
    }
    return asked;
}

int TellLogOutcome(const research_log::LogOutcome& outcome) {
    for (const std::string& message : outcome.messages) Complain(message);
    if (outcome.Failed()) return kExitFailed;
    return outcome.skipped > 0 ? kExitUnreadable : kExitSearched;
}

void LogSearch(const QueryOptions& options, const CDirectories& dirs, const AskedSearch& asked,
               std::int64_t count) {
    if (!options.research.log) return;
    // The disk searched, where it can be told; a search is logged without
    // it otherwise.
    research_log::DiskIdentity disk;
    const bool known = !research_log::ReadDiskIdentity(dirs, disk).Failed();
    research_log::CResearchLog log;
    TellLogOutcome(log.LogSearch(research_log::LogProgram::Query, asked, count, known ? &disk : nullptr));
}

int SaveRow(const QueryOptions& options, CSearchSession& session, const CDirectories& dirs) {
    const long row = options.research.saveRow;
    if (row < 0 || row >= session.RowsOnPage()) {
        Complain("--save: the page has no row " + std::to_string(row));
        return kExitFailed;
    }
    FoundPerson found;
    const SearchOutcome read = session.PersonOfRow(static_cast<int>(row), found);
    platform::Tell(read.messages);
    if (read.status == SearchStatus::Cancelled) return kExitFailed;
    if (!read.Done()) return ExitStatusOf(read.error);
    research_log::DiskIdentity disk;
    const StoreError unknown = research_log::ReadDiskIdentity(dirs, disk);
    if (unknown.Failed()) {
        Complain(search_messages::MessageOf(unknown));
        return ExitStatusOf(unknown);
    }
    research_log::PersonOnDisk person;
    person.code = found.code;
    person.entry = found.entry;
    person.surname = found.surname;
    person.givenNames = found.givenNames;
    person.summary = session.Pager().Row(static_cast<int>(row)).summary;
    research_log::CResearchLog log;
    const research_log::LogOutcome saved =
        log.SavePerson(disk, person, options.research.hasNote ? &options.research.note : nullptr);
    return FinishStandardOutput(TellLogOutcome(saved));
}

}  // namespace query_tool
