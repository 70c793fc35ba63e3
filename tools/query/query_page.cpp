#include "tools/query/query_page.h"

#include <cstdio>
#include <string>
#include <vector>

#include "browse/export/hit_export.h"
#include "browse/record_text/whole_record.h"
#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "store/directories.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_gedcom.h"
#include "tools/query/query_links.h"
#include "tools/query/query_log.h"
#include "tools/query/query_output.h"
#include "tools/query/query_record.h"
#include "tools/query/query_services.h"

namespace query_tool {
namespace {

// The Prev and Next buttons: a turn only while its button would be enabled,
// and only with the data disk there.
// The exit status of a turn that failed or whose disk check was cancelled,
// else kExitSearched.
int ApplyTurns(const std::string& turns, CSearchSession& session) {
    for (char turn : turns) {
        const bool next = turn == 'n';
        if (!(next ? session.HasNext() : session.HasPrev())) continue;
        const SearchOutcome outcome = session.TurnPage(next);
        platform::Tell(outcome.messages, outcome.details);
        if (outcome.status == SearchStatus::Cancelled) return kExitFailed;
        if (outcome.status == SearchStatus::Failed) return ExitStatusOf(outcome.error);
    }
    return kExitSearched;
}

void PrintPage(CSearchSession& session, QueryOutput& out) {
    char line[CResultPager::kRowTextSize];
    std::snprintf(line, sizeof line, "%ld records found.", static_cast<long>(session.RecordCount()));
    out.Line(line);
    for (int i = 0; i < session.RowsOnPage(); ++i) {
        session.FormatRow(i, line);
        out.Line(line);
    }
    std::snprintf(line, sizeof line, "prev=%s next=%s", session.HasPrev() ? "on" : "off",
                  session.HasNext() ? "on" : "off");
    out.Line(line);
}

// More Info on a row of the page shown: the row check, then the session's
// disk check and full text. kExitSearched with record read, or the status to
// end with; printPage says whether the page is still printed first.
int FetchMoreInfo(long row, CSearchSession& session, RecordOutcome& record, bool& printPage) {
    printPage = true;
    if (row < 0 || row >= session.RowsOnPage()) return kExitFailed;
    record = session.FullText(static_cast<int>(row));
    platform::Tell(record.messages, record.details);
    if (record.status == SearchStatus::Cancelled) return kExitFailed;
    if (record.Done()) return kExitSearched;
    // The record could not be read: no part of the answer is printed.
    printPage = false;
    return ExitStatusOf(record.error);
}

// --export: every hit of the search instead of a page (none: the header alone).
int ExportHits(const QueryOptions& options, CSearchSession& session) {
    std::vector<ExportedHit> hits;
    const SearchOutcome outcome = session.CollectHits(hits);
    platform::Tell(outcome.messages, outcome.details);
    if (outcome.status == SearchStatus::Failed) return ExitStatusOf(outcome.error);
    if (outcome.status == SearchStatus::Cancelled) return kExitFailed;
    const int code = session.Database().DatabaseCode();
    const std::string text =
        options.exportFormat == ExportFormat::Csv ? hit_export::AsCsv(code, hits) : hit_export::AsJson(hits);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return FinishStandardOutput(kExitSearched);
}

// An option's ROW that the page does not hold (a cancelled disk check says so itself).
void ComplainOfRow(const char* option, long row, const CSearchSession& session) {
    if (row >= 0 && row < session.RowsOnPage()) return;
    Complain(std::string(option) + ": the page has no row " + std::to_string(row));
}

}  // namespace

int RunPage(const QueryOptions& options) {
    CDirectories dirs;
    LoadDirectoriesOf(options, dirs);

    // Exports and citations carry the day they were made.
    CalendarDate today;
    if ((options.exportFormat == ExportFormat::Gedcom || options.hasCite) && !DateOfRun(today))
        return kExitFailed;

    CSearchSession session(dirs, DiskPromptOfTool(dirs));
    session.SetPageSize(options.largeText);
    session.SetNameVariants(options.variants);

    // The Search button; honorol is reached by its code, as no list row selects it.
    const char* firstName = options.hasFirstName ? options.firstName.c_str() : nullptr;
    const SearchOutcome outcome = options.row >= 0
                                      ? session.Search(options.row, options.surname.c_str(), firstName)
                                      : session.SearchCode(options.code, options.surname.c_str(), firstName);
    // The messages go to stderr; after a failure standard output stays empty.
    platform::Tell(outcome.messages, outcome.details);
    switch (outcome.status) {
        case SearchStatus::Found:
        case SearchStatus::NotFound:
            break;
        case SearchStatus::Failed:
            return ExitStatusOf(outcome.error);
        case SearchStatus::Cancelled:
        case SearchStatus::Refused:
            return kExitFailed;
    }
    LogSearch(options, dirs, AskedOfOptions(options), session.RecordCount());
    if (options.exportFormat == ExportFormat::Gedcom) return ExportGedcom(session, dirs, today);
    if (options.exportFormat != ExportFormat::None) return ExportHits(options, session);
    const int turned = ApplyTurns(options.turns, session);
    if (turned != kExitSearched) return turned;
    if (options.hasLinks) return PrintLinksOfRow(options, session, dirs);
    if (options.research.hasSave) return SaveRow(options, session, dirs);

    int status = kExitSearched;
    RecordOutcome record;
    bool printPage = true;
    if (options.hasMoreInfo) status = FetchMoreInfo(options.moreInfoRow, session, record, printPage);
    RowRecord whole;
    bool wholeFetched = false;
    if (options.hasRecord) {
        status = FetchRecord(options.recordRow, session, whole, printPage);
        wholeFetched = status == kExitSearched;
        // As JSON the object alone is printed, or nothing.
        if (options.format == ListFormat::Json) {
            if (!wholeFetched) {
                if (printPage) ComplainOfRow("--record", options.recordRow, session);
                return status;
            }
            const std::string json = RecordJson(whole);
            std::fwrite(json.data(), 1, json.size(), stdout);
            return FinishStandardOutput(status);
        }
    }
    Citation cited;
    bool citeFetched = false;
    if (options.hasCite && status == kExitSearched && printPage) {
        status = FetchCitation(options.citeRow, session, today, cited, printPage);
        citeFetched = status == kExitSearched;
    }
    if (!printPage) return status;

    QueryOutput out(stdout, options.raw);
    PrintPage(session, out);
    if (record.status == SearchStatus::Found) {
        out.Line(record.title.c_str());
        out.Line(record.text.c_str());
    } else if (options.hasMoreInfo && options.moreInfoRow >= 0 &&
               options.moreInfoRow < session.RowsOnPage()) {
        // The disk check was cancelled; its message is on stderr.
    } else if (options.hasMoreInfo) {
        ComplainOfRow("--more-info", options.moreInfoRow, session);
    }
    if (wholeFetched) {
        out.Line(whole.title.c_str());
        out.Line(whole_record::Text(whole.person, whole.provenance).c_str());
    } else if (options.hasRecord) {
        ComplainOfRow("--record", options.recordRow, session);
    }
    if (citeFetched) {
        for (const std::string* line : {&cited.fullNote, &cited.shortNote, &cited.sourceListEntry})
            out.Line(line->c_str());
    } else if (options.hasCite && status == kExitFailed &&
               (options.citeRow < 0 || options.citeRow >= session.RowsOnPage())) {
        Complain("--cite: the page has no row " + std::to_string(options.citeRow));
    }
    return FinishStandardOutput(status);
}

}  // namespace query_tool
