#pragma once
// The fixture of the result pager's tests: a test database opened under
// a pager, the first-name filter run over the whole .cor file, and the
// names and rows of the page shown.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "browse/record_text/search_messages.h"
#include "browse/session/history_buffer.h"
#include "browse/session/result_pager.h"
#include "browse/session/search_session.h"
#include "browse_test_files.h"
#include "store/database_writer.h"
#include "store/search_query.h"
#include "support/failing_io.h"
#include "support/shown_outcome.h"

namespace result_pager_test {

using browse_test::F;
using testing_support::ScriptedResponder;

inline constexpr int kCode = 11;
// Entries before the range, so that a range never starts at entry 0.
inline constexpr int kLead = 5;

inline std::vector<std::string> PageNames(const CResultPager& pager) {
    std::vector<std::string> names;
    for (int i = 0; i < pager.RowsOnPage(); ++i) names.push_back(pager.Row(i).givenNames);
    return names;
}

inline std::vector<std::string> Numbered(const std::string& stem, int first, int count) {
    std::vector<std::string> names;
    for (int i = first; i < first + count; ++i) names.push_back(stem + std::to_string(i));
    return names;
}

inline std::string RowText(const CResultPager& pager, int i) {
    char out[CResultPager::kRowTextSize];
    pager.FormatRow(i, out);
    return out;
}

class PagerTest : public ::testing::Test {
protected:
    void Open(int code = kCode, int width = 20) {
        ASSERT_TRUE(files_.WriteAndOpen(code, width));
        pager_ = std::make_unique<CResultPager>(&files_.Db());
        pager_->Reset();
    }
    // Runs the filter over the whole .cor file with a first name as the
    // query forms it.
    void Filter(const char* typed, bool variants = false) {
        pager_->Reset();
        pager_->SetRange(0, static_cast<std::int32_t>(files_.EntryCount()));
        char surname[] = "Jones";
        pager_->SetSurname(surname);
        CSearchQuery query;
        query.SetSurname("Jones");
        query.SetFirstName(typed);
        last_ = pager_->FilterByFirstName(query.FirstName(), variants);
    }
    std::string HistoryPath() const { return files_.Dir().File(disk_format::kHistoryFileName); }
    // The message the session would show for what the pager reports.
    std::vector<std::string> Reported() const {
        if (!last_.Failed()) return {};
        return {search_messages::MessageOf(last_)};
    }
    // What the last filter (or listing) reported.
    StoreError last_;

    ScriptedResponder boxes_;
    browse_test::TestDatabase files_;
    std::unique_ptr<CResultPager> pager_;
};

}  // namespace result_pager_test
