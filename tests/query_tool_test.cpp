// chronara-query, run as a child process on databases written by the core's
// writer: arguments, exit statuses, and the output byte for byte.

#include "query_tool_fixture.h"

using namespace query_tool_test;

namespace {

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
        {"--database", "12", "--surname", "Smith", "--record", "1x"},
        {"--database", "12", "--surname", "Smith", "--cite", "--"},
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
