// chronara-mkdisk run as a process: conversion, errors with their lines,
// all-or-nothing output, and a round trip through the readers and the
// query tool.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "store/csv_reader.h"
#include "store/directories.h"
#include "store/name_index.h"
#include "store/record_database.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const char kMkdisk[] = CHRONARA_BINARY_DIR "/tools/mkdisk/chronara-mkdisk";
const char kQuery[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program with its two output streams sent to files, and collects them.
ToolRun RunProgram(const char* program, const std::vector<std::string>& args) {
    TempDir scratch;
    const std::string outPath = scratch.File("out");
    const std::string errPath = scratch.File("err");
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ToolRun run;
    const pid_t child = fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0) _exit(126);
        dup2(out, 1);
        dup2(err, 2);
        execv(program, argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFileBytes(outPath);
    run.err = ReadFileBytes(errPath);
    return run;
}

ToolRun Mkdisk(const std::vector<std::string>& args) { return RunProgram(kMkdisk, args); }

// Every file of a folder with its bytes (sub-folders by name only).
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        files[name] = entry.is_directory() ? "<folder>" : ReadFileBytes(entry.path().string());
    }
    return files;
}

class MkdiskTest : public ::testing::Test {
protected:
    TempDir work_;
    std::string Source(const std::string& name, const std::string& content) const {
        const std::string path = work_.File(name);
        WriteFileBytes(path, content);
        return path;
    }
    std::string Out() const { return work_.File("disk"); }
    // Folders other than the output folder left in the work folder (temporary ones).
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(work_.Path())) {
            if (entry.is_directory() && entry.path().filename() != "disk")
                names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

TEST_F(MkdiskTest, BuildsDatabasesThatTheReadersFindPersonByPerson) {
    // titan: byte-order mark, CR LF, quoted commas, accents, a ragged row.
    const std::string titan = Source("titan.csv",
                                     "\xEF\xBB\xBFsurname,given,survived,class\r\n"
                                     "Allen,Miss. Elisabeth Walton,3,1st\r\n"
                                     "\"Andersson\",\"Mr. Anders, Johan\",0,3rd\r\n"
                                     "allen,Mr. William Henry,0\r\n"
                                     "M\xC3\xBCller,J\xC3\xA9r\xC3\xB4me,0,\xE2\x82\xAC 12\r\n");
    // ww2_kor (long keys): LF only, a surname of 21 characters padded to 22.
    const std::string kor = Source("ww2_kor.csv",
                                   "last,first,mi,from\n"
                                   "Abcdefghijklmnopqrstu,Ann,B,Ohio\n"
                                   "Zed,,,\n"
                                   "Extra,Cells,a,b,c,d\n"
                                   "Solo\n");
    const ToolRun run = Mkdisk({"--out", Out(), titan, kor});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "titan: 4 people, 3 surnames, largest surname range 2, tree height 1, name width 23\n"
              "ww2_kor: 4 people, 4 surnames, largest surname range 1, tree height 1, name width 6\n");
    EXPECT_TRUE(std::filesystem::exists(Out() + "/chronaradb.id"));
    EXPECT_TRUE(Leftovers().empty());

    testing_support::ScriptedResponder boxes;
    CDirectories dirs;
    dirs.SetDataDir(Out().c_str());
    CRecordDatabase database(dirs);
    CorEntry read;
    ASSERT_TRUE(database.OpenCode(3));
    char key[CNameIndex::kMaxKeyField] = "ALLEN            ";
    std::int32_t first = -1;
    std::int32_t count = 0;
    database.Index()->Lookup(key, first, count);
    ASSERT_EQ(count, 2);
    char record[CRecordDatabase::kRecordBufferSize];
    database.ReadEntry(first, read);
    EXPECT_STREQ(read.givenNames, "Miss. Elisabeth Walton");
    database.ReadRecord(read.recordOffset, record);
    EXPECT_STREQ(record,
                 "3\xFF"
                 "1st\xFF\n");
    database.ReadEntry(first + 1, read);
    EXPECT_STREQ(read.givenNames, "Mr. William Henry");
    database.ReadRecord(read.recordOffset, record);
    EXPECT_STREQ(record, "0\xFF\n");  // the row had one field column

    std::strcpy(key, "M\xFCLLER           ");  // only a-z are upper-cased in keys
    database.Index()->Lookup(key, first, count);
    ASSERT_EQ(count, 1);
    database.ReadEntry(first, read);
    EXPECT_STREQ(read.givenNames, "J\xE9r\xF4me");
    database.ReadRecord(read.recordOffset, record);
    EXPECT_STREQ(record, "0\xFF\x80 12\xFF\n");

    std::strcpy(key, "ANDERSSON        ");
    database.Index()->Lookup(key, first, count);
    ASSERT_EQ(count, 1);
    database.ReadEntry(first, read);
    EXPECT_STREQ(read.givenNames, "Mr. Anders, Johan");

    ASSERT_TRUE(database.OpenCode(11));
    std::strcpy(key, "ABCDEFGHIJKLMNOPQRSTU ");
    database.Index()->Lookup(key, first, count);
    ASSERT_EQ(count, 1);
    database.ReadEntry(first, read);
    database.ReadRecord(read.recordOffset, record);
    EXPECT_STREQ(record, "B\xFFOhio\xFF\n");
    std::strcpy(key, "ZED                   ");
    database.Index()->Lookup(key, first, count);
    ASSERT_EQ(count, 1);
    database.ReadEntry(first, read);
    EXPECT_STREQ(read.givenNames, "");
    database.ReadRecord(read.recordOffset, record);
    EXPECT_STREQ(record, "\xFF\xFF\n");  // empty cells are empty fields
    std::strcpy(key, "EXTRA                 ");
    database.Index()->Lookup(key, first, count);
    ASSERT_EQ(count, 1);
    database.ReadEntry(first, read);
    database.ReadRecord(read.recordOffset, record);
    EXPECT_STREQ(record,
                 "a\xFF"
                 "b\xFF"
                 "c\xFF"
                 "d\xFF\n");  // cells beyond the header are fields too
    std::strcpy(key, "SOLO                  ");
    database.Index()->Lookup(key, first, count);
    ASSERT_EQ(count, 1);
    database.ReadEntry(first, read);
    EXPECT_STREQ(read.givenNames, "");
    database.ReadRecord(read.recordOffset, record);
    EXPECT_STREQ(record, "\n");
    database.Close();
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(MkdiskTest, TheQueryToolFindsPeopleOnABuiltDisk) {
    if (::access(kQuery, X_OK) != 0) GTEST_SKIP() << "chronara-query is not built";
    const std::string titan = Source("titan.csv",
                                     "surname,given,survived\n"
                                     "Allen,Miss. Elisabeth Walton,3\n"
                                     "Allen,Mr. William Henry,0\n"
                                     "Brown,Mrs. Margaret,3\n");
    ASSERT_EQ(Mkdisk({"--out", Out(), titan}).status, 0);
    TempDir install;
    const ToolRun query =
        RunProgram(kQuery, {"--data-dir", Out(), "--install-dir", install.Path(), "--database", "titan",
                            "--surname", "allen", "--first-name", "mi"});
    EXPECT_EQ(query.status, 0) << query.err;
    EXPECT_EQ(query.out,
              "1 records found.\nALLEN\tMiss. Elisabeth Walton\tsurvived: yes\nprev=off next=off\n");
}

TEST_F(MkdiskTest, EachProblemIsReportedWithFileLineAndReason) {
    // é is two bytes in UTF-8 and one in Windows-1252: the limit counts the latter.
    std::string given255;
    for (int i = 0; i < 255; ++i) given255 += "\xC3\xA9";
    std::string given254;
    for (int i = 0; i < 254; ++i) given254 += "\xC3\xA9";
    const std::string titan =
        Source("titan.csv",
               "surname,given,f0,f1\n"
               "Good,Row,1,2\n"                 // 2
               "Kowalski,\xC5\x81ukasz,1\n"     // 3: no Windows-1252 form
               "Bad,Bytes,\xE9\n"               // 4: not UTF-8
               "Lines,Here,\"one\ntwo\"\n"      // 5: line feed in a field
               "Yy,Here,x\xC3\xBFy\n"           // 7: ÿ is byte 0xFF
               "Abcdefghijklmnopqrst,Long,1\n"  // 8: 20 characters, short keys
               ",Nobody,1\n"                    // 9: empty surname
               "Wide,\"" +
                   given255 +
                   "\",1\n"  // 10: 255 bytes of given names
                   "Fine,\"" +
                   given254 +
                   "\",1\n"  // 11: 254 bytes are fine
                   "Big,Record,\"" +
                   std::string(4997, 'x') +
                   "\",\n"                 // 12: 4997+1 + 0+1 + 1 = 5000 bytes
                   "Many,Columns,1,2,3\n"  // 13: more columns than the header are fields
                   "Lonely\n"              // 14: a surname alone is a person
                   "Also,Good,1,2\n");     // 15
    const ToolRun run = Mkdisk({"--out", Out(), titan});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    const std::string at = titan + ":";
    const std::vector<std::string> expected = {
        at + "3: column 2 (given): the character U+0141",
        at + "4: column 3 (f0): malformed UTF-8",
        at + "5: column 3 (f0) holds a line feed",
        at + "7: column 3 (f0) holds the character",
        at + "8: Abcdefghijklmnopqrst, Long: the surname's index key is 20 characters long; the key field "
             "holds at most 19",
        at + "9: the surname is empty",
        at + "10: Wide, " + given255 + ": the given names are 255 bytes long",
        at + "12: Big, Record: the record is 5000 bytes long",
        "nothing was written",
    };
    for (const std::string& message : expected) {
        EXPECT_NE(run.err.find(message), std::string::npos) << "missing: " << message << "\nin:\n" << run.err;
    }
    EXPECT_EQ(run.err.find(":2:"), std::string::npos);
    for (const char* fine : {":11:", ":13:", ":14:", ":15:"})
        EXPECT_EQ(run.err.find(fine), std::string::npos) << fine;
    EXPECT_FALSE(std::filesystem::exists(Out()));

    // Long keys allow 23 characters; syntax errors end the reading of a file at their row.
    const std::string rev =
        Source("rev.csv", "a,b\nAbcdefghijklmnopqrstuvw,ok\nAbcdefghijklmnopqrstuvwx,no\n");
    const std::string pcc = Source("pcc.csv", "a,b\nfine,row\nbad\"quote,x\nnot,reported\xE9\n");
    const std::string v_mem = Source("v_mem.csv", "a,b\r\nx,y\r\n\"open,z\r\n");
    const std::string empty = Source("w1812.csv", "");
    const std::string narrow = Source("honorol.csv", "only\nx\n");
    std::filesystem::create_directory(work_.File("unigen.csv"));
    const ToolRun many =
        Mkdisk({"--out", Out(), rev, pcc, v_mem, empty, narrow, work_.File("nothere/congen.csv"),
                work_.File("unigen.csv"), Source("people.csv", "a,b\n"), Source("REV.CSV", "a,b\n")});
    EXPECT_EQ(many.status, 2);
    const std::vector<std::string> more = {
        rev +
            ":3: Abcdefghijklmnopqrstuvwx, no: the surname's index key is 24 characters long; the key field "
            "holds at most 23",
        pcc + ":3: a quote inside an unquoted field",
        v_mem + ":3: a quoted field is not closed",
        empty + ": the file is empty",
        work_.File("nothere/congen.csv") + ": cannot read the file: No such file",
        work_.File("unigen.csv") + ": cannot read the file: not a regular file",
        work_.File("people.csv") + ": the file name must be <stem>.csv",
        work_.File("REV.CSV") + ": database rev is given more than once",
    };
    for (const std::string& message : more) {
        EXPECT_NE(many.err.find(message), std::string::npos) << "missing: " << message << "\nin:\n"
                                                             << many.err;
    }
    EXPECT_EQ(many.err.find(narrow), std::string::npos) << "a header of one column is fine:\n" << many.err;
    EXPECT_EQ(many.err.find(":2:"), std::string::npos) << many.err;
    EXPECT_EQ(many.err.find(":4:"), std::string::npos) << many.err;
    EXPECT_FALSE(std::filesystem::exists(Out()));
}

TEST_F(MkdiskTest, OutputFolderChangesCompletelyOrNotAtAll) {
    std::filesystem::create_directory(Out());
    WriteFileBytes(Out() + "/titan.ext", "old ext");
    WriteFileBytes(Out() + "/titan.cor", "old cor");
    WriteFileBytes(Out() + "/notes.txt", "mine");
    const auto before = Snapshot(Out());

    const std::string good = Source("titan.csv", "s,g,f\nAllen,Ann,3\n");
    const std::string bad = Source("rev.csv", "s,g\n,empty surname\n");
    ToolRun run = Mkdisk({"--out", Out(), good, bad});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Snapshot(Out()), before);
    EXPECT_TRUE(Leftovers().empty());

    // A folder where a file is to go is refused, and kept with its content.
    std::filesystem::create_directory(Out() + "/titan.tre");
    WriteFileBytes(Out() + "/titan.tre/keep", "x");
    const auto blocked = Snapshot(Out());
    run = Mkdisk({"--out", Out(), good});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("titan.tre is a folder"), std::string::npos) << run.err;
    EXPECT_EQ(Snapshot(Out()), blocked);
    EXPECT_EQ(ReadFileBytes(Out() + "/titan.tre/keep"), "x");
    EXPECT_TRUE(Leftovers().empty());
    std::filesystem::remove_all(Out() + "/titan.tre");

    run = Mkdisk({"--out", Out() + "/", good});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto after = Snapshot(Out());
    EXPECT_EQ(after.at("notes.txt"), "mine");
    EXPECT_EQ(after.at("titan.ext"), "3\xFF\n");
    EXPECT_EQ(after.count("chronaradb.id"), 1u);
    EXPECT_EQ(after.count("titan.tre"), 1u);
    EXPECT_EQ(after.at("titan.fld"), "f\n");  // the header's third column heads the field
    EXPECT_EQ(after.at("titan.src"), "");     // no titan.about: no provenance
    EXPECT_EQ(after.size(), 7u);
    EXPECT_TRUE(Leftovers().empty());

    // An output folder whose parent is missing is refused before anything is built.
    run = Mkdisk({"--out", work_.File("no/such"), good});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
}

TEST_F(MkdiskTest, NameWidthOptionAndUsage) {
    const std::string titan = Source("titan.csv", "s,g\nAllen,Elisabeth\nAllen,Ann\n");
    ToolRun run = Mkdisk({"--out", Out(), "--name-width", "40", titan});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string cor = ReadFileBytes(Out() + "/titan.cor");
    EXPECT_EQ(cor.size(), 2u * 44 + 4);
    EXPECT_EQ(testing_support::Int32At(cor, cor.size() - 4), 40);

    run = Mkdisk({"--out", Out(), "--name-width=9", titan});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(titan + ":2: --name-width 9 is too small: these given names need 10 bytes"),
              std::string::npos)
        << run.err;
    const std::string kept = ReadFileBytes(Out() + "/titan.cor");
    EXPECT_EQ(testing_support::Int32At(kept, kept.size() - 4), 40);

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--out", Out(), "--name-width", "0", titan},
                                               {"--out", Out(), "--name-width", "256", titan},
                                               {"--out", Out(), "--name-width", "x", titan},
                                               {"--out", Out()},
                                               {titan},
                                               {"--out", Out(), "--bogus", titan}}) {
        run = Mkdisk(args);
        EXPECT_EQ(run.status, 2) << args.size();
        EXPECT_NE(run.err.find("chronara-mkdisk --help"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }

    run = Mkdisk({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* word : {"--out DIR", "--name-width", "RFC 4180", "Windows-1252", "byte-order mark",
                             "Example", "chronaradb.id", "4999", "254"}) {
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    }
}

// The committed sample CSV files build a whole data disk, and the query
// tool finds real people on it.
TEST_F(MkdiskTest, SampleFilesBuildADiskOnWhichRealPeopleAreFound) {
    const std::string sample = std::string(CHRONARA_SOURCE_DIR) + "/data/sample/";
    const char* const stems[] = {"congen", "civmoh",  "titan",   "unigen",  "vnmmoh", "ww1moh", "ww2moh",
                                 "w1812",  "honorol", "ww2_pow", "ww2_kor", "v_mem",  "pcc",    "rev"};
    std::vector<std::string> args{"--out", Out()};
    for (const char* stem : stems) args.push_back(sample + stem + ".csv");
    const ToolRun run = Mkdisk(args);
    ASSERT_EQ(run.status, 0) << run.err;

    const std::regex line(
        R"(([a-z0-9_]+): (\d+) people, (\d+) surnames, largest surname range (\d+), tree height (\d+), name width (\d+))");
    std::map<std::string, long> people;
    long largest = 0;
    for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), line); it != std::sregex_iterator();
         ++it) {
        people[(*it)[1]] = std::stol((*it)[2]);
        largest = std::max(largest, std::stol((*it)[4]));
    }
    ASSERT_EQ(people.size(), 14u) << run.out;
    EXPECT_EQ(people["titan"], 1309);
    for (const char* invented : {"w1812", "honorol", "ww2_pow", "v_mem"}) {
        EXPECT_GE(people[invented], 2000) << invented;
    }
    EXPECT_GT(largest, 25);

    if (::access(kQuery, X_OK) != 0) GTEST_SKIP() << "chronara-query is not built";
    TempDir install;
    auto query = [&](std::vector<std::string> more) {
        std::vector<std::string> all{"--data-dir", Out(), "--install-dir", install.Path()};
        all.insert(all.end(), more.begin(), more.end());
        return RunProgram(kQuery, all);
    };
    ToolRun found = query({"--database", "titan", "--surname", "allen"});
    EXPECT_NE(found.out.find("ALLEN\tElisabeth Walton\tsurvived: yes\n"), std::string::npos) << found.out;
    found = query({"--database", "ww1moh", "--surname", "York", "--more-info", "0"});
    EXPECT_NE(found.out.find("Citation: \nAfter his platoon had suffered heavy casualties"),
              std::string::npos)
        << found.out;
    EXPECT_NE(found.out.find("several guns.\n"), std::string::npos) << found.out;

    // A roll-of-honor person with fifteen fields shows the footnote.
    CCsvReader honor(ReadFileBytes(sample + "honorol.csv"));
    std::vector<std::string> row;
    std::map<std::string, int> seen;
    std::string surname;
    int position = -1;
    while (honor.Next(row) == CCsvReader::Result::Row) {
        const int before = seen[row[0]]++;
        if (row.size() == 17 && before < 10 && row[0] != "Surname") {
            surname = row[0];
            position = before;
            break;
        }
    }
    ASSERT_GE(position, 0);
    found = query({"--database", "honorol", "--surname", surname, "--more-info", std::to_string(position)});
    EXPECT_NE(found.out.find("Names of Soldiers Who Died"), std::string::npos) << found.out;
}

}  // namespace
