// Fault injection: the files of a working installation go wrong between or
// during commands, the way a damaged disk or a half-copied folder makes them
// go wrong. The tests run as root, so file permissions prove nothing; the
// faults are made of folders where files belong, devices behind links,
// files cut or replaced under open streams, folders that are missing, and
// writes that a full or swallowing device would fail.
//
// Every fault must either show its message and leave the next search
// working, or, for "wrong file format!", end through platform::ExitProcess(1);
// a first-name search that loses hits must say that it is incomplete.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "browse/session/result_pager.h"
#include "browse/session/search_session.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "store/search_query.h"
#include "support/failing_io.h"
#include "support/shown_outcome.h"
#include "support/test_support.h"

using search_messages::kInsertDiskText;
using testing_support::BoxPrompt;
using testing_support::ExitCatcher;
using testing_support::FaultyWrites;
using testing_support::ProcessExited;
using testing_support::ReadFileBytes;
using testing_support::ScriptedResponder;
using testing_support::Shown;
using testing_support::TempDir;
using testing_support::WriteFault;
using testing_support::WriteFileBytes;

namespace {

constexpr int kCode = 11;  // long keys, nine labelled fields
constexpr int kPeople = 25;
constexpr const char kIncomplete[] = "The first-name search is incomplete";
constexpr const char kNotDone[] = "The first-name search could not be done";

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// A data disk with one database of 25 people named Smith, an installation
// folder, and the search session a view would hold. The commands below do
// what the view's handlers do.
class FaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        CDatabaseWriter writer(kCode);
        std::string error;
        for (int i = 0; i < kPeople; ++i) {
            const std::string given = (i % 5 == 4 ? "Mary " : "John ") + std::to_string(i);
            ASSERT_TRUE(
                writer.Add({"Smith", given, {"J", "Ohio", "PFC", "7th Inf " + std::to_string(i)}}, &error))
                << error;
        }
        ASSERT_TRUE(writer.Add({"Lee", "Robert", {"E", "Virginia"}}, &error)) << error;
        ASSERT_TRUE(writer.Write(data_.Path(), 0, &error)) << error;
        WriteFileBytes(data_.File(kMarkerFileName), "");
        for (const char* extension : {".ext", ".cor", ".tre"}) {
            originals_.push_back(ReadFileBytes(DatabaseFile(extension)));
        }
        dirs_.SetDataDir(data_.Path().c_str());
        dirs_.SetInstallDir(install_.Path().c_str());
    }

    // The view creates these when its window is created.
    void CreateView() {
        session_ = std::make_unique<CSearchSession>(dirs_, BoxPrompt());
        pager_ = &session_->Pager();
    }

    std::string DatabaseFile(const char* extension) const {
        return data_.File(std::string(catalogue::StemOf(kCode)) + extension);
    }
    std::string HistoryPath() const { return install_.File(disk_format::kHistoryFileName); }
    void RestoreDatabase() {
        const char* extensions[] = {".ext", ".cor", ".tre"};
        for (int i = 0; i < 3; ++i) {
            std::remove(DatabaseFile(extensions[i]).c_str());
            ::rmdir(DatabaseFile(extensions[i]).c_str());
            WriteFileBytes(DatabaseFile(extensions[i]), originals_[static_cast<std::size_t>(i)]);
        }
    }

    bool Search(const char* surname, const char* firstName = "") {
        if (!session_) CreateView();
        return Shown(session_->Search(catalogue::RowOfCode(kCode), surname, firstName)).status ==
               SearchStatus::Found;
    }
    // False when the disk check was cancelled or the page could not be read.
    bool Next() { return Shown(session_->TurnPage(true)).status == SearchStatus::Found; }
    bool Prev() { return Shown(session_->TurnPage(false)).status == SearchStatus::Found; }
    // More Info: empty when the disk check was cancelled.
    // More Info: empty when the disk check was cancelled or the record could not be read.
    std::string MoreInfo(int row) { return Shown(session_->FullText(row)).text; }
    // The message of a file that was cut while the database was open.
    std::string CutShort(const std::string& file) const {
        return "Could not read " + file + ": the file is shorter than it was when it was opened.";
    }
    std::string Stem() const { return catalogue::StemOf(kCode); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < pager_->RowsOnPage(); ++i) names.push_back(pager_->Row(i).givenNames);
        return names;
    }

    // Every row as the view shows it, within its buffers.
    void ExpectPageWithinBounds() {
        ASSERT_LE(pager_->RowsOnPage(), CResultPager::kMaxRows);
        EXPECT_GE(pager_->RecordCount(), 0);
        for (int i = 0; i < pager_->RowsOnPage(); ++i) {
            char text[CResultPager::kRowTextSize];
            pager_->FormatRow(i, text);
            EXPECT_LT(std::strlen(text), sizeof text);
            EXPECT_LE(std::strlen(pager_->Row(i).summary), 40u);
            EXPECT_LT(std::strlen(pager_->GetFullText(i).text), CResultPager::kFullTextSize);
        }
    }

    // The search the user runs after the fault is mended gives the full answer.
    void ExpectWorkingAgain() {
        boxes_.Clear();
        EXPECT_TRUE(Search("smith"));
        EXPECT_EQ(pager_->RecordCount(), kPeople);
        EXPECT_EQ(pager_->RowsOnPage(), 10);
        EXPECT_EQ(Names().front(), "John 0");
        EXPECT_TRUE(pager_->HasNext());
        EXPECT_NE(std::string(pager_->GetFullText(0).text).find("7th Inf 0"), std::string::npos);
        Search("smith", "mary");
        EXPECT_EQ(pager_->RecordCount(), kPeople / 5);
        EXPECT_TRUE(boxes_.Shown().empty()) << boxes_.Texts().front();
    }

    ScriptedResponder boxes_;
    TempDir data_;
    TempDir install_;
    CDirectories dirs_;
    std::unique_ptr<CSearchSession> session_;
    CResultPager* pager_ = nullptr;
    std::vector<std::string> originals_;
};

TEST_F(FaultTest, DatabaseFileThatIsAFolder) {
    CreateView();
    for (const char* extension : {".ext", ".cor"}) {
        SCOPED_TRACE(extension);
        std::remove(DatabaseFile(extension).c_str());
        ASSERT_EQ(::mkdir(DatabaseFile(extension).c_str(), 0755), 0);
        boxes_.Clear();
        EXPECT_FALSE(Search("smith"));
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{extension + 1});
        EXPECT_EQ(pager_->RecordCount(), 0);
        EXPECT_EQ(pager_->RowsOnPage(), 0);
        EXPECT_FALSE(pager_->HasNext());
        RestoreDatabase();
        ExpectWorkingAgain();
    }
}

TEST_F(FaultTest, IndexThatIsAFolderEndsTheProcess) {
    ExitCatcher exits;
    CreateView();
    std::remove(DatabaseFile(".tre").c_str());
    ASSERT_EQ(::mkdir(DatabaseFile(".tre").c_str(), 0755), 0);
    try {
        Search("smith");
        ADD_FAILURE() << "the search went on after a folder named like the index";
    } catch (const ProcessExited& exited) {
        EXPECT_EQ(exited.status, 1);
    }
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"wrong file format!"});
}

TEST_F(FaultTest, IndexCutOrReplacedBetweenSearchesEndsTheProcess) {
    ExitCatcher exits;
    ASSERT_TRUE(Search("smith"));
    // The index is read only by a search, so the page turns go on as before.
    WriteFileBytes(DatabaseFile(".tre"), originals_[2].substr(0, originals_[2].size() / 2));
    ASSERT_TRUE(Next());
    EXPECT_EQ(Names().front(), "John 10");
    EXPECT_THROW(Search("smith"), ProcessExited);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"wrong file format!"});
    // An index cut to nothing, and one replaced by text, are refused the same way.
    for (const std::string& bytes : {std::string(), std::string("not an index\n")}) {
        WriteFileBytes(DatabaseFile(".tre"), bytes);
        boxes_.Clear();
        EXPECT_THROW(Search("smith"), ProcessExited);
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"wrong file format!"});
    }
    session_.reset();
    pager_ = nullptr;
    RestoreDatabase();
    ExpectWorkingAgain();
}

TEST_F(FaultTest, MarkerThatIsAFolderAsksForTheDisk) {
    std::remove(data_.File(kMarkerFileName).c_str());
    ASSERT_EQ(::mkdir(data_.File(kMarkerFileName).c_str(), 0755), 0);
    EXPECT_FALSE(Search("smith"));
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].text, kInsertDiskText);
    EXPECT_EQ(boxes_.Shown()[0].buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(pager_->RecordCount(), 0);
    ::rmdir(data_.File(kMarkerFileName).c_str());
    WriteFileBytes(data_.File(kMarkerFileName), "");
    ExpectWorkingAgain();
}

TEST_F(FaultTest, MarkerRemovedBetweenTwoCommands) {
    ASSERT_TRUE(Search("smith"));
    std::remove(data_.File(kMarkerFileName).c_str());

    // Cancel: Next, Prev, More Info and a new search give up without another box.
    boxes_.Clear();
    EXPECT_FALSE(Next());
    EXPECT_FALSE(Prev());
    EXPECT_EQ(MoreInfo(0), "");
    EXPECT_EQ(Names().front(), "John 0");  // the page shown stays as it was
    EXPECT_EQ(boxes_.Shown().size(), 3u);
    EXPECT_FALSE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), 0);

    // OK after putting the disk back: the command goes on.
    boxes_.Script({platform::MessageAnswer::Ok});
    boxes_.onShow = [this](const testing_support::ShownBox&) {
        WriteFileBytes(data_.File(kMarkerFileName), "");
    };
    boxes_.Clear();
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(boxes_.Shown().size(), 1u);
    boxes_.onShow = nullptr;
    EXPECT_EQ(pager_->RecordCount(), kPeople);
    std::remove(data_.File(kMarkerFileName).c_str());
    boxes_.Script({platform::MessageAnswer::Ok});
    boxes_.onShow = [this](const testing_support::ShownBox&) {
        WriteFileBytes(data_.File(kMarkerFileName), "");
    };
    EXPECT_TRUE(Next());
    EXPECT_EQ(Names().front(), "John 10");
    boxes_.onShow = nullptr;
    ExpectWorkingAgain();
}

TEST_F(FaultTest, HistoryBufferOnAFullDeviceReportsAnIncompleteSearch) {
    auto full = std::make_unique<FaultyWrites>(WriteFault::Full);
    CreateView();
    Search("smith", "j");
    ASSERT_FALSE(boxes_.Texts().empty());
    EXPECT_TRUE(StartsWith(boxes_.Texts().back(), kIncomplete)) << boxes_.Texts().back();
    EXPECT_NE(boxes_.Texts().back().find(HistoryPath()), std::string::npos);
    // Nothing could be written, so nothing is listed, and no page turn is offered.
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_LE(pager_->RowsOnPage(), 0);
    EXPECT_FALSE(pager_->HasNext());
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_TRUE(Next());
    ExpectPageWithinBounds();

    // Searches without a first name do not need the file.
    boxes_.Clear();
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), kPeople);
    EXPECT_TRUE(boxes_.Shown().empty());

    full.reset();
    ExpectWorkingAgain();
}

TEST_F(FaultTest, HistoryBufferThatCannotBeMade) {
    // A folder where the file belongs, and an installation "folder" that is a file.
    ASSERT_EQ(::mkdir(HistoryPath().c_str(), 0755), 0);
    CreateView();
    Search("smith", "john");
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_TRUE(StartsWith(boxes_.Texts()[0], kNotDone)) << boxes_.Texts()[0];
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_FALSE(pager_->HasNext());
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_TRUE(Next());
    EXPECT_TRUE(Prev());
    EXPECT_LE(pager_->RowsOnPage(), 0);
    boxes_.Clear();
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), kPeople);
    ::rmdir(HistoryPath().c_str());
    ExpectWorkingAgain();

    const std::string file = install_.File("plain-file");
    WriteFileBytes(file, "x");
    dirs_.SetInstallDir(file.c_str());
    session_.reset();
    pager_ = nullptr;
    CreateView();
    boxes_.Clear();
    Search("smith", "john");
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_TRUE(StartsWith(boxes_.Texts()[0], kNotDone));
    EXPECT_EQ(ReadFileBytes(file), "x");
}

TEST_F(FaultTest, HistoryBufferThatIsNotAPlainFileIsNeitherFollowedNorWritten) {
    // Planted where history.buf belongs; a link points out of the folder.
    TempDir elsewhere;
    const std::string letter = elsewhere.File("letter.txt");
    const std::string notYet = elsewhere.File("not-yet");
    struct Planted {
        const char* what;
        bool (*plant)(const std::string& path, const std::string& letter, const std::string& notYet);
    };
    const Planted planted[] = {
        {"a link to a file", [](const std::string& p, const std::string& l,
                                const std::string&) { return ::symlink(l.c_str(), p.c_str()) == 0; }},
        {"a dangling link", [](const std::string& p, const std::string&,
                               const std::string& n) { return ::symlink(n.c_str(), p.c_str()) == 0; }},
        {"a folder", [](const std::string& p, const std::string&,
                        const std::string&) { return ::mkdir(p.c_str(), 0755) == 0; }},
        {"a FIFO", [](const std::string& p, const std::string&,
                      const std::string&) { return ::mkfifo(p.c_str(), 0644) == 0; }},
    };
    for (const Planted& thing : planted) {
        SCOPED_TRACE(thing.what);
        session_.reset();
        std::filesystem::remove(HistoryPath());
        WriteFileBytes(letter, "Dear John,");
        ASSERT_TRUE(thing.plant(HistoryPath(), letter, notYet));
        struct stat before {};
        ASSERT_EQ(::lstat(HistoryPath().c_str(), &before), 0);
        CreateView();
        boxes_.Clear();
        Search("smith", "john");
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{std::string(kNotDone) + ": " + HistoryPath() +
                                                           " is not a plain file."});
        EXPECT_EQ(pager_->RecordCount(), 0);
        EXPECT_FALSE(pager_->HasNext());
        // Nothing written anywhere: not through the link, not beside it.
        EXPECT_EQ(ReadFileBytes(letter), "Dear John,");
        EXPECT_NE(::access(notYet.c_str(), F_OK), 0);
        struct stat after {};
        ASSERT_EQ(::lstat(HistoryPath().c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(install_.Path()),
                                std::filesystem::directory_iterator()),
                  1);
        boxes_.Clear();
        EXPECT_TRUE(Search("smith"));
        EXPECT_EQ(pager_->RecordCount(), kPeople);
        EXPECT_TRUE(boxes_.Shown().empty());
        std::filesystem::remove(HistoryPath());
        ExpectWorkingAgain();
    }
    // The file made afresh is the user's alone (the umask may take more away).
    struct stat made {};
    ASSERT_EQ(::stat(HistoryPath().c_str(), &made), 0);
    EXPECT_TRUE(S_ISREG(made.st_mode));
    EXPECT_EQ(made.st_mode & 0077, 0u);
}

TEST_F(FaultTest, InstallationFolderThatDoesNotExist) {
    const std::string missing = install_.File("not/there");
    dirs_.SetInstallDir(missing.c_str());
    CreateView();
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), kPeople);
    EXPECT_TRUE(boxes_.Shown().empty());
    Search("smith", "john");
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_TRUE(StartsWith(boxes_.Texts()[0], kNotDone));
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_FALSE(pager_->HasNext());
    EXPECT_EQ(::access(missing.c_str(), F_OK), -1);  // nothing is created on the way

    // Once the folder exists, the next first-name search uses it.
    ASSERT_EQ(::mkdir(install_.File("not").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(missing.c_str(), 0755), 0);
    boxes_.Clear();
    Search("smith", "john");
    EXPECT_EQ(pager_->RecordCount(), kPeople - kPeople / 5);
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(FaultTest, DataFolderThatDoesNotExist) {
    dirs_.SetDataDir(data_.File("not/there").c_str());
    EXPECT_FALSE(Search("smith"));
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].text, kInsertDiskText);
    EXPECT_EQ(pager_->RecordCount(), 0);
    dirs_.SetDataDir(data_.Path().c_str());
    ExpectWorkingAgain();
}

TEST_F(FaultTest, EntryFileCutOrReplacedBeforeAPageTurn) {
    ASSERT_TRUE(Search("smith"));
    const std::vector<std::string> firstPage = Names();
    // Cut to nothing: the page turn cannot read its entries. It says so and
    // leaves the page, the count and the buttons as they were; so does the
    // next try, which opens the file afresh and finds it still cut.
    WriteFileBytes(DatabaseFile(".cor"), "");
    boxes_.Clear();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(Next());
        EXPECT_EQ(Names(), firstPage);
        EXPECT_EQ(pager_->RecordCount(), kPeople);
        EXPECT_TRUE(pager_->HasNext());
        EXPECT_FALSE(pager_->HasPrev());
    }
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>(2, CutShort(Stem() + ".cor")));
    // Replaced by other bytes of the same size: offsets point anywhere, and
    // the rows stay within their fields.
    WriteFileBytes(DatabaseFile(".cor"), std::string(originals_[1].size(), '\xff'));
    EXPECT_TRUE(Next());
    ExpectPageWithinBounds();
    // The files stay open for paging: put back, they are seen by the next search.
    RestoreDatabase();
    EXPECT_TRUE(Prev());
    ExpectPageWithinBounds();
    ExpectWorkingAgain();
}

TEST_F(FaultTest, RecordFileCutBeforeMoreInfoAndAPageTurn) {
    ASSERT_TRUE(Search("smith"));
    const std::string before = MoreInfo(3);
    ASSERT_NE(before.find("7th Inf 3"), std::string::npos);
    WriteFileBytes(DatabaseFile(".ext"), "");
    boxes_.Clear();
    // Neither a shorter text nor a page of empty summaries: the record
    // cannot be read, and the user is told.
    EXPECT_EQ(MoreInfo(3), "");
    EXPECT_FALSE(Next());
    EXPECT_EQ(Names().front(), "John 0");
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>(2, CutShort(Stem() + ".ext")));
    // The disk put right, the next command works at once.
    RestoreDatabase();
    EXPECT_TRUE(Next());
    EXPECT_EQ(Names().front(), "John 10");
    EXPECT_NE(MoreInfo(0).find("7th Inf 10"), std::string::npos);
    ExpectWorkingAgain();
}

TEST_F(FaultTest, RecordFileReplacedBeforeMoreInfo) {
    ASSERT_TRUE(Search("smith"));
    const std::string before = MoreInfo(2);
    // Replaced by a new file (a copy finishing): the open stream keeps the old one.
    const std::string replacement = data_.File("replacement");
    WriteFileBytes(replacement, std::string(100, 'z'));
    ASSERT_EQ(std::rename(replacement.c_str(), DatabaseFile(".ext").c_str()), 0);
    EXPECT_EQ(MoreInfo(2), before);
    // Overwritten in place by one long line without field ends: cut at the buffers.
    WriteFileBytes(DatabaseFile(".ext"), std::string(9000, 'x'));
    for (int i = 0; i < pager_->RowsOnPage(); ++i) {
        EXPECT_LT(MoreInfo(i).size(), CResultPager::kFullTextSize);
    }
    EXPECT_TRUE(Next());
    ExpectPageWithinBounds();
    RestoreDatabase();
    ExpectWorkingAgain();
}

TEST_F(FaultTest, HistoryBufferCutOrReplacedBeforeAPageTurn) {
    Search("smith", "john");
    ASSERT_EQ(pager_->RecordCount(), 20);
    ASSERT_TRUE(boxes_.Shown().empty());
    const std::vector<std::string> firstPage = Names();
    // Cut: the hits of the next page are gone. The turn says so and leaves
    // the page as it was.
    WriteFileBytes(HistoryPath(), "");
    EXPECT_FALSE(Next());
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{CutShort(HistoryPath())});
    EXPECT_EQ(Names(), firstPage);
    EXPECT_EQ(pager_->RecordCount(), 20);
    EXPECT_TRUE(pager_->HasNext());
    // Replaced by bytes from elsewhere: the rows stay within their fields.
    WriteFileBytes(HistoryPath(), std::string(6000, '\xff'));
    EXPECT_TRUE(Prev());
    ExpectPageWithinBounds();
    EXPECT_TRUE(Next());
    ExpectPageWithinBounds();
    ExpectWorkingAgain();
}

TEST_F(FaultTest, DatabaseFilesThatNeverEnd) {
    if (::access("/dev/zero", R_OK) != 0) GTEST_SKIP() << "no /dev/zero";
    ExitCatcher exits;
    // A record file that reads without end: every read stops at its buffer.
    std::remove(DatabaseFile(".ext").c_str());
    ASSERT_EQ(::symlink("/dev/zero", DatabaseFile(".ext").c_str()), 0);
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RowsOnPage(), 10);
    ExpectPageWithinBounds();
    RestoreDatabase();

    // An entry file without an end holds no name width.
    std::remove(DatabaseFile(".cor").c_str());
    ASSERT_EQ(::symlink("/dev/zero", DatabaseFile(".cor").c_str()), 0);
    boxes_.Clear();
    EXPECT_FALSE(Search("smith"));
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_NE(boxes_.Texts()[0].find("name width"), std::string::npos);
    RestoreDatabase();

    // An index without an end has no signature.
    std::remove(DatabaseFile(".tre").c_str());
    ASSERT_EQ(::symlink("/dev/zero", DatabaseFile(".tre").c_str()), 0);
    boxes_.Clear();
    EXPECT_THROW(Search("smith"), ProcessExited);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"wrong file format!"});
    session_.reset();
    pager_ = nullptr;
    RestoreDatabase();
    ExpectWorkingAgain();
}

TEST_F(FaultTest, HistoryBufferThatSwallowsWrites) {
    // Writes succeed but nothing can be read back: the hits are lost, and
    // the user must be told so.
    auto swallowed = std::make_unique<FaultyWrites>(WriteFault::Swallowed);
    CreateView();
    Search("smith", "john");
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_TRUE(StartsWith(boxes_.Texts()[0], kIncomplete)) << boxes_.Texts()[0];
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_FALSE(pager_->HasNext());
    swallowed.reset();
    ExpectWorkingAgain();
}

}  // namespace

namespace {

// Another database of the same code and stem: Lee and 7 Smiths of its own.
void WriteOtherDatabase(const std::string& folder) {
    CDatabaseWriter writer(kCode);
    std::string error;
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(writer.Add({"Smith", "Other " + std::to_string(i), {"X"}}, &error));
    ASSERT_TRUE(writer.Add({"Lee", "Ann", {"Y"}}, &error));
    ASSERT_TRUE(writer.Write(folder, 0, &error)) << error;
    WriteFileBytes(folder + "/" + kMarkerFileName, "other disk");
}

}  // namespace

TEST_F(FaultTest, EverySearchSeesTheFilesAsTheyAreThen) {
    ASSERT_TRUE(Search("smith"));
    ASSERT_EQ(pager_->RecordCount(), kPeople);
    const std::string other = data_.File("other");
    ASSERT_EQ(::mkdir(other.c_str(), 0755), 0);
    WriteOtherDatabase(other);
    const std::string stem = catalogue::StemOf(kCode);

    // The files replaced one by one between two searches (a copy finishing):
    // the next search reads the new ones.
    for (const char* extension : {".ext", ".cor", ".tre"}) {
        ASSERT_EQ(std::rename((other + "/" + stem + extension).c_str(), DatabaseFile(extension).c_str()), 0);
    }
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), 7);
    EXPECT_EQ(Names().front(), "Other 0");

    // Overwritten in place, the index keeping its size: seen as well.
    RestoreDatabase();
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), kPeople);

    // Another disk put in under the same path: the whole folder replaced.
    const std::string moved = data_.Path() + ".away";
    ASSERT_EQ(std::rename(data_.Path().c_str(), moved.c_str()), 0);
    ASSERT_EQ(::mkdir(data_.Path().c_str(), 0755), 0);
    WriteOtherDatabase(data_.Path());
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), 7);
    EXPECT_TRUE(boxes_.Shown().empty());
    std::filesystem::remove_all(data_.Path());
    ASSERT_EQ(std::rename(moved.c_str(), data_.Path().c_str()), 0);
    EXPECT_TRUE(Search("smith"));
    EXPECT_EQ(pager_->RecordCount(), kPeople);
}
