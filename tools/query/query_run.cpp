#include "tools/query/query_run.h"

#include <cstdio>
#include <cstdlib>

#include "browse/more_info_title.h"
#include "browse/search_session.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "store/directories.h"
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

// The Prev and Next buttons: a turn only while its button would be enabled,
// and only with the data disk there. False when the disk check was cancelled.
bool ApplyTurns(const std::string& turns, CSearchSession& session) {
    for (char turn : turns) {
        const bool next = turn == 'n';
        if (!(next ? session.HasNext() : session.HasPrev())) continue;
        if (!session.CheckDataDisk()) return false;
        if (next) {
            session.NextPage();
        } else {
            session.PrevPage();
        }
    }
    return true;
}

void PrintPage(CSearchSession& session, QueryOutput& out) {
    char line[CResultPager::kRowTextSize];
    std::snprintf(line, sizeof line, "%ld records found.", static_cast<long>(session.RecordCount()));
    out.Line(line);
    // A failed history page read leaves a negative count: a page without rows.
    for (int i = 0; i < session.RowsOnPage(); ++i) {
        session.FormatRow(i, line);
        out.Line(line);
    }
    std::snprintf(line, sizeof line, "prev=%s next=%s", session.HasPrev() ? "on" : "off",
                  session.HasNext() ? "on" : "off");
    out.Line(line);
}

// More Info on a row of the page shown: disk check, title, full text.
int PrintMoreInfo(long row, CSearchSession& session, QueryOutput& out) {
    if (row < 0 || row >= session.RowsOnPage()) {
        char text[96];
        std::snprintf(text, sizeof text, "--more-info: the page has no row %ld", row);
        Complain(text);
        return kExitFailed;
    }
    if (!session.CheckDataDisk()) return kExitFailed;
    const int index = static_cast<int>(row);
    char rowText[CResultPager::kRowTextSize];
    session.FormatRow(index, rowText);
    char title[kTitleWorkSize + 2];
    BuildMoreInfoTitle(rowText, title, sizeof title);
    out.Line(title);
    out.Line(session.GetFullText(index));
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

    CSearchSession session(dirs);
    session.SetPageSize(options.largeText);

    // The Search button; honorol is reached by its code, as no list row selects it.
    const char* firstName = options.hasFirstName ? options.firstName.c_str() : nullptr;
    const SearchOutcome outcome = options.row >= 0
                                      ? session.Search(options.row, options.surname.c_str(), firstName)
                                      : session.SearchCode(options.code, options.surname.c_str(), firstName);
    // The message of a failure is already on stderr.
    switch (outcome.status) {
        case SearchStatus::Found:
        case SearchStatus::NotFound:
            break;
        default:
            return kExitFailed;
    }
    if (!ApplyTurns(options.turns, session)) return kExitFailed;

    QueryOutput out(stdout, options.raw);
    PrintPage(session, out);
    int status = kExitSearched;
    if (options.hasMoreInfo) status = PrintMoreInfo(options.moreInfoRow, session, out);
    if (!out.Finish()) {
        Complain("cannot write the standard output");
        return kExitFailed;
    }
    return status;
}

}  // namespace query_tool
