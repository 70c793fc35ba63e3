#include "browse/search_session.h"

#include <cstring>

#include "browse/history_buffer.h"
#include "browse/search_messages.h"
#include "platform/process_exit.h"
#include "store/catalogue.h"

CSearchSession::CSearchSession(const CDirectories& dirs) : database_(dirs), pager_(&database_) {}

CSearchSession::~CSearchSession() { Close(); }

SearchOutcome CSearchSession::Search(int row, const char* surname, const char* firstName) {
    return Run(true, catalogue::CodeOfRow(row), row, surname, firstName);
}

SearchOutcome CSearchSession::SearchCode(int code, const char* surname, const char* firstName) {
    return Run(false, code, catalogue::RowOfCode(code), surname, firstName);
}

SearchOutcome CSearchSession::Fail(const StoreError& error) {
    search_messages::Show(search_messages::MessageOf(error));
    if (error.kind == StoreErrorKind::BadIndexSignature) {
        database_.Close();
        platform::ExitProcess(1);
    }
    return SearchOutcome{SearchStatus::Failed, error};
}

bool CSearchSession::Report(const StoreError& error) {
    lastError_ = error;
    if (!error.Failed()) return true;
    search_messages::Show(search_messages::MessageOf(error));
    return false;
}

SearchOutcome CSearchSession::Run(bool byRow, int code, int row, const char* surname, const char* firstName) {
    // The page shown goes first: while a prompt below waits, the view paints
    // the Empty state.
    pager_.Reset();
    database_.ForgetReads();
    query_.SetSurname(surname != nullptr ? surname : "");
    query_.SetDatabaseRow(row);
    if (firstName != nullptr && firstName[0] != '\0') query_.SetFirstName(firstName);

    // The key field holds at most 19 characters with short keys; a longer
    // surname cannot be looked up, so it is refused before anything is opened.
    if (std::strlen(query_.Surname()) > kMaxSurname) {
        query_.ReportError("last name is too long");
        return SearchOutcome{SearchStatus::Refused, {}};
    }
    if (!database_.CheckDataDisk()) return SearchOutcome{SearchStatus::Cancelled, {}};
    const OpenResult opened = byRow ? database_.Open(query_.DatabaseRow()) : database_.OpenCode(code);
    if (opened.error.Failed()) return Fail(opened.error);
    if (!opened) return SearchOutcome{SearchStatus::Refused, {}};

    const EntryRange range = database_.FindRange(query_.Surname());
    if (range.error.Failed()) return Fail(range.error);
    if (!range.found) return SearchOutcome{SearchStatus::NotFound, {}};
    if (range.cut) {
        search_messages::Show(search_messages::RangeCutWarning(catalogue::StemOf(database_.DatabaseCode())));
    }

    pager_.SetRange(range.first, range.count);
    pager_.SetSurname(query_.Surname());
    if (query_.HasFirstName()) {
        pager_.FilterByFirstName(query_.FirstName());
    } else {
        pager_.ListRange();
    }
    // The pager is back in the Empty state when its reading failed.
    if (pager_.LastError().Failed()) return Fail(pager_.LastError());
    return SearchOutcome{SearchStatus::Found, {}};
}

bool CSearchSession::CheckDataDisk() { return database_.CheckDataDisk(); }

bool CSearchSession::NextPage() {
    database_.ForgetReads();
    pager_.NextPage();
    return Report(pager_.LastError());
}

bool CSearchSession::PrevPage() {
    database_.ForgetReads();
    pager_.PrevPage();
    return Report(pager_.LastError());
}

const char* CSearchSession::GetFullText(int row) {
    database_.ForgetReads();
    const char* text = pager_.GetFullText(row);
    return Report(pager_.LastError()) ? text : nullptr;
}

bool CSearchSession::CollectHits(std::vector<ExportedHit>& hits) {
    database_.ForgetReads();
    const StoreError error = pager_.CollectHits(hits);
    if (error.Failed()) hits.clear();
    return Report(error);
}

bool CSearchSession::ForEachPerson(const std::function<bool(const FoundPerson&)>& visit) {
    database_.ForgetReads();
    return Report(pager_.ForEachPerson(visit));
}

bool CSearchSession::PersonOfRow(int row, FoundPerson& person) {
    database_.ForgetReads();
    return Report(pager_.PersonOfRow(row, person));
}

bool CSearchSession::ReadDiskLabel(DiskLabel& label) {
    return Report(::ReadDiskLabel(database_.Directories(), label));
}

void CSearchSession::Reset() {
    pager_.Reset();
    lastError_ = StoreError{};
}

void CSearchSession::Close() { database_.Close(); }
