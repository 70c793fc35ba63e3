#include "browse/session/search_session.h"

#include <cstring>
#include <utility>

#include "browse/record_text/more_info_title.h"
#include "browse/record_text/search_messages.h"
#include "store/catalogue.h"
#include "store/directories.h"

CSearchSession::CSearchSession(const CDirectories& dirs, DiskPrompt prompt)
    : database_(dirs), pager_(&database_), prompt_(std::move(prompt)) {}

CSearchSession::~CSearchSession() { Close(); }

SearchOutcome CSearchSession::Search(int row, const char* surname, const char* firstName) {
    return Run(true, catalogue::CodeOfRow(row), row, surname, firstName, kMaxSurname);
}

SearchOutcome CSearchSession::SearchListed(int row, const char* surname, const char* firstName) {
    return Run(true, catalogue::CodeOfRow(row), row, surname, firstName, kMaxListedSurname);
}

SearchOutcome CSearchSession::SearchCode(int code, const char* surname, const char* firstName) {
    return Run(false, code, catalogue::RowOfCode(code), surname, firstName, kMaxSurname);
}

SearchOutcome CSearchSession::Fail(SearchOutcome outcome, const StoreError& error) {
    outcome.status = SearchStatus::Failed;
    outcome.error = error;
    outcome.messages.push_back(search_messages::MessageOf(error));
    outcome.details = search_messages::DetailsOf(error, database_.Directories().DataDir());
    // The program ends after this one; its files are closed first.
    if (outcome.EndsProgram()) database_.Close();
    return outcome;
}

bool CSearchSession::DiskThere() { return database_.CheckDataDisk(prompt_); }

namespace {

SearchOutcome Outcome(SearchStatus status) {
    SearchOutcome outcome;
    outcome.status = status;
    return outcome;
}

SearchOutcome Refusal(const char* what) {
    SearchOutcome outcome = Outcome(SearchStatus::Refused);
    outcome.messages.push_back(search_messages::QueryError(what));
    return outcome;
}

}  // namespace

SearchOutcome CSearchSession::Run(bool byRow, int code, int row, const char* surname, const char* firstName,
                                  std::size_t maxSurname) {
    // The page shown goes first: while a prompt below waits, the view paints
    // the Empty state.
    pager_.Reset();
    database_.ForgetReads();
    if (!query_.SetSurname(surname != nullptr ? surname : "")) return Refusal("last name is too long");
    query_.SetDatabaseRow(row);
    if (firstName != nullptr && firstName[0] != '\0' && !query_.SetFirstName(firstName)) {
        return Refusal("first name is too long");
    }

    // The key field holds at most 19 characters with short keys; a longer
    // typed surname cannot be looked up, so it is refused before anything is
    // opened. A listed one was found in a key, which holds at most 23.
    if (std::strlen(query_.Surname()) > maxSurname) return Refusal("last name is too long");
    if (!DiskThere()) return Outcome(SearchStatus::Cancelled);
    SearchOutcome outcome;
    const OpenResult opened = byRow ? database_.Open(query_.DatabaseRow()) : database_.OpenCode(code);
    if (opened.error.Failed()) return Fail(std::move(outcome), opened.error);
    if (!opened) return Outcome(SearchStatus::Refused);

    const EntryRange range = database_.FindRange(query_.Surname());
    if (range.error.Failed()) return Fail(std::move(outcome), range.error);
    if (!range.found) return outcome;
    if (range.cut) {
        outcome.messages.push_back(
            search_messages::RangeCutWarning(catalogue::StemOf(database_.DatabaseCode())));
    }

    pager_.SetRange(range.first, range.count);
    pager_.SetSurname(query_.Surname());
    // The pager is back in the Empty state when its reading failed.
    const StoreError error = query_.HasFirstName()
                                 ? pager_.FilterByFirstName(query_.FirstName(), nameVariants_)
                                 : pager_.ListRange();
    if (error.Failed()) return Fail(std::move(outcome), error);
    outcome.status = SearchStatus::Found;
    return outcome;
}

SearchOutcome CSearchSession::TurnPage(bool forward) {
    if (!DiskThere()) return Outcome(SearchStatus::Cancelled);
    database_.ForgetReads();
    const StoreError error = forward ? pager_.NextPage() : pager_.PrevPage();
    if (error.Failed()) return Fail(SearchOutcome{}, error);
    return Outcome(SearchStatus::Found);
}

RecordOutcome CSearchSession::FullText(int row) {
    RecordOutcome outcome;
    outcome.status = SearchStatus::Refused;
    if (row < 0 || row >= RowsOnPage()) return outcome;
    outcome.status = SearchStatus::Cancelled;
    if (!DiskThere()) return outcome;
    database_.ForgetReads();
    const CResultPager::FullText read = pager_.GetFullText(row);
    if (read.error.Failed()) {
        static_cast<SearchOutcome&>(outcome) = Fail(SearchOutcome{}, read.error);
        return outcome;
    }
    // The title is made from the row as it is shown, "%s\t%s\t%s".
    char rowText[CResultPager::kRowTextSize];
    pager_.FormatRow(row, rowText);
    char title[kTitleWorkSize + 2];
    BuildMoreInfoTitle(rowText, title, sizeof title);
    outcome.status = SearchStatus::Found;
    outcome.title = title;
    outcome.text = read.text;
    return outcome;
}

SearchOutcome CSearchSession::CollectHits(std::vector<ExportedHit>& hits) {
    hits.clear();
    if (RecordCount() <= 0) return Outcome(SearchStatus::Refused);
    if (!DiskThere()) return Outcome(SearchStatus::Cancelled);
    database_.ForgetReads();
    const StoreError error = pager_.CollectHits(hits);
    if (!error.Failed()) return Outcome(SearchStatus::Found);
    hits.clear();
    return Fail(SearchOutcome{}, error);
}

SearchOutcome CSearchSession::ForEachPerson(const std::function<bool(const FoundPerson&)>& visit) {
    if (!DiskThere()) return Outcome(SearchStatus::Cancelled);
    database_.ForgetReads();
    const StoreError error = pager_.ForEachPerson(visit);
    return error.Failed() ? Fail(SearchOutcome{}, error) : Outcome(SearchStatus::Found);
}

SearchOutcome CSearchSession::PersonOfRow(int row, FoundPerson& person) {
    if (!DiskThere()) return Outcome(SearchStatus::Cancelled);
    database_.ForgetReads();
    const StoreError error = pager_.PersonOfRow(row, person);
    return error.Failed() ? Fail(SearchOutcome{}, error) : Outcome(SearchStatus::Found);
}

SearchOutcome CSearchSession::ReadDiskLabel(DiskLabel& label) {
    const StoreError error = ::ReadDiskLabel(database_.Directories(), label);
    return error.Failed() ? Fail(SearchOutcome{}, error) : Outcome(SearchStatus::Found);
}

SearchOutcome CSearchSession::ReadProvenance(int code, std::vector<ProvenanceEntry>& provenance) {
    const StoreError error = ReadDatabaseProvenance(database_.Directories(), code, provenance);
    return error.Failed() ? Fail(SearchOutcome{}, error) : Outcome(SearchStatus::Found);
}

void CSearchSession::Reset() { pager_.Reset(); }

void CSearchSession::Close() { database_.Close(); }
