// chronara-query and the research log, run as a child process: --log,
// --save, --history and --saved with their formats byte for byte, a person
// of another disk never listed or exported as this disk's, and a log that
// cannot be kept stopping only what asks for the log.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_time.h"
#include "browse/research_log/research_log.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "support/gedcom_lines.h"
#include "support/log_support.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

using namespace research_log;
using testing_support::ReadFileBytes;
using testing_support::RunSql;
using testing_support::SqlInteger;
using testing_support::TempDir;
using testing_support::ToolRun;
using testing_support::WriteFileBytes;

namespace {

const char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";
constexpr int kW1812 = 8;
constexpr int kCivmoh = 2;

void WriteDisk(const std::string& dir, const std::string& label, const std::vector<PersonRecord>& w1812) {
    WriteFileBytes(dir + "/chronaradb.id", label + "\n");
    std::string error;
    CDatabaseWriter writer(kW1812);
    for (const PersonRecord& person : w1812) ASSERT_TRUE(writer.Add(person, &error)) << error;
    ASSERT_TRUE(writer.Write(dir, 0, &error)) << error;
    CDatabaseWriter civmoh(kCivmoh);
    ASSERT_TRUE(
        civmoh.Add({"Chamberlain", "Joshua L.", {"Colonel, 20th Maine Infantry", "2 July 1863"}}, &error));
    ASSERT_TRUE(civmoh.Write(dir, 0, &error)) << error;
}

DiskIdentity IdentityOf(const std::string& dir) {
    CDirectories dirs;
    dirs.SetDataDir(dir.c_str());
    DiskIdentity disk;
    EXPECT_FALSE(ReadDiskIdentity(dirs, disk).Failed());
    return disk;
}

// Two disks whose War of 1812 holds other people at the same entries, a
// folder for the log, and nothing of the machine's own settings.
class QueryLog : public ::testing::Test {
protected:
    void SetUp() override {
        WriteDisk(diskA.Path(), "Chronara test disk",
                  {{"Smith", "John", {"Pvt", "1st Regiment"}},
                   {"Smith", "Joseph", {"Cpl", "2nd Regiment"}},
                   {"Smith", "Mary", {"", "3rd Regiment"}},
                   {"Jones", "Will", {"Sgt"}}});
        WriteDisk(diskB.Path(), "Chronara test disk",
                  {{"Brown", "Adam", {"Pvt"}}, {"Smith", "Zeb", {"Pvt"}}, {"Smith", "Zed", {"Pvt"}}});
        log = data.File("chronara/research.sqlite");
    }
    std::map<std::string, std::string> Env() const {
        return {{"XDG_CONFIG_HOME", config.Path()},
                {"XDG_CONFIG_DIRS", config.Path()},
                {"XDG_DATA_HOME", data.Path()},
                {"XDG_CACHE_HOME", config.File("cache")},
                {"TZ", "UTC0"},
                {"SOURCE_DATE_EPOCH", "1796810400"}};
    }
    ToolRun Query(const std::string& disk, std::vector<std::string> args) const {
        args.insert(args.begin(), {"--data-dir", disk, "--install-dir", install.Path()});
        return testing_support::RunProgram(kTool, args, Env());
    }

    TempDir diskA;
    TempDir diskB;
    TempDir install;
    TempDir config;
    TempDir data{testing_support::QuickScratchParent()};
    std::string log;
};

TEST_F(QueryLog, UsageErrorsExitTwoAndSayWhat) {
    const std::vector<std::string> page = {"--database", "w1812", "--surname", "Smith"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), page.begin(), page.end());
        return more;
    };
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--history", "--database", "w1812"}, "--database is not for --history"},
        {{"--saved", "--find", "maine"}, "--find is not for --saved"},
        {{"--history", "--format", "csv"}, "--history: --format must be tsv or json, not 'csv'"},
        {{"--saved", "--format", "xml"}, "--saved: --format must be tsv, json, csv or gedcom, not 'xml'"},
        {{"--history", "--saved"}, "--history and --saved are two answers: give one of them"},
        {{"--history", "--all-disks"}, "--all-disks is not for --history"},
        {{"--history", "--log"}, "--log is not for --history"},
        {{"--history", "--history"}, "--history given twice"},
        {{"--saved", "--format", "json", "--raw"},
         "--raw writes Windows-1252 bytes, but JSON and the exports are UTF-8"},
        {{"--saved", "--all-disks", "--format", "gedcom"},
         "--all-disks lists people of other disks too, whose records are not on this disk: it goes with "
         "--format tsv "
         "or json"},
        {with({"--all-disks"}), "--all-disks needs --saved"},
        {with({"--note", "x"}), "--note goes with --save or --verdict"},
        {with({"--save", "first"}), "--save: ROW must be a row number"},
        {with({"--save"}), "--save needs a value"},
        {with({"--save", "0", "--more-info", "0"}),
         "--save saves a person and prints nothing: it takes no --more-info, --cite or --export"},
        {with({"--save", "0", "--note", "two\tfields"}),
         "--note: a note is one line of at most 2000 characters, without tabs or control characters"},
        {with({"--save", "0", "--note", "\xE2\x86\x92"}),
         "--note: the character U+2192 (\xE2\x86\x92) has no Windows-1252 form"},
        {{"--list", "--database", "w1812", "--surname", "Smith", "--save", "0"},
         "--save saves a person of a page: it is not for --list or a record search"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Query(diskA.Path(), c.args);
        EXPECT_EQ(run.status, 2) << c.error;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, std::string("chronara-query: ") + c.error + "\nTry 'chronara-query --help'.\n");
    }
    EXPECT_EQ(SqlInteger(log, "SELECT 1"), -1) << "no usage error makes the log";
}

TEST_F(QueryLog, HistoryAndSavedAreWrittenByteForByte) {
    testing_support::ScopedEnv zone("TZ", "UTC0");
    tzset();
    const DiskIdentity here = IdentityOf(diskA.Path());
    DiskIdentity there = IdentityOf(diskB.Path());
    ASSERT_NE(here.fingerprint, there.fingerprint) << "two disks of one label are told apart";
    there.label.version = "2";
    {
        CResearchLog research(testing_support::LogAt(log));
        AskedSearch surname;
        surname.database = "w1812";
        surname.surname = "SMITH";
        surname.hasFirstName = true;
        surname.firstName = "J";
        ASSERT_FALSE(research.LogSearch(LogProgram::Viewer, surname, 12).Failed());
        AskedSearch find;
        find.kind = SearchKind::Find;
        find.query = "\"20th maine\"";
        find.yearFrom = 1863;
        find.yearTo = 1865;
        ASSERT_FALSE(research.LogSearch(LogProgram::Query, find, 0).Failed());
        const std::string will = "his will, caf\xe9";
        // The entries are in surname order: Jones, then the Smiths.
        PersonOnDisk person{kW1812, 2, "SMITH", "Joseph", "Cpl, 2nd Regiment"};
        ASSERT_FALSE(research.SavePerson(here, person, &will).Failed());
        PersonOnDisk other{kW1812, 2, "SMITH", "Zed", "Pvt"};
        ASSERT_FALSE(research.SavePerson(there, other, nullptr).Failed());
    }
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"--history"},
         "2026-12-09T10:00:00+00:00\tchronara\tw1812\tsurname SMITH, first name J\t12\n"
         "2026-12-09T10:00:01+00:00\tchronara-query\tall\tfind \"20th maine\", years 1863-1865\t0\n"},
        {{"--history", "--format", "json"},
         "[\n"
         "  {\"time\": \"2026-12-09T10:00:00+00:00\", \"program\": \"chronara\", \"database\": \"w1812\", "
         "\"asked\": \"surname SMITH, first name J\", \"count\": 12},\n"
         "  {\"time\": \"2026-12-09T10:00:01+00:00\", \"program\": \"chronara-query\", \"database\": "
         "\"all\", "
         "\"asked\": \"find \\\"20th maine\\\", years 1863-1865\", \"count\": 0}\n"
         "]\n"},
        {{"--saved"}, "2026-12-09T10:00:02+00:00\tw1812\t2\tSMITH\tJoseph\this will, caf\xC3\xA9\n"},
        {{"--saved", "--raw"}, "2026-12-09T10:00:02+00:00\tw1812\t2\tSMITH\tJoseph\this will, caf\xe9\n"},
        {{"--saved", "--all-disks"},
         "2026-12-09T10:00:02+00:00\tw1812\t2\tSMITH\tJoseph\this will, caf\xC3\xA9\tChronara test disk\n"
         "2026-12-09T10:00:03+00:00\tw1812\t2\tSMITH\tZed\t\tChronara test disk, version 2\n"},
        {{"--saved", "--format", "json"},
         "[\n"
         "  {\"time\": \"2026-12-09T10:00:02+00:00\", \"database\": \"w1812\", \"entry\": 2, \"surname\": "
         "\"SMITH\", "
         "\"given_names\": \"Joseph\", \"note\": \"his will, caf\xC3\xA9\", \"disk\": \"Chronara test "
         "disk\"}\n"
         "]\n"},
        {{"--saved", "--format", "csv"},
         "database,surname,given_names,Middle Initial,Company\r\nw1812,SMITH,Joseph,Cpl,2nd Regiment\r\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Query(diskA.Path(), c.args);
        EXPECT_EQ(run.status, 0) << c.args[0] << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, c.out) << c.args.back();
    }
    // The other disk's own person, and only them.
    const ToolRun otherDisk = Query(diskB.Path(), {"--saved", "--format", "csv"});
    EXPECT_EQ(otherDisk.out, "database,surname,given_names,Middle Initial\r\nw1812,SMITH,Zed,Pvt\r\n");
}

TEST_F(QueryLog, TheToolLogsItsSearchesAndSavesPeopleOnlyWhenAsked) {
    // Without --log nothing is kept, not even a log file.
    EXPECT_EQ(Query(diskA.Path(), {"--database", "w1812", "--surname", "Smith"}).status, 0);
    EXPECT_EQ(SqlInteger(log, "SELECT 1"), -1);
    const struct {
        std::vector<std::string> args;
        const char* asked;
        const char* database;
        std::int64_t count;
    } logged[] = {
        {{"--database", "w1812", "--surname", "smith", "--first-name", "Jo", "--log"},
         "surname SMITH, first name Jo",
         "w1812",
         2},
        {{"--database", "w1812", "--surname", "Nobody", "--log"}, "surname NOBODY", "w1812", 0},
        {{"--database", "w1812", "--surname", "Smith", "--first-name", "Joe", "--variants", "--log"},
         "surname SMITH, first name Joe, name variants",
         "w1812",
         1},
        {{"--list", "--database", "all", "--surname", "smyth", "--match", "soundex", "--log", "--format",
          "tsv"},
         "list smyth, match soundex",
         "all",
         1},
        {{"--database", "civmoh", "--find", "\"20th maine\"", "--years", "1863-1865", "--log", "--format",
          "count"},
         "find \"20th maine\", years 1863-1865",
         "civmoh",
         1},
        {{"--database", "all", "--find", "regiment", "--field", "2", "--log", "--format", "count"},
         "find regiment, field 2",
         "all",
         3},
    };
    for (const auto& entry : logged) {
        const ToolRun run = Query(diskA.Path(), entry.args);
        EXPECT_EQ(run.status, 0) << entry.asked << run.err;
        EXPECT_EQ(run.err.find("research log"), std::string::npos) << entry.asked << run.err;
    }
    CResearchLog research(testing_support::LogAt(log));
    std::vector<LoggedSearch> searches;
    ASSERT_FALSE(research.Searches({}, 0, 100, searches).Failed());
    ASSERT_EQ(searches.size(), std::size(logged));
    for (std::size_t i = 0; i < searches.size(); ++i) {
        const LoggedSearch& search = searches[searches.size() - 1 - i];
        EXPECT_EQ(search.askedText, logged[i].asked);
        EXPECT_EQ(search.asked.database, logged[i].database);
        EXPECT_EQ(search.count, logged[i].count) << logged[i].asked;
        EXPECT_EQ(search.program, "chronara-query");
        EXPECT_TRUE(IsLogTime(search.time)) << search.time;
    }

    // --save prints nothing; saved again, one row whose note changes only when given.
    const std::vector<std::string> jo = {"--database", "w1812", "--surname", "Smith", "--first-name", "Jo"};
    auto save = [&](std::vector<std::string> more) {
        more.insert(more.begin(), jo.begin(), jo.end());
        return Query(diskA.Path(), more);
    };
    for (const auto& args : std::vector<std::vector<std::string>>{{"--save", "1", "--note", "first note"},
                                                                  {"--save", "1", "--note", "second note"},
                                                                  {"--save", "1"}}) {
        const ToolRun run = save(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "");
    }
    const ToolRun noRow = save({"--save", "2"});
    EXPECT_EQ(noRow.status, 2);
    EXPECT_EQ(noRow.err, "chronara-query: --save: the page has no row 2\n");
    const DiskIdentity here = IdentityOf(diskA.Path());
    std::vector<SavedPerson> saved;
    ASSERT_FALSE(research.SavedPeople(&here, false, saved).Failed());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].note, "second note");
    EXPECT_EQ(saved[0].person.givenNames, "Joseph");
    // The family tree of the saved people carries the note among the person's.
    const ToolRun tree = Query(diskA.Path(), {"--saved", "--format", "gedcom"});
    EXPECT_NE(tree.out.find("NOTE Research note: second note\r\n"), std::string::npos) << tree.out;
    // The summary as the row showed it.
    const ToolRun page = Query(diskA.Path(), jo);
    EXPECT_NE(page.out.find("SMITH\tJoseph\t" + saved[0].person.summary + "\n"), std::string::npos)
        << page.out;
    // The entry is the one --find gives for the same person.
    const ToolRun found = Query(diskA.Path(), {"--database", "w1812", "--find", "joseph", "--format", "tsv"});
    EXPECT_EQ(found.out.substr(0, found.out.find('\t', 6)),
              "w1812\t" + std::to_string(saved[0].person.entry));
}

TEST_F(QueryLog, APersonTheDiskDoesNotHoldWhereTheLogSaysIsNeverExported) {
    ASSERT_EQ(
        Query(diskA.Path(), {"--database", "w1812", "--surname", "Smith", "--save", "0", "--note", "john"})
            .status,
        0);
    ASSERT_EQ(Query(diskA.Path(), {"--database", "w1812", "--surname", "Jones", "--save", "0"}).status, 0);
    // Edited by hand: John's entry (1) now names Mary's (3), Jones's surname
    // is Smith's, whose entries begin after his.
    ASSERT_TRUE(RunSql(log,
                       "UPDATE saved_people SET entry = 3 WHERE note = 'john';"
                       "UPDATE saved_people SET surname = 'SMITH' WHERE given_names = 'Will'"));
    for (const char* format : {"csv", "gedcom"}) {
        const ToolRun run = Query(diskA.Path(), {"--saved", "--format", format});
        EXPECT_EQ(run.status, 3) << format;
        EXPECT_EQ(run.err,
                  "chronara-query: The saved person SMITH, John (War of 1812, entry 3) is not at that entry "
                  "of this "
                  "disk; they are left out.\n"
                  "chronara-query: The saved person SMITH, Will (War of 1812, entry 0) is not at that entry "
                  "of this "
                  "disk; they are left out.\n");
        EXPECT_EQ(run.out.find("Mary"), std::string::npos) << format;
        EXPECT_EQ(run.out.find("Will"), std::string::npos) << format;
        if (std::string(format) == "gedcom") {
            EXPECT_TRUE(gedcom_lines::RuleBreaks(run.out).empty());
            EXPECT_EQ(run.out.find("INDI"), std::string::npos);
        }
    }
    // On the other disk, none of them is listed.
    EXPECT_EQ(Query(diskB.Path(), {"--saved"}).out, "");
}

TEST_F(QueryLog, ALogThatCannotBeKeptStopsOnlyWhatAsksForTheLog) {
    const std::vector<std::string> search = {"--database", "w1812", "--surname", "Smith"};
    const ToolRun plain = Query(diskA.Path(), search);
    ASSERT_EQ(plain.status, 0);
    // A file where the log's folder belongs.
    WriteFileBytes(data.File("chronara"), "");
    std::vector<std::string> logged = search;
    logged.push_back("--log");
    const ToolRun run = Query(diskA.Path(), logged);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, plain.out);
    EXPECT_EQ(run.err, "chronara-query: The research log cannot be kept: cannot create the folder " +
                           data.File("chronara") + ": Not a directory.\n");
    const std::string cannot = "chronara-query: The research log " + log +
                               " cannot be kept: a file stands where its folder belongs.\n";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--history"}, {"--saved"}, {"--database", "w1812", "--surname", "Smith", "--save", "0"}}) {
        const ToolRun failed = Query(diskA.Path(), args);
        EXPECT_EQ(failed.status, 2) << args[0];
        EXPECT_EQ(failed.out, "");
        EXPECT_EQ(failed.err, args[0] == "--database"
                                  ? "chronara-query: The research log cannot be kept: cannot "
                                    "create the folder " +
                                        data.File("chronara") + ": Not a directory.\n"
                                  : cannot)
            << args[0];
    }
    // A damaged log is moved aside; the search goes on into a new one.
    ::unlink(data.File("chronara").c_str());
    std::filesystem::create_directories(data.File("chronara"));
    WriteFileBytes(log, "not a database");
    const ToolRun moved = Query(diskA.Path(), logged);
    EXPECT_EQ(moved.status, 0);
    EXPECT_EQ(moved.out, plain.out);
    EXPECT_NE(moved.err.find("chronara-query: The research log " + log +
                             " is damaged (file is not a database); it was moved to " + log + ".damaged-"),
              std::string::npos)
        << moved.err;
    EXPECT_EQ(Query(diskA.Path(), {"--history"}).out.find("surname SMITH\t3\n") != std::string::npos, true);
}

}  // namespace
