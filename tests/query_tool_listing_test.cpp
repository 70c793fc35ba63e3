// chronara-query's listings and exports, run as a child process: the
// surname listings in every format, batches, the export of every hit, the
// family tree and citations, and what each mode refuses of the other's options.

#include "query_tool_fixture.h"

using namespace query_tool_test;

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
