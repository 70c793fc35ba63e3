#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "browse/record_text/search_messages.h"
#include "browse/session/search_session.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/record_database.h"
#include "store/search_query.h"
#include "support/shown_outcome.h"
#include "support/test_support.h"

using testing_support::BoxPrompt;
using testing_support::ExitCatcher;
using testing_support::Int32Bytes;
using testing_support::ProcessExited;
using testing_support::ReadFileBytes;
using testing_support::ScriptedResponder;
using testing_support::Shown;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::string Key(int code, const char* surname) {
    char key[24] = {};
    std::strncpy(key, surname, 23);
    MakeIndexKey(code, key);
    return key;
}

// A disk folder with the marker and hand-made files for one stem.
struct Disk {
    TempDir dir;
    CDirectories dirs;
    Disk() {
        WriteFileBytes(dir.File("chronaradb.id"), "");
        dirs.SetDataDir(dir.Path().c_str());
        dirs.SetInstallDir(dir.Path().c_str());
    }
    void Files(const std::string& stem, const std::string& ext, const std::string& cor) {
        WriteFileBytes(dir.File(stem + ".ext"), ext);
        WriteFileBytes(dir.File(stem + ".cor"), cor);
        WriteFileBytes(dir.File(stem + ".tre"), testing_support::EmptyIndexBytes());
    }
};

// The message the session shows for what an open reports (none when it worked).
std::vector<std::string> Message(const OpenResult& result) {
    if (!result.error.Failed()) return {};
    return {search_messages::MessageOf(result.error)};
}

}  // namespace

TEST(MakeKey, PadsByWidthAndCodeThenUpperCases) {
    EXPECT_EQ(Key(1, "smith"), "SMITH" + std::string(12, ' '));
    EXPECT_EQ(Key(7, "smith"), "SMITH" + std::string(17, ' '));
    const std::string eighteen = "abcdefghijklmnopqr";
    for (int code = 1; code <= 8; ++code)
        EXPECT_EQ(Key(code, eighteen.c_str()), "ABCDEFGHIJKLMNOPQR") << code;
    for (int code = 9; code <= 14; ++code) {
        EXPECT_EQ(Key(code, eighteen.c_str()), "ABCDEFGHIJKLMNOPQR    ") << code;
    }
    EXPECT_EQ(Key(3, "abcdefghijklmnop").size(), 17u);   // 16 characters: padded
    EXPECT_EQ(Key(3, "abcdefghijklmnopq").size(), 17u);  // 17: kept as it is
    EXPECT_EQ(Key(2, "abcdefghijklmnop").size(), 22u);
    EXPECT_EQ(Key(2, "abcdefghijklmnopq").size(), 17u);
    // Typed blanks stay; only a-z change case.
    EXPECT_EQ(Key(1, " o'brien-\xe9"), " O'BRIEN-\xe9" + std::string(7, ' '));
    for (int code = 1; code <= 14; ++code) {
        for (std::size_t length = 1; length <= 23; ++length) {
            EXPECT_EQ(IndexKeyLength(code, length), Key(code, std::string(length, 'a').c_str()).size());
        }
    }
}

TEST(SearchQuery, PadsFirstNameAndRefusesOverlongTexts) {
    // A refused text is said as the session says it.
    std::vector<std::string> said;
    auto refused = [&said](bool set, const char* what) {
        if (!set) said.push_back(search_messages::QueryError(what));
    };
    CSearchQuery query;
    query.SetSurname("smith");
    query.SetFirstName("abcdefghijklmnopqrst");
    EXPECT_TRUE(query.HasFirstName());
    const std::string first = query.FirstName();
    EXPECT_EQ(first, "ABCDEFGHIJKLMNOPQRST" + std::string(235, ' '));

    refused(query.SetSurname(std::string(256, 'x').c_str()), "last name is too long");
    EXPECT_STREQ(query.Surname(), "smith");
    EXPECT_TRUE(query.HasFirstName());  // refused: nothing changed
    refused(query.SetFirstName(std::string(256, 'y').c_str()), "first name is too long");
    EXPECT_EQ(std::string(query.FirstName()), first);
    EXPECT_EQ(said, (std::vector<std::string>{"query error: last name is too long.\n",
                                              "query error: first name is too long.\n"}));

    query.SetSurname(std::string(255, 'x').c_str());
    EXPECT_FALSE(query.HasFirstName());
    query.SetDatabaseRow(-1);
    EXPECT_EQ(query.DatabaseRow(), -1);
    query.SetDatabaseRow(12);
    EXPECT_EQ(query.DatabaseRow(), 12);
}

TEST(RecordDatabase, ReadsEntriesByWidthAndRecordsToTheLineFeed) {
    Disk disk;
    // Name width 20: entries of 24 bytes; entry 3 at offset 72, given names at 76..95.
    std::string cor;
    for (int i = 0; i < 5; ++i) {
        std::string names = "Name" + std::to_string(i);
        names.resize(20, '\0');
        cor += Int32Bytes(100 + i) + names;
    }
    cor += Int32Bytes(20);
    std::string ext(100, 'z');
    ext +=
        "a\xFF"
        "b\xFF\n"
        "next\xFF\n";
    disk.Files("titan", ext, cor);
    CRecordDatabase db(disk.dirs);
    ASSERT_TRUE(db.Open(3));
    EXPECT_EQ(db.DatabaseCode(), 3);
    EXPECT_EQ(db.NameWidth(), 20);
    EXPECT_EQ(db.EntrySize(), 24);
    CorEntry entry;
    db.ReadEntry(3, entry);
    EXPECT_EQ(entry.recordOffset, 103);
    EXPECT_STREQ(entry.givenNames, "Name3");

    char record[CRecordDatabase::kRecordBufferSize];
    db.ReadRecord(100, record);
    EXPECT_EQ(std::string(record),
              "a\xFF"
              "b\xFF\n");
    db.ReadRecord(static_cast<std::int32_t>(ext.size()), record);  // at the end of the file
    EXPECT_STREQ(record, "");
    db.ReadRecord(1 << 30, record);  // far beyond it
    EXPECT_STREQ(record, "");
}

TEST(RecordDatabase, LastRecordWithoutLineFeedAndOverlongRecords) {
    Disk disk;
    std::string ext = "first\xFF\nlast\xFF";
    const std::int32_t longAt = static_cast<std::int32_t>(ext.size());
    ext += std::string(6000, 'L') + "\n";
    disk.Files("titan", ext, Int32Bytes(0) + std::string("\0", 1) + Int32Bytes(1));
    CRecordDatabase db(disk.dirs);
    ASSERT_TRUE(db.Open(3));
    char record[CRecordDatabase::kRecordBufferSize + 8];
    std::memset(record, '#', sizeof record);
    db.ReadRecord(7, record);
    EXPECT_EQ(std::string(record, 5), "last\xFF");
    EXPECT_EQ(record[5], 'L');  // the long record follows without a line feed between
    // Cut at the buffer: 4999 bytes and the NUL, nothing beyond.
    db.ReadRecord(longAt, record);
    EXPECT_EQ(std::strlen(record), 4999u);
    EXPECT_EQ(record[CRecordDatabase::kRecordBufferSize], '#');
}

TEST(RecordDatabase, EntryPastTheEndOrWithoutNulStaysBounded) {
    Disk disk;
    // Width 4, one entry whose given names fill the field without a NUL.
    disk.Files("congen", "r\xFF\n", Int32Bytes(0) + "ABCD" + Int32Bytes(4));
    CRecordDatabase db(disk.dirs);
    ASSERT_TRUE(db.Open(0));
    CorEntry entry;
    db.ReadEntry(0, entry);
    EXPECT_STREQ(entry.givenNames, "ABCD");
    // Entry 1 would start at the width field itself: offset 8 reads 4 bytes, names nothing.
    db.ReadEntry(5, entry);  // far past the end: the buffer keeps what it had
    EXPECT_EQ(entry.recordOffset, 0);
    EXPECT_STREQ(entry.givenNames, "ABCD");
}

TEST(RecordDatabase, OpenRefusesRowsMissingFilesAndBadWidths) {
    Disk disk;
    ScriptedResponder boxes;
    CRecordDatabase db(disk.dirs);
    for (int row : {-1, 13}) {
        const OpenResult refused = db.Open(row);
        EXPECT_FALSE(refused);
        EXPECT_TRUE(Message(refused).empty());
    }
    EXPECT_EQ(db.DatabaseCode(), -1);

    OpenResult result = db.Open(2);  // rev: no files at all
    EXPECT_FALSE(result);
    EXPECT_EQ(Message(result), std::vector<std::string>{"ext"});
    EXPECT_EQ(db.DatabaseCode(), 14);
    EXPECT_FALSE(db.IsOpen());

    WriteFileBytes(disk.dir.File("rev.ext"), "");
    result = db.Open(2);
    EXPECT_FALSE(result);
    EXPECT_EQ(Message(result), std::vector<std::string>{"cor"});

    for (std::int32_t width : {0, -3, 256, 100000}) {
        disk.Files("rev", "", Int32Bytes(width));
        result = db.Open(2);
        EXPECT_FALSE(result) << width;
        ASSERT_EQ(Message(result).size(), 1u);
        EXPECT_NE(Message(result)[0].find("name width"), std::string::npos);
    }
    disk.Files("rev", "", "ab");  // too short to hold a width
    result = db.Open(2);
    EXPECT_FALSE(result);
    EXPECT_EQ(Message(result).size(), 1u);

    // A folder where a file is expected cannot be opened either.
    ::remove(disk.dir.File("pcc.ext").c_str());
    ::mkdir(disk.dir.File("pcc.ext").c_str(), 0755);
    result = db.Open(4);
    EXPECT_FALSE(result);
    EXPECT_EQ(Message(result), std::vector<std::string>{"ext"});
    // None of it showed a box: the session does that.
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(RecordDatabase, MissingIndexIsRefusedAndBadIndexEndsTheSearch) {
    Disk disk;
    ScriptedResponder boxes;
    disk.Files("titan", "x\xFF\n", Int32Bytes(0) + std::string(3, '\0') + Int32Bytes(3));
    ::remove(disk.dir.File("titan.tre").c_str());
    {
        CRecordDatabase db(disk.dirs);
        const OpenResult result = db.Open(3);
        EXPECT_FALSE(result);
        EXPECT_EQ(Message(result),
                  std::vector<std::string>{"The index file titan.tre is missing from the data disk."});
        EXPECT_FALSE(db.IsOpen());
    }
    // Nothing is written on the data disk in its place.
    EXPECT_NE(::access(disk.dir.File("titan.tre").c_str(), F_OK), 0);

    WriteFileBytes(disk.dir.File("titan.tre"), std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x03", 9));
    CRecordDatabase db(disk.dirs);
    EXPECT_EQ(db.Open(3).error.kind, StoreErrorKind::BadIndexSignature);
    // The session shows "wrong file format!" and ends the process.
    ExitCatcher exits;
    CSearchSession session(disk.dirs, BoxPrompt());
    int status = 0;
    try {
        Shown(session.Search(3, "x", nullptr));
    } catch (const ProcessExited& exited) {
        status = exited.status;
    }
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"wrong file format!"});
}

TEST(RecordDatabase, PathsThatDoNotFitAreRefused) {
    TempDir dir;
    ScriptedResponder boxes;
    CDirectories dirs;
    dirs.SetDataDir(("/" + std::string(250, 'd')).c_str());  // fits 260, not "<dir>congen.ext" in 256
    CRecordDatabase db(dirs);
    EXPECT_EQ(Message(db.Open(0)), std::vector<std::string>{"The data directory path is too long."});
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(RecordDatabase, SearchRefusesSurnamesOverNineteenCharacters) {
    Disk disk;
    ScriptedResponder boxes;
    CSearchSession session(disk.dirs, BoxPrompt());
    EXPECT_EQ(Shown(session.Search(0, std::string(20, 'a').c_str(), nullptr)).status, SearchStatus::Refused);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"query error: last name is too long.\n"});
    EXPECT_FALSE(session.Database().IsOpen());
}

TEST(RecordDatabase, AListedSurnameIsSearchedWholeUpToTheLongestKey) {
    // A 20-letter surname lies in a database of long keys; a listing finds
    // it there, and the search of what was listed must reach its people.
    Disk disk;
    const int code = 7;
    const int row = catalogue::RowOfCode(code);
    CDatabaseWriter writer(code);
    std::string error;
    ASSERT_TRUE(writer.Add({"Fitzwilliam-Montague", "Otto", {"Sergeant"}}, &error)) << error;
    ASSERT_TRUE(writer.Add({"Fitzwilliam-Montague", "Willis", {"Private"}}, &error)) << error;
    ASSERT_TRUE(writer.Write(disk.dir.Path(), 0, &error)) << error;
    ScriptedResponder boxes;
    CSearchSession session(disk.dirs, BoxPrompt());
    struct Case {
        bool listed;
        std::string surname;
        SearchStatus status;
        int count;
    };
    const Case cases[] = {{true, "FITZWILLIAM-MONTAGUE", SearchStatus::Found, 2},
                          {false, "FITZWILLIAM-MONTAGUE", SearchStatus::Refused, 0},
                          {true, std::string(23, 'a'), SearchStatus::NotFound, 0},
                          {true, std::string(24, 'a'), SearchStatus::Refused, 0}};
    for (const Case& c : cases) {
        const SearchOutcome outcome = Shown(c.listed ? session.SearchListed(row, c.surname.c_str(), "")
                                                     : session.Search(row, c.surname.c_str(), ""));
        EXPECT_EQ(outcome.status, c.status) << c.surname;
        EXPECT_EQ(session.RecordCount(), c.count) << c.surname;
    }
    // Its page, its record and its first-name filter, as any search's.
    ASSERT_EQ(Shown(session.SearchListed(row, "FITZWILLIAM-MONTAGUE", "w")).status, SearchStatus::Found);
    EXPECT_EQ(session.RecordCount(), 1);
    EXPECT_STREQ(session.Pager().Surname(), "FITZWILLIAM-MONTAGUE");
    const RecordOutcome record = session.FullText(0);
    EXPECT_EQ(record.status, SearchStatus::Found);
    EXPECT_EQ(record.title.rfind("FITZWILLIAM-MONTAGUE, Willis", 0), 0u) << record.title;
}

TEST(RecordDatabase, SearchRefusesTextsTheQueryCannotHoldInsteadOfSearchingWhatItHeldBefore) {
    // Once the surname the query kept from the last search was searched
    // again after the refusal, and a first name too long to keep was
    // dropped, which listed everyone of the surname.
    Disk disk;
    CDatabaseWriter writer(1);
    std::string error;
    ASSERT_TRUE(writer.Add({"Lee", "John", {"General"}}, &error)) << error;
    ASSERT_TRUE(writer.Write(disk.dir.Path(), 0, &error)) << error;
    ScriptedResponder boxes;
    CSearchSession session(disk.dirs, BoxPrompt());
    struct Case {
        std::string surname;
        std::string firstName;
        const char* said;
    };
    const Case cases[] = {{std::string(256, 'a'), "", "query error: last name is too long.\n"},
                          {"lee", std::string(256, 'j'), "query error: first name is too long.\n"}};
    for (const Case& c : cases) {
        ASSERT_EQ(Shown(session.Search(0, "lee", nullptr)).status, SearchStatus::Found);
        boxes.Clear();
        const SearchOutcome outcome = Shown(session.Search(0, c.surname.c_str(), c.firstName.c_str()));
        EXPECT_EQ(outcome.status, SearchStatus::Refused) << c.said;
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.said});
        EXPECT_EQ(session.RecordCount(), 0) << c.said;
    }
}

TEST(RecordDatabase, SearchGivesUpWhenTheDiskPromptIsCancelled) {
    TempDir empty;
    ScriptedResponder boxes;
    CDirectories dirs;
    dirs.SetDataDir(empty.Path().c_str());
    CSearchSession session(dirs, BoxPrompt());
    EXPECT_EQ(Shown(session.Search(0, "smith", nullptr)).status, SearchStatus::Cancelled);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].buttons, platform::MessageButtons::OkCancel);
    EXPECT_FALSE(session.Database().IsOpen());
    EXPECT_EQ(session.Database().DatabaseCode(), -1);
}
