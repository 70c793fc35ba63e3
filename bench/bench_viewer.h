#pragma once
// The viewer's side of a benchmark: the search session that the search view
// owns, driven as the view drives it, and the painting of the list (count
// line, row texts, button states) that follows every search and page turn.
// Any message box counts as a failure.

#include <cstdio>
#include <memory>
#include <string>

#include "browse/search_session.h"
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
    bool CheckDataDisk() { return session_->CheckDataDisk(); }
    bool NextPage() { return session_->NextPage(); }
    bool PrevPage() { return session_->PrevPage(); }
    const char* FullText(int row) { return session_->GetFullText(row); }

    long RecordCount() { return session_->RecordCount(); }
    int RowsOnPage() const { return session_->RowsOnPage(); }
    bool HasNext() { return session_->HasNext(); }
    bool HasPrev() { return session_->HasPrev(); }
    void FormatRow(int i, char* out) const { session_->FormatRow(i, out); }

    CRecordDatabase& Database() { return session_->Database(); }
    // Message boxes shown since construction (each one also goes to stderr).
    int MessagesShown() const { return messages_; }

private:
    static platform::MessageAnswer CountMessage(const char* text, const char* caption,
                                                platform::MessageButtons buttons, platform::MessageIcon icon,
                                                void* context);

    CDirectories dirs_;
    std::unique_ptr<CSearchSession> session_;
    int messages_ = 0;
};

}  // namespace bench
