// The result pager's scratch file history.buf failing: it cannot be
// created, it is lost after a search, its path is too long, its device is full.

#include "result_pager_fixture.h"

using namespace result_pager_test;

namespace {

TEST_F(PagerTest, ScratchFileThatCannotBeCreated) {
    files_.AddPerson("JOHN", F("j") + "\n");
    files_.Dirs().SetInstallDir(files_.Dir().File("missing").c_str());
    Open();
    Filter("jo");
    EXPECT_EQ(Reported(),
              std::vector<std::string>{"The first-name search could not be done: could not write " +
                                       files_.Dir().File("missing/history.buf") + "."});
    EXPECT_EQ(last_.kind, StoreErrorKind::ScratchNotWritten);
    EXPECT_FALSE(pager_->IsDirectMode());
    EXPECT_EQ(pager_->RowsOnPage(), 0);
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_FALSE(pager_->HasNext());
    // Turning pages anyway reads nothing and shows nothing.
    pager_->NextPage();
    pager_->PrevPage();
    EXPECT_LE(pager_->RowsOnPage(), 0);
    EXPECT_EQ(RowText(*pager_, 0), "");
    EXPECT_STREQ(pager_->GetFullText(0).text, "");
    EXPECT_EQ(pager_->RecordCount(), 0);

    // A plain search is not affected.
    pager_->Reset();
    pager_->SetRange(0, 1);
    last_ = pager_->ListRange();
    EXPECT_EQ(pager_->RecordCount(), 1);
    EXPECT_TRUE(Reported().empty());
}

TEST_F(PagerTest, ScratchFileLostAfterASuccessfulSearch) {
    for (int i = 0; i < 3; ++i) files_.AddPerson("JOHN", F("j") + "\n");
    Open();
    Filter("jo");
    ASSERT_EQ(pager_->RecordCount(), 3);
    // A folder now stands where history.buf was: the old count must not show.
    ASSERT_EQ(::unlink(HistoryPath().c_str()), 0);
    ASSERT_EQ(::mkdir(HistoryPath().c_str(), 0755), 0);
    Filter("jo");
    EXPECT_EQ(Reported(), std::vector<std::string>{"The first-name search could not be done: " +
                                                   HistoryPath() + " is not a plain file."});
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_EQ(pager_->RowsOnPage(), 0);
    EXPECT_FALSE(pager_->HasNext());
}

TEST_F(PagerTest, InstallPathTooLongForTheScratchFile) {
    files_.AddPerson("JOHN", F("j") + "\n");
    const std::string longDir = "/" + std::string(250, 'd');
    files_.Dirs().SetInstallDir(longDir.c_str());
    Open();
    Filter("jo");
    EXPECT_EQ(Reported(),
              std::vector<std::string>{"The first-name search could not be done: could not write " + longDir +
                                       "/history.buf."});
    EXPECT_EQ(pager_->RecordCount(), 0);
}

TEST_F(PagerTest, ScratchFileOnAFullDevice) {
    testing_support::FaultyWrites full(testing_support::WriteFault::Full);
    for (int i = 0; i < 3; ++i) files_.AddPerson("JOHN", F("j") + "\n");
    Open();
    EXPECT_TRUE(Reported().empty());
    Filter("jo");
    EXPECT_EQ(Reported(), std::vector<std::string>{"The first-name search is incomplete: could not write " +
                                                   HistoryPath() + "."});
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_EQ(pager_->RowsOnPage(), 0);
    // The next search starts clean: no stale failure without a write.
    Filter("Zed");
    EXPECT_TRUE(Reported().empty());
    // The pager reports; only the session shows boxes.
    EXPECT_TRUE(boxes_.Shown().empty());
}

}  // namespace
