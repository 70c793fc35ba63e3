#include "tools/query/query_run.h"

#include <cstdio>
#include <cstdlib>

#include "browse/history_buffer.h"
#include "browse/more_info_title.h"
#include "browse/result_pager.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "store/search_query.h"
#include "tools/query/query_output.h"

namespace query_tool {
namespace {

[[noreturn]] void FlushAndExit(int status) {
    // Whatever the tool printed before "wrong file format!" must reach the reader.
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(status);
}

void Complain(const char* text) {
    std::fflush(stdout);
    std::fprintf(stderr, "chronara-query: %s\n", text);
}

// The first-name filter could not use history.buf: the file did not open,
// or hits were lost on the way to it. The pager has told the user.
bool ScratchFailed(CResultPager& pager) {
    if (pager.IsDirectMode()) return false;
    CHistoryBuffer& history = pager.History();
    return !history.IsOpen() || history.WriteFailed();
}

// The Search button: the view's own Reset and query, then the search.
void Search(const QueryOptions& options, CRecordDatabase& db, CResultPager& pager) {
    CSearchQuery query;
    pager.Reset();
    query.SetSurname(options.surname.c_str());
    query.SetDatabaseRow(options.row);
    if (options.hasFirstName) query.SetFirstName(options.firstName.c_str());
    if (options.row >= 0) {
        db.Search(query);
    } else {
        db.SearchCode(query, options.code);  // honorol: no list row selects it
    }
}

// The Prev and Next buttons: a turn only while its button would be enabled,
// and only with the data disk there. False when the disk check was cancelled.
bool ApplyTurns(const std::string& turns, CRecordDatabase& db, CResultPager& pager) {
    for (char turn : turns) {
        const bool next = turn == 'n';
        if (!(next ? pager.HasNext() : pager.HasPrev())) continue;
        if (!db.CheckDataDisk()) return false;
        if (next) {
            pager.NextPage();
        } else {
            pager.PrevPage();
        }
    }
    return true;
}

void PrintPage(CResultPager& pager, QueryOutput& out) {
    char line[CResultPager::kRowTextSize];
    std::snprintf(line, sizeof line, "%ld records found.", static_cast<long>(pager.RecordCount()));
    out.Line(line);
    // A failed history page read leaves a negative count: a page without rows.
    for (int i = 0; i < pager.RowsOnPage(); ++i) {
        pager.FormatRow(i, line);
        out.Line(line);
    }
    std::snprintf(line, sizeof line, "prev=%s next=%s", pager.HasPrev() ? "on" : "off",
                  pager.HasNext() ? "on" : "off");
    out.Line(line);
}

// More Info on a row of the page shown: disk check, title, full text.
int PrintMoreInfo(long row, CRecordDatabase& db, CResultPager& pager, QueryOutput& out) {
    if (row < 0 || row >= pager.RowsOnPage()) {
        char text[96];
        std::snprintf(text, sizeof text, "--more-info: the page has no row %ld", row);
        Complain(text);
        return kExitFailed;
    }
    if (!db.CheckDataDisk()) return kExitFailed;
    const int index = static_cast<int>(row);
    char rowText[CResultPager::kRowTextSize];
    pager.FormatRow(index, rowText);
    char title[kTitleWorkSize + 2];
    BuildMoreInfoTitle(rowText, title, sizeof title);
    out.Line(title);
    out.Line(pager.GetFullText(index));
    return kExitSearched;
}

}  // namespace

void InstallServices() {
    platform::SetMessageBoxHandler(platform::StderrMessageBox, nullptr);
    platform::SetExitHandler(FlushAndExit);
}

int RunQuery(const QueryOptions& options) {
    CDirectories dirs;
    dirs.LoadDirectories();
    if (options.hasDataDir) dirs.SetDataDir(options.dataDir.c_str());
    if (options.hasInstallDir) dirs.SetInstallDir(options.installDir.c_str());

    CRecordDatabase db(dirs);
    CResultPager pager(&db);
    db.SetPager(&pager);
    pager.SetPageSize(options.largeText);

    Search(options, db, pager);
    // Not open: the disk prompt was cancelled or a file could not be opened;
    // the message is already on stderr.
    if (!db.IsOpen()) return kExitFailed;
    if (ScratchFailed(pager)) return kExitFailed;
    if (!ApplyTurns(options.turns, db, pager)) return kExitFailed;

    QueryOutput out(stdout, options.raw);
    PrintPage(pager, out);
    int status = kExitSearched;
    if (options.hasMoreInfo) status = PrintMoreInfo(options.moreInfoRow, db, pager, out);
    if (!out.Finish()) {
        Complain("cannot write the standard output");
        return kExitFailed;
    }
    return status;
}

}  // namespace query_tool
