// chronara-query, run as a child process on databases written by the core's
// writer: arguments, exit statuses, and the output byte for byte.

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "chronara_version.h"
#include "store/database_writer.h"
#include "store/disk_format.h"
#include "support/mini_json.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::ToolRun;
using testing_support::WriteFileBytes;

namespace {

const char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";
ToolRun RunTool(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
    return testing_support::RunProgram(kTool, args, env);
}

const char kInsertDisk[] = "Please insert Tavora Disk 16 (Chronara)\n\nClick OK when done.";
const char kFootnote[] =
    "\r\n\r\n\r\n  Volume and Page numbers refer to entries in\r\nthe Civil War Quartermaster "
    "General's Office -\r\nNames of Soldiers Who Died";

std::string Two(int i) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", i);
    return text;
}

void WriteDatabase(int code, const std::string& dir, const std::vector<PersonRecord>& people) {
    CDatabaseWriter writer(code);
    std::string error;
    for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
    ASSERT_TRUE(writer.Write(dir, 0, &error)) << error;
}

// A data disk of small databases, an empty installation folder, and a
// config folder without corvane.ini, so that the machine's own settings never count.
class QueryTool : public ::testing::Test {
protected:
    void SetUp() override {
        struct stat info {};
        ASSERT_EQ(stat(kTool, &info), 0) << "build the chronara-query target first";
        WriteFileBytes(data.File("chronaradb.id"), "");

        // ww2_kor (list row 12): 25 Smiths, given names John/Joseph/Mary in turn.
        std::vector<PersonRecord> kor;
        const char* const firstNames[3] = {"John ", "Joseph ", "Mary "};
        for (int i = 0; i < 25; ++i) {
            kor.push_back({"Smith", firstNames[i % 3] + Two(i), {"R" + Two(i), "Ohio", "PFC"}});
        }
        kor.push_back({"Jones", "John Henry   ", {"J", "Ohio", "PFC", "7th Inf"}});
        kor.push_back({"Jones", "", {"J", "Ohio", "  "}});
        WriteDatabase(11, data.Path(), kor);

        WriteDatabase(12, data.Path(),
                      {{"Brown", "Robert  ", {"Allen", "Sgt", "E5", "1st Cav Div", "Dayton", "OH"}}});
        WriteDatabase(3, data.Path(),
                      {{"Astor", "John Jacob", {"3", "1st"}},
                       {"Astor", "Madeleine", {"1", "1st"}},
                       {"Astor", "Vincent", {" ", "3rd"}}});
        std::vector<std::string> references{"J", "12345", "3 45 46 ", "7 9  "};
        references.resize(15, " ");
        WriteDatabase(9, data.Path(), {{"Doe", "John", references}});
        WriteDatabase(1, data.Path(), {{"M\xfcller", "Franz", {"Caf\xe9 \x96 1862"}}});
    }

    // Runs with the test's folders given as options.
    ToolRun Query(const std::vector<std::string>& args) { return QueryIn(data.Path(), args); }
    ToolRun QueryIn(const std::string& dataDir, std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", dataDir, "--install-dir", install.Path()});
        return RunTool(args, Isolated());
    }
    std::map<std::string, std::string> Isolated() const {
        return {{"XDG_CONFIG_HOME", config.Path()}, {"XDG_CONFIG_DIRS", config.Path()}};
    }

    TempDir data;
    TempDir install;
    TempDir config;
};

std::string SmithRow(int i) {
    const char* const firstNames[3] = {"John ", "Joseph ", "Mary "};
    return "SMITH\t" + std::string(firstNames[i % 3]) + Two(i) + "\tR" + Two(i) + ", Ohio, PFC\n";
}

std::string SmithPage(int count, int from, int to, const char* buttons) {
    std::string page = std::to_string(count) + " records found.\n";
    for (int i = from; i < to; ++i) page += SmithRow(i);
    return page + buttons + "\n";
}

TEST_F(QueryTool, UsageErrorsExitTwoWithNothingOnStandardOutput) {
    const std::string twenty(20, 'a');
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--surname", "Smith"},
        {"--database", "12"},
        {"--database", "13", "--surname", "Smith"},
        {"--database", "-1", "--surname", "Smith"},
        {"--database", "nosuch", "--surname", "Smith"},
        {"--database", "12", "--surname", ""},
        {"--database", "12", "--surname", twenty},
        {"--database", "12", "--surname", "Smith", "--first-name", ""},
        {"--database", "12", "--surname", "Smith", "--first-name", std::string(251, 'j')},
        {"--database", "12", "--surname", "Smith", "--page-size", "9"},
        {"--database", "12", "--surname", "Smith", "--turn", "nNp"},
        {"--database", "12", "--surname", "Smith", "--more-info", "x"},
        {"--database", "12", "--surname", "Smith", "--more-info"},
        {"--database", "12", "--surname", "Smith", "--colour"},
        {"--database", "12", "--surname", "Smith", "extra"},
        {"--database", "12", "--surname", "\xd0\x96"},  // U+0416: no Windows-1252 letter to stand for it
        {"--database", "12", "--surname", "Smith", "--variants"},  // no first name to widen
        {"--database", "12", "--surname", "Sm\xffth"},             // not UTF-8
        {"--database", "12", "--surname", "\xe2\x82"},             // cut sequence
        {"--database", "12", "--surname", "\xc1\x81"},             // overlong 'A'
        {"--raw", "--database", "12", "--surname", twenty},
        {"--database", "12", "--surname", "   "},  // no letter or digit to look up
        {"--database", "12", "--surname", "-'"},
        {"--database", "12", "--surname", "Sm\tith"},  // control characters in any typed text
        {"--database", "12", "--surname", "Smith", "--first-name", "J\x01"},
        {"--raw", "--database", "12", "--surname", "Smith\x7f"},
        {"--list", "--database", "12", "--surname", "Sm\nith"},
        {"--database", "12", "--find", "Ohio\tPFC"},
    };
    for (const auto& args : bad) {
        const ToolRun run = Query(args);
        std::string shown;
        for (const std::string& arg : args) shown += "[" + arg + "]";
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err, "") << shown;
    }
}

TEST_F(QueryTool, LimitsCountWindows1252CharactersAndRawTakesBytes) {
    // 19 characters in Windows-1252, 20 bytes in UTF-8.
    ToolRun run = Query({"--database", "12", "--surname", "\xc3\x9c" + std::string(18, 'x')});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0 records found.\nprev=off next=off\n");
    run = Query({"--database", "12", "--surname", "Smith", "--first-name", std::string(250, 'j')});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0 records found.\nprev=off next=off\n");
    // Bytes that are not UTF-8 are fine as given with --raw.
    run = Query({"--raw", "--database", "12", "--surname", "Sm\xffth"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0 records found.\nprev=off next=off\n");
}

TEST_F(QueryTool, HelpDescribesEveryOption) {
    const ToolRun run = RunTool({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* word :
         {"--data-dir",      "--install-dir", "--database", "--surname", "--first-name",      "--page-size",
          "--turn",          "--more-info",   "--raw",      "honorol",   "corvane.ini",       "Exit status",
          "--list",          "--match",       "--format",   "--batch",   "--export",          "soundex",
          "Daitch-Mokotoff", "  3  ",         "--cite",     "gedcom",    "SOURCE_DATE_EPOCH", "--links ROW",
          "--links-all"}) {
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    }
}

TEST_F(QueryTool, ListsTheFirstPageAndTurnsOnlyThroughEnabledButtons) {
    EXPECT_EQ(Query({"--database", "12", "--surname", "smith"}).out,
              SmithPage(25, 0, 10, "prev=off next=on"));
    // The stem selects the same database as its row.
    EXPECT_EQ(Query({"--database", "ww2_kor", "--surname", "SMITH", "--turn", "n"}).out,
              SmithPage(25, 10, 20, "prev=on next=on"));
    // The third n and the leading p find their buttons disabled.
    EXPECT_EQ(Query({"--database", "12", "--surname", "Smith", "--turn", "pnnn"}).out,
              SmithPage(25, 20, 25, "prev=on next=off"));
    EXPECT_EQ(Query({"--database", "12", "--surname", "Smith", "--turn", "nnp"}).out,
              SmithPage(25, 10, 20, "prev=on next=on"));
    EXPECT_EQ(Query({"--database", "12", "--surname", "Smith", "--turn", "nnpp"}).out,
              SmithPage(25, 0, 10, "prev=off next=on"));
    const ToolRun missing = Query({"--database", "12", "--surname", "Smyth", "--turn", "np"});
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(missing.out, "0 records found.\nprev=off next=off\n");
}

TEST_F(QueryTool, PageSizeEight) {
    EXPECT_EQ(Query({"--database", "12", "--surname", "Smith", "--page-size", "8"}).out,
              SmithPage(25, 0, 8, "prev=off next=on"));
    EXPECT_EQ(Query({"--database", "12", "--surname", "Smith", "--page-size", "8", "--turn", "nnnn"}).out,
              SmithPage(25, 24, 25, "prev=on next=off"));
    EXPECT_EQ(Query({"--database", "12", "--surname", "Smith", "--page-size", "10", "--turn", "nnp"}).out,
              SmithPage(25, 10, 20, "prev=on next=on"));
}

TEST_F(QueryTool, FirstNameFilterPagesThroughHistoryBufferInTheInstallationFolder) {
    // jo keeps John and Joseph: 17 of the 25.
    std::string first = "17 records found.\n";
    std::string second = first;
    int shown = 0;
    for (int i = 0; i < 25; ++i) {
        if (i % 3 == 2) continue;
        (shown++ < 10 ? first : second) += SmithRow(i);
    }
    ToolRun run = Query({"--database", "12", "--surname", "Smith", "--first-name", "jo"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, first + "prev=off next=on\n");
    EXPECT_EQ(ReadFileBytes(install.File(disk_format::kHistoryFileName)).size(), 17u * 300u);
    run = Query({"--database", "12", "--surname", "Smith", "--first-name", "JO", "--turn", "nn"});
    EXPECT_EQ(run.out, second + "prev=on next=off\n");

    // Only the leading letters count: MARY, eight hits.
    run = Query({"--database", "12", "--surname", "Smith", "--first-name", "Mary Ann"});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "8 records found.");
    run = Query({"--database", "12", "--surname", "Smith", "--first-name", "Josephine"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0 records found.\nprev=off next=off\n");
}

TEST_F(QueryTool, MoreInfoRawKeepsCrLfAndDefaultGivesLf) {
    const std::string page = "1 records found.\nBROWN\tRobert  \tAllen, Sgt, E5, ...\nprev=off next=off\n";
    const std::string text =
        "Middle Name: \r\nAllen, Sgt, E5\r\n\r\nOrganization: \r\n1st Cav Div\r\n\r\nCity: "
        "\r\nDayton\r\n\r\nState: \r\nOH";
    ToolRun run = Query({"--database", "v_mem", "--surname", "Brown", "--more-info", "0", "--raw"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, page + "BROWN, Robert\n" + text + "\n");

    std::string lines = text;
    for (std::size_t at; (at = lines.find("\r\n")) != std::string::npos;) lines.erase(at, 1);
    run = Query({"--database", "7", "--surname", "Brown", "--more-info", "0"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, page + "BROWN, Robert\n" + lines + "\n");
}

TEST_F(QueryTool, MoreInfoTitleAndSummariesOfTheWorkedExamples) {
    // Trailing blanks of the given names leave the title; a row without given
    // names puts its summary after the comma, since two tabs separate like one.
    const std::string page =
        "2 records found.\nJONES\tJohn Henry   \tJ, Ohio, PFC, ...\nJONES\t\tJ, Ohio,  \n"
        "prev=off next=off\n";
    ToolRun run = Query({"--database", "12", "--surname", "Jones", "--more-info", "0", "--raw"});
    EXPECT_EQ(run.out.substr(0, page.size()), page);
    EXPECT_EQ(run.out.substr(page.size(), run.out.find('\n', page.size()) + 1 - page.size()),
              "JONES, John Henry\n");
    run = Query({"--database", "12", "--surname", "Jones", "--more-info", "1", "--raw"});
    EXPECT_EQ(run.out.substr(page.size(), run.out.find('\n', page.size()) + 1 - page.size()),
              "JONES, J, Ohio,\n");
    EXPECT_EQ(run.out.substr(run.out.find('\n', page.size()) + 1),
              "Middle Initial: \r\nJ\r\n\r\nInducted From: \r\nOhio\r\n\r\n\n");
}

TEST_F(QueryTool, PassengerListSurvivalFollowsTheFirstByteOfTheRecord) {
    const std::string page =
        "3 records found.\nASTOR\tJohn Jacob\tsurvived: yes\nASTOR\tMadeleine\tsurvived: no\n"
        "ASTOR\tVincent\tsurvived: no\nprev=off next=off\n";
    const char* const answers[3] = {"Yes", "No", "No"};
    const char* const titles[3] = {"ASTOR, John Jacob", "ASTOR, Madeleine", "ASTOR, Vincent"};
    for (int row = 0; row < 3; ++row) {
        const ToolRun run =
            Query({"--database", "3", "--surname", "astor", "--raw", "--more-info", std::to_string(row)});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, page + titles[row] + "\nSurvived: \r\n" + answers[row] + "\n");
    }
}

TEST_F(QueryTool, HonorRollIsReachedByItsStem) {
    const std::string expected =
        "1 records found.\nDOE\tJohn\tJ, 12345, 3 45 46, ...\nprev=off next=off\nDOE, John\n"
        "Middle Initial: \r\nJ\r\n\r\nReferences: \r\nVolume: 12 Page: 345, Volume: 3 Page: "
        "45,46, Volume: 7 Page: 9\r\n\r\n" +
        std::string(kFootnote) + "\n";
    const ToolRun run = Query({"--database", "honorol", "--surname", "doe", "--more-info", "0", "--raw"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);
}

TEST_F(QueryTool, ArgumentsAndOutputConvertBetweenUtf8AndWindows1252) {
    // The surname reaches the index as Windows-1252; only a-z are upper-cased.
    ToolRun run = Query({"--database", "congen", "--surname", "M\xc3\xbcller", "--more-info", "0"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "1 records found.\nM\xc3\xbcLLER\tFranz\tCaf\xc3\xa9 \xe2\x80\x93 1862,  \n"
              "prev=off next=off\nM\xc3\xbcLLER, Franz\nBorn: \nCaf\xc3\xa9 \xe2\x80\x93 1862\n");
    run = Query({"--raw", "--database", "0", "--surname", "M\xfcller", "--more-info", "0"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "1 records found.\nM\xfcLLER\tFranz\tCaf\xe9 \x96 1862,  \nprev=off next=off\n"
              "M\xfcLLER, Franz\nBorn: \r\nCaf\xe9 \x96 1862\n");
    // The same name in UTF-8 bytes is another surname with --raw.
    run = Query({"--raw", "--database", "0", "--surname", "M\xc3\xbcller"});
    EXPECT_EQ(run.out, "0 records found.\nprev=off next=off\n");
}

TEST_F(QueryTool, MoreInfoOnARowThePageDoesNotHoldFailsAfterThePage) {
    const std::string page = SmithPage(25, 20, 25, "prev=on next=off");
    for (const char* row : {"5", "-1", "99999999999"}) {
        const ToolRun run =
            Query({"--database", "12", "--surname", "Smith", "--turn", "nn", "--more-info", row});
        EXPECT_EQ(run.status, 2) << row;
        EXPECT_EQ(run.out, page) << row;
        EXPECT_NE(run.err, "") << row;
    }
    const ToolRun missing = Query({"--database", "12", "--surname", "Smyth", "--more-info", "0"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "0 records found.\nprev=off next=off\n");
}

TEST_F(QueryTool, FailuresOfDiskDatabaseAndScratchFileExitTwo) {
    // The prompt's and the messages' own words first, then the folder and why.
    TempDir empty;
    const std::string folder = empty.Path() + "/";
    ToolRun run = QueryIn(empty.File("nowhere"), {"--database", "12", "--surname", "Smith"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              std::string(kInsertDisk) + "\nThe data folder " + folder + "nowhere/ does not exist.\n");
    run = QueryIn(empty.Path(), {"--database", "12", "--surname", "Smith"});
    EXPECT_EQ(run.err, std::string(kInsertDisk) + "\nThe data folder " + folder +
                           " holds no chronaradb.id, the file that marks a data disk.\n");

    WriteFileBytes(empty.File("chronaradb.id"), "");
    run = QueryIn(empty.Path(), {"--database", "12", "--surname", "Smith"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "ext\nThe record file ww2_kor.ext could not be opened in the data folder " + folder +
                           ": it is not there.\n");
    ::mkdir(empty.File("ww2_kor.ext").c_str(), 0700);
    run = QueryIn(empty.Path(), {"--database", "ww2_kor", "--find", "Ohio"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "chronara-query: ext\nchronara-query: The record file ww2_kor.ext could not be opened in "
              "the data folder " +
                  folder + ": a folder stands at its name.\n");
    ::rmdir(empty.File("ww2_kor.ext").c_str());
    WriteFileBytes(empty.File("ww2_kor.ext"), "");
    run = QueryIn(empty.Path(), {"--database", "12", "--surname", "Smith"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "cor\nThe entry file ww2_kor.cor could not be opened in the data folder " + folder +
                           ": it is not there.\n");

    // history.buf cannot be created: a first-name search fails, a plain one does not need it.
    const std::string nowhere = install.File("no/such/folder");
    run = RunTool({"--data-dir", data.Path(), "--install-dir", nowhere, "--database", "12", "--surname",
                   "Smith", "--first-name", "jo"},
                  Isolated());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(nowhere + "/history.buf"), std::string::npos) << run.err;
    run = RunTool(
        {"--data-dir", data.Path(), "--install-dir", nowhere, "--database", "12", "--surname", "Smith"},
        Isolated());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, SmithPage(25, 0, 10, "prev=off next=on"));
}

TEST_F(QueryTool, WrongIndexFormatExitsOne) {
    std::string tree = ReadFileBytes(data.File("congen.tre"));
    ASSERT_FALSE(tree.empty());
    tree.back() = 5;
    WriteFileBytes(data.File("congen.tre"), tree);
    const ToolRun run = Query({"--database", "0", "--surname", "M\xc3\xbcller"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("wrong file format!"), std::string::npos) << run.err;
}

TEST_F(QueryTool, DirectoriesComeFromCorvaneIniUnlessGiven) {
    WriteFileBytes(config.File("corvane.ini"),
                   "[Tavora7m]\nTavoraDir=" + install.Path() + "\nChronaraPath=" + data.Path() + "\n");
    ToolRun run = RunTool({"--database", "12", "--surname", "Smith", "--first-name", "Mary"}, Isolated());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "8 records found.");
    EXPECT_EQ(ReadFileBytes(install.File(disk_format::kHistoryFileName)).size(), 8u * 300u);

    // --data-dir replaces only the data folder: history.buf still goes to TavoraDir.
    TempDir elsewhere;
    WriteFileBytes(config.File("corvane.ini"),
                   "[Tavora7m]\nTavoraDir=" + install.Path() + "/\nChronaraPath=" + elsewhere.Path() + "\n");
    run = RunTool(
        {"--data-dir", data.Path() + "/", "--database", "12", "--surname", "Smith", "--first-name", "Joseph"},
        Isolated());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "8 records found.");
    EXPECT_EQ(ReadFileBytes(install.File(disk_format::kHistoryFileName)).size(), 8u * 300u);
    // Without the option the INI's data folder, which has no disk marker, counts.
    run = RunTool({"--database", "12", "--surname", "Smith"}, Isolated());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(kInsertDisk), std::string::npos);
}

}  // namespace

// --- listings and export ---------------------------------------------------

namespace {

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::string error;
    EXPECT_TRUE(testing_support::ReadCsvRows(text, rows, error)) << error;
    return rows;
}

testing_support::JsonValue Json(const std::string& text) {
    testing_support::JsonValue value;
    std::string error;
    EXPECT_TRUE(testing_support::ParseJson(text, value, &error)) << error << "\n" << text;
    return value;
}

}  // namespace

TEST_F(QueryTool, ListsSurnamesByEveryMatchingInEveryFormat) {
    struct Case {
        std::vector<std::string> args;
        std::string tsv;
    };
    const std::vector<Case> cases = {
        {{"--database", "12", "--surname", "smith"}, "ww2_kor\tSMITH\t25\n"},
        {{"--database", "all", "--surname", "j", "--match", "prefix"}, "ww2_kor\tJONES\t2\n"},
        {{"--database", "all", "--surname", "*o*", "--match", "pattern"},
         "titan\tASTOR\t3\nv_mem\tBROWN\t1\nww2_kor\tJONES\t2\n"},
        {{"--database", "all", "--surname", "Smyth", "--match", "soundex"}, "ww2_kor\tSMITH\t25\n"},
        {{"--database", "all", "--surname", "Mueller", "--match", "dm"},
         "congen\tM\xc3\xbcLLER\t1\n"},  // keys upper-case a-z only
        {{"--database", "honorol", "--surname", "D*", "--match", "pattern"}, "honorol\tDOE\t1\n"},
        {{"--database", "all", "--surname", "nobody", "--match", "soundex"}, ""},
        // Close spellings add the distance.
        {{"--database", "all", "--surname", "Smtih", "--match", "close"}, "ww2_kor\tSMITH\t25\t1\n"},
        {{"--database", "all", "--surname", "Jnoes", "--match", "close"}, "ww2_kor\tJONES\t2\t1\n"},
        {{"--database", "all", "--surname", "Mueller", "--match", "close"}, "congen\tM\xc3\xbcLLER\t1\t1\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--list", "--format", "tsv"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolRun run = Query(args);
        EXPECT_EQ(run.status, 0) << c.args[3] << ": " << run.err;
        EXPECT_EQ(run.out, c.tsv) << c.args[3];
    }
    // Every database of the list: those without files are named and passed over.
    ToolRun run = Query({"--list", "--database", "all", "--surname", "smith"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("note: Union Generals is skipped: its index unigen.tre is not on the data disk"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("WWII and Korea: Graves and Monuments\n    SMITH  25\n"), std::string::npos)
        << run.out;

    run = Query({"--list", "--format", "json", "--database", "all", "--surname", "*", "--match", "pattern"});
    ASSERT_EQ(run.status, 0) << run.err;
    const testing_support::JsonValue listing = Json(run.out);
    ASSERT_EQ(listing.items.size(), 5u);  // MüLLER, ASTOR, BROWN, JONES, SMITH; DOE is in no list row
    const testing_support::JsonValue& first = listing.items[0];
    EXPECT_EQ(first.Member("database")->text, "congen");
    EXPECT_EQ(first.Member("title")->text, "Confederate Generals");
    EXPECT_EQ(first.Member("surname")->text, "M\xc3\xbcLLER");
    EXPECT_EQ(first.Member("count")->number, 1);
    run = Query({"--list", "--format", "json", "--database", "honorol", "--surname", "doe"});
    EXPECT_EQ(Json(run.out).items.at(0).Member("title")->text, "honorol");
    EXPECT_EQ(Json(run.out).items.at(0).Member("distance"), nullptr);
    run =
        Query({"--list", "--format", "json", "--database", "all", "--surname", "Astro", "--match", "close"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Json(run.out).items.at(0).Member("distance")->number, 1);
}

TEST_F(QueryTool, TypedLettersWindows1252LacksAreSearchedAsTheirBaseLetterAndSaidSo) {
    // Smıth (dotless i) is searched as Smith, and standard error says so.
    ToolRun run = Query({"--database", "12", "--surname", "Sm\xc4\xb1th", "--first-name", "Jo\xc5\x82"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "0 records found.");  // JOL: nobody
    EXPECT_NE(run.err.find("note: --surname: \"Sm\xc4\xb1th\" is searched as \"Smith\" (\xc4\xb1 as i)"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("note: --first-name: \"Jo\xc5\x82\" is searched as \"Jol\" (\xc5\x82 as l)"),
              std::string::npos)
        << run.err;
    // ű as ü, and a letter typed decomposed (u and a combining diaeresis) as the letter it makes.
    run = Query({"--list", "--format", "tsv", "--database", "congen", "--surname", "M\xc5\xb1ller"});
    EXPECT_EQ(run.out, "congen\tM\xc3\xbcLLER\t1\n") << run.err;
    run = Query({"--list", "--format", "tsv", "--database", "congen", "--surname", "Mu\xcc\x88ller"});
    EXPECT_EQ(run.out, "congen\tM\xc3\xbcLLER\t1\n") << run.err;
    EXPECT_EQ(run.err, "");  // ü is Windows-1252's own: nothing to say
    // A batch line is named with its number.
    WriteFileBytes(install.File("names.txt"), "smith\nJ\xc3\xb3n\xc4\x99s\n");
    run = Query({"--list", "--database", "12", "--batch", install.File("names.txt"), "--format", "tsv"});
    EXPECT_EQ(run.out, "smith\tww2_kor\tSMITH\t25\n");  // JóNES is not JONES
    EXPECT_NE(
        run.err.find("names.txt:2: \"J\xc3\xb3n\xc4\x99s\" is searched as \"J\xc3\xb3nes\" (\xc4\x99 as e)"),
        std::string::npos)
        << run.err;
    // What has no such letter is refused by name, never searched as '?'.
    const std::vector<std::vector<std::string>> refused = {
        {"--database", "12", "--surname", "\xd0\x96uk"},
        {"--list", "--database", "12", "--surname", "sm\xe2\x80\xbdth", "--match", "pattern"},
        {"--database", "12", "--surname", "Smith", "--first-name", "\xce\x91"},
    };
    for (const auto& args : refused) {
        run = Query(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("has no Windows-1252 form and no Windows-1252 letter to stand for it"),
                  std::string::npos)
            << run.err;
    }
    WriteFileBytes(install.File("names.txt"), "smith\n\xe4\xb8\x80\n");
    run = Query({"--list", "--database", "12", "--batch", install.File("names.txt")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("names.txt:2: the character U+4E00"), std::string::npos) << run.err;
}

TEST_F(QueryTool, NameVariantsWidenTheFirstNameFilterOnlyWhenAsked) {
    // Jack is John: the nine Johns of the 25, as a page and as an export.
    ToolRun run = Query({"--database", "12", "--surname", "Smith", "--first-name", "Jack", "--variants"});
    EXPECT_EQ(run.status, 0) << run.err;
    std::string page = "9 records found.\n";
    for (int i = 0; i < 25; i += 3) page += SmithRow(i);
    EXPECT_EQ(run.out, page + "prev=off next=off\n");
    EXPECT_EQ(ReadFileBytes(install.File(disk_format::kHistoryFileName)).size(), 9u * 300u);
    EXPECT_EQ(Query({"--database", "12", "--surname", "Smith", "--first-name", "Jack"}).out,
              "0 records found.\nprev=off next=off\n");
    // Everyone today's filter keeps stays: jo is John and Joseph, 17, in range order.
    run = Query(
        {"--database", "12", "--surname", "Smith", "--first-name", "jo", "--variants", "--export", "csv"});
    EXPECT_EQ(CsvRows(run.out).size(), 18u);
    // Polly is Mary; the rest typed must begin the rest of the given names.
    run = Query({"--database", "12", "--surname", "Smith", "--first-name", "Polly 0", "--variants",
                 "--export", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const testing_support::JsonValue hits = Json(run.out);
    ASSERT_EQ(hits.items.size(), 3u);  // Mary 02, 05, 08
    EXPECT_EQ(hits.items[2].Member("given_names")->text, "Mary 08");
}

TEST_F(QueryTool, BatchListsEveryLineAndNamesTheLineItCannotTake) {
    WriteFileBytes(install.File("names.txt"), "smith\r\n\n   \n  Jones  \nnobody\n");
    ToolRun run =
        Query({"--list", "--database", "12", "--batch", install.File("names.txt"), "--format", "tsv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "smith\tww2_kor\tSMITH\t25\nJones\tww2_kor\tJONES\t2\n");
    run = Query({"--list", "--database", "12", "--batch", install.File("names.txt"), "--format", "json"});
    const testing_support::JsonValue batch = Json(run.out);
    ASSERT_EQ(batch.items.size(), 2u);
    EXPECT_EQ(batch.items[1].Member("query")->text, "Jones");
    EXPECT_EQ(batch.items[1].members.front().first, "query");

    struct Bad {
        std::string file;
        std::string message;
    };
    const std::vector<Bad> bad = {
        {"smith\n\n" + std::string(51, 'x') + "\n", "names.txt:3: the surname is 51 characters long"},
        {"smith\nsm\xffth\n", "names.txt:2: malformed UTF-8"},
    };
    for (const Bad& b : bad) {
        WriteFileBytes(install.File("names.txt"), b.file);
        run = Query({"--list", "--database", "12", "--batch", install.File("names.txt")});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(b.message), std::string::npos) << run.err;
    }
    run = Query({"--list", "--database", "12", "--batch", install.File("missing.txt")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("cannot open"), std::string::npos);
}

TEST_F(QueryTool, ListAndExportOptionsTheOtherModeRefuses) {
    const std::vector<std::vector<std::string>> bad = {
        {"--database", "12", "--surname", "smith", "--match", "soundex"},
        {"--database", "all", "--surname", "smith"},
        {"--list", "--database", "12", "--surname", "smith", "--first-name", "j"},
        {"--list", "--database", "12", "--surname", "smith", "--turn", "n"},
        {"--list", "--database", "12"},
        {"--list", "--database", "12", "--surname", "smith", "--batch", "-"},
        {"--database", "12", "--surname", "smith", "--format", "tsv"},
        {"--list", "--database", "12", "--surname", "smith", "--match", "sound"},
        {"--list", "--database", "12", "--surname", "smith", "--format", "xml"},
        {"--list", "--raw", "--database", "12", "--surname", "smith", "--format", "json"},
        {"--database", "12", "--surname", "smith", "--export", "xls"},
        {"--database", "12", "--surname", "smith", "--export", "csv", "--turn", "n"},
        {"--list", "--database", "12", "--surname", std::string(51, 'x')},
        {"--list", "--database", "12", "--surname", "smith", "--cite", "0"},
        {"--database", "12", "--surname", "smith", "--export", "gedcom", "--cite", "0"},
        {"--raw", "--database", "12", "--surname", "smith", "--export", "gedcom"},
        {"--database", "12", "--surname", "smith", "--cite", "first"},
        {"--list", "--database", "12", "--surname", "smith", "--variants"},
    };
    for (const auto& args : bad) {
        const ToolRun run = Query(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_EQ(run.out, "") << args.back();
        EXPECT_NE(run.err, "") << args.back();
    }
    // The one matching a page allows.
    EXPECT_EQ(Query({"--database", "12", "--surname", "smith", "--match", "exact"}).status, 0);
}

TEST_F(QueryTool, ExportOfAFirstNameSearchHoldsEveryHitOfEveryPage) {
    // John and Joseph: 17 of the 25 Smiths, two pages of hits.
    ToolRun run = Query({"--database", "12", "--surname", "smith", "--first-name", "jo", "--export", "csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = CsvRows(run.out);
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"surname", "given_names", "Middle Initial", "Inducted From",
                                                 "Rank"}));
    std::vector<int> people;
    for (int i = 0; i < 25; ++i) {
        if (i % 3 != 2) people.push_back(i);
    }
    for (std::size_t k = 0; k < people.size(); ++k) {
        const int i = people[k];
        EXPECT_EQ(rows[k + 1], (std::vector<std::string>{"SMITH", (i % 3 == 0 ? "John " : "Joseph ") + Two(i),
                                                         "R" + Two(i), "Ohio", "PFC"}));
    }
    run = Query({"--database", "12", "--surname", "smith", "--first-name", "jo", "--export", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const testing_support::JsonValue hits = Json(run.out);
    ASSERT_EQ(hits.items.size(), 17u);
    const testing_support::JsonValue& last = hits.items.back();
    EXPECT_EQ(last.Member("given_names")->text, "John 24");
    ASSERT_EQ(last.Member("fields")->items.size(), 3u);
    EXPECT_EQ(last.Member("fields")->items[0].text, "R24");
    EXPECT_EQ(last.Member("text")->text.find('\r'), std::string::npos);
    EXPECT_NE(last.Member("text")->text.find("R24\n"), std::string::npos);
    // A surname nobody has: the header alone, or an empty array.
    EXPECT_EQ(Query({"--database", "12", "--surname", "nobody", "--export", "csv"}).out,
              "surname,given_names\r\n");
    EXPECT_EQ(Query({"--database", "12", "--surname", "nobody", "--export", "json"}).out, "[]\n");
}

TEST_F(QueryTool, FamilyTreeExportAndCitationOfARow) {
    // 86400 seconds: 2 January 1970. The marker says nothing: the disk is
    // named as the insert-disk prompt names it.
    auto run = [this](std::vector<std::string> args, const std::string& epoch = "86400") {
        args.insert(args.begin(), {"--data-dir", data.Path(), "--install-dir", install.Path()});
        std::map<std::string, std::string> env = Isolated();
        env["SOURCE_DATE_EPOCH"] = epoch;
        return RunTool(args, env);
    };
    ToolRun tree =
        run({"--database", "12", "--surname", "smith", "--first-name", "jo", "--export", "gedcom"});
    ASSERT_EQ(tree.status, 0) << tree.err;
    EXPECT_EQ(tree.out.compare(0, 8, "0 HEAD\r\n"), 0);
    EXPECT_EQ(tree.out.compare(tree.out.size() - 8, 8, "0 TRLR\r\n"), 0);
    EXPECT_NE(tree.out.find("\r\n1 DATE 2 JAN 1970\r\n"), std::string::npos);
    EXPECT_NE(tree.out.find("\r\n1 PUBL Tavora Disk 16 (Chronara)\r\n"), std::string::npos);
    std::size_t people = 0;
    for (std::size_t at = 0; (at = tree.out.find(" INDI\r\n", at)) != std::string::npos; ++at) ++people;
    EXPECT_EQ(people, 17u);
    // Jones holds entries 0 and 1: Smith i is entry i + 2.
    EXPECT_NE(
        tree.out.find("\r\n2 PAGE WWII and Korea: Graves and Monuments, surname SMITH, given names John 24, "
                      "entry 26\r\n"),
        std::string::npos);

    // Row 1 of the second page of hits: Joseph 16.
    ToolRun cited =
        run({"--database", "12", "--surname", "smith", "--first-name", "jo", "--turn", "n", "--cite", "1"});
    ASSERT_EQ(cited.status, 0) << cited.err;
    const std::string tail = cited.out.substr(cited.out.find("prev=on next=off\n") + 17);
    const std::string medium =
        std::string("Tavora Disk 16 (Chronara) (a data disk read with Chronara ") + kChronaraVersion + ")";
    EXPECT_EQ(tail,
              "\"WWII and Korea: Graves and Monuments,\" database, " + medium +
                  ", entry 18 for Joseph 16 Smith; consulted 2 January 1970.\n"
                  "\"WWII and Korea: Graves and Monuments,\" entry 18 for Joseph 16 Smith.\n"
                  "\"WWII and Korea: Graves and Monuments.\" Database. Tavora Disk 16 (Chronara). A data "
                  "disk read with Chronara " +
                  kChronaraVersion + ".\n");

    // A row the page does not hold, and a date that is no count of seconds.
    cited = run({"--database", "12", "--surname", "smith", "--cite", "10"});
    EXPECT_EQ(cited.status, 2);
    EXPECT_EQ(cited.out, SmithPage(25, 0, 10, "prev=off next=on"));
    EXPECT_EQ(cited.err, "chronara-query: --cite: the page has no row 10\n");
    tree = run({"--database", "12", "--surname", "smith", "--export", "gedcom"}, "yesterday");
    EXPECT_EQ(tree.status, 2);
    EXPECT_EQ(tree.out, "");
    EXPECT_NE(tree.err.find("SOURCE_DATE_EPOCH"), std::string::npos);
}

TEST_F(QueryTool, UnreadableDataFileExitsThreeWithNothingPrinted) {
    // A FIFO where the record file belongs: it opens (and must not hang) but cannot be read at a position.
    const std::string ext = data.File("ww2_kor.ext");
    ASSERT_EQ(::unlink(ext.c_str()), 0);
    ASSERT_EQ(::mkfifo(ext.c_str(), 0644), 0);
    const ToolRun run = Query({"--database", "12", "--surname", "smith"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Could not read ww2_kor.ext: Illegal seek.\n");
}
