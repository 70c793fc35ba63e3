#pragma once
// The viewer's side of a benchmark: the record database, query and pager
// that the search view owns, driven in the order the view drives them, and
// the painting of the list (count line, row texts, button states) that
// follows every search and page turn. Any message box counts as a failure.

#include <cstdio>
#include <memory>
#include <string>

#include "browse/result_pager.h"
#include "platform/message_box.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "store/search_query.h"

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

    // The Search button from the pager's Reset to the call of Search;
    // firstName may be null.
    void Search(const char* surname, const char* firstName);
    bool CheckDataDisk() { return db_->CheckDataDisk(); }
    bool NextPage() { return pager_->NextPage(); }
    bool PrevPage() { return pager_->PrevPage(); }
    const char* FullText(int row) { return pager_->GetFullText(row); }

    long RecordCount() { return pager_->RecordCount(); }
    int RowsOnPage() const { return pager_->RowsOnPage(); }
    bool HasNext() { return pager_->HasNext(); }
    bool HasPrev() { return pager_->HasPrev(); }
    void FormatRow(int i, char* out) const { pager_->FormatRow(i, out); }

    CRecordDatabase& Database() { return *db_; }
    // Message boxes shown since construction (each one also goes to stderr).
    int MessagesShown() const { return messages_; }

private:
    static platform::MessageAnswer CountMessage(const char* text, const char* caption,
                                                platform::MessageButtons buttons, platform::MessageIcon icon,
                                                void* context);

    CDirectories dirs_;
    std::unique_ptr<CRecordDatabase> db_;
    std::unique_ptr<CResultPager> pager_;
    CSearchQuery query_;
    int messages_ = 0;
};

}  // namespace bench
