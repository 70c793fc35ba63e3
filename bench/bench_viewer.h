#pragma once
// The viewer's side of a benchmark: the search session that the search view
// owns, driven as the view drives it, and the painting of the list (count
// line, row texts, button states) that follows every search and page turn.
// Any message box counts as a failure.

#include <cstdio>
#include <memory>
#include <string>

#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "store/directories.h"

namespace bench {

// What the view paints after a search or a page turn.
struct PaintedList {
    char countLine[64];
    char rows[CResultPager::kMaxRows][CResultPager::kRowTextSize];
    int rowCount;
    bool prev;
    bool next;
};

// Paints the list of any viewer with the pager's answers.
template <typename Viewer>
void PaintList(Viewer& viewer, PaintedList& out) {
    std::snprintf(out.countLine, sizeof out.countLine, "%ld records found.",
                  static_cast<long>(viewer.RecordCount()));
    int rows = viewer.RowsOnPage();
    if (rows < 0) rows = 0;
    if (rows > CResultPager::kMaxRows) rows = CResultPager::kMaxRows;
    for (int i = 0; i < rows; ++i) viewer.FormatRow(i, out.rows[i]);
    out.rowCount = rows;
    out.prev = viewer.HasPrev();
    out.next = viewer.HasNext();
}

class BenchViewer {
public:
    // dataDir holds the database and the marker file; installDir gets history.buf.
    BenchViewer(const std::string& dataDir, const std::string& installDir);
    ~BenchViewer();
    BenchViewer(const BenchViewer&) = delete;
    BenchViewer& operator=(const BenchViewer&) = delete;

    // The Search button; firstName may be null.
    void Search(const char* surname, const char* firstName);
    // The data-disk check alone (a missing disk is not asked for).
    bool CheckDataDisk() { return session_->Database().CheckDataDisk({}); }
    // The arrow buttons, data-disk check included.
    bool NextPage() { return Shown(session_->TurnPage(true)).status == SearchStatus::Found; }
    bool PrevPage() { return Shown(session_->TurnPage(false)).status == SearchStatus::Found; }
    // More Info's full text of a row (empty when it could not be read).
    const char* FullText(int row) {
        record_ = Shown(session_->FullText(row));
        return record_.text.c_str();
    }

    long RecordCount() const { return session_->RecordCount(); }
    int RowsOnPage() const { return session_->RowsOnPage(); }
    bool HasNext() const { return session_->HasNext(); }
    bool HasPrev() const { return session_->HasPrev(); }
    void FormatRow(int i, char* out) const { session_->FormatRow(i, out); }

    CRecordDatabase& Database() { return session_->Database(); }
    // Message boxes shown since construction (each one also goes to stderr).
    int MessagesShown() const { return messages_; }

private:
    // Shows the outcome's messages, as the view does (each one counts).
    template <typename Outcome>
    const Outcome& Shown(const Outcome& outcome) {
        platform::Tell(outcome.messages, outcome.details);
        return outcome;
    }
    static platform::MessageAnswer CountMessage(const char* text, const char* caption,
                                                platform::MessageButtons buttons, platform::MessageIcon icon,
                                                const char* details, void* context);

    CDirectories dirs_;
    std::unique_ptr<CSearchSession> session_;
    RecordOutcome record_;
    int messages_ = 0;
};

}  // namespace bench
