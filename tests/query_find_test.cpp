// chronara-query --find: usage errors, every format byte for byte, batches,
// every database, exit statuses; run as a child process on databases
// written by the core's writer, with a cache folder of the test's own.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "store/database_writer.h"
#include "support/mini_json.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

using testing_support::TempDir;
using testing_support::ToolRun;
using testing_support::WriteFileBytes;

namespace {

const char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";

void WriteDatabase(int code, const std::string& dir, const std::vector<PersonRecord>& people) {
    CDatabaseWriter writer(code);
    std::string error;
    for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
    ASSERT_TRUE(writer.Write(dir, 0, &error)) << error;
}

class QueryFind : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(data.File("chronaradb.id"), "");
        // civmoh (list row 1): Rank and Organization, Place and Date, ...
        WriteDatabase(
            2, data.Path(),
            {{"Chamberlain", "Joshua L.", {"Colonel, 20th Maine Infantry", "2 July 1863", "Brunswick"}},
             {"Tozier", "Andrew J. ", {"Sergeant, 20th Maine Infantry", "2 July 1863", "Plymouth"}},
             {"O'Brien", "Henry", {"Corporal, 1st Minnesota", "3 July 1863", "M\xFCnchen"}}});
        // ww2_kor (list row 12): Middle Initial, Inducted From, Rank, Combat Org, Date of Death, Monument.
        WriteDatabase(
            11, data.Path(),
            {{"Smith", "John", {"A", "Maine", "Private", "103rd Infantry", "4 June 1944", "Margraten"}},
             {"Abbot", "Paul", {"", "Ohio", "Sergeant", "20th Armored", "1 May 1945", "Margraten"}}});
        // titan (list row 3): its record fields have no headings.
        WriteDatabase(3, data.Path(), {{"Allen", "Miss Elisabeth", {"3", "1st", "29", "Southampton"}}});
    }

    ToolRun Find(std::vector<std::string> args, const std::string* input = nullptr) {
        args.insert(args.begin(), {"--data-dir", data.Path(), "--install-dir", install.Path()});
        return testing_support::RunProgram(kTool, args,
                                           {{"XDG_CONFIG_HOME", config.Path()},
                                            {"XDG_CONFIG_DIRS", config.Path()},
                                            {"XDG_CACHE_HOME", cache.Path()}},
                                           input);
    }

    TempDir data;
    TempDir install;
    TempDir config;
    TempDir cache;
};

TEST_F(QueryFind, UsageErrorsExitTwoAndNameTheFault) {
    const struct {
        std::vector<std::string> args;
        const char* fault;
    } cases[] = {
        {{"--database", "civmoh", "--find", "\"20th Maine"}, "quote"},
        {{"--database", "civmoh", "--find", "ma*ne"}, "only end"},
        {{"--database", "civmoh", "--find", "!!"}, "no letter"},
        {{"--database", "civmoh", "--find", "-maine"}, "only excludes"},
        {{"--database", "civmoh", "--find", ""}, "empty"},
        {{"--database", "civmoh", "--find", "maine", "--field", "camp name"}, "the headings are: Rank and"},
        {{"--database", "all", "--find", "maine", "--field", "no such"}, "Camp Name"},
        {{"--database", "civmoh", "--find", "maine", "--field", "0"}, "field number"},
        {{"--database", "civmoh", "--find", "maine", "--years", "1945-1941"}, "backwards"},
        {{"--database", "civmoh", "--find", "maine", "--limit", "0"}, "--limit"},
        {{"--database", "civmoh", "--find", "maine", "--format", "xml"}, "--format"},
        {{"--database", "civmoh", "--find", "maine", "--format", "json", "--raw"}, "--raw"},
        {{"--database", "civmoh", "--find", "maine", "--format", "gedcom", "--raw"}, "GEDCOM"},
        {{"--database", "civmoh", "--format", "gedcom", "--find-batch", "-"}, "one query"},
        {{"--database", "civmoh", "--find", "maine", "--surname", "x"}, "--surname"},
        {{"--database", "civmoh", "--find", "maine", "--find-batch", "-"}, "one of them"},
        {{"--database", "civmoh", "--field", "1"}, "needs --find"},
        {{"--find", "maine"}, "--database"},
        {{"--database", "civmoh", "--find-batch", "-"}, "stdin:2"},
        {{"--database", "civmoh", "--find", "maine OR"}, "ends with OR"},
        {{"--database", "civmoh", "--find", "maine OR OR ohio"}, "two ORs"},
        {{"--database", "civmoh", "--find", "maine", "--facet", "rank"}, "--facet must be database, years"},
        {{"--database", "civmoh", "--find", "maine", "--facet", "field:"},
         "--facet field: '' names no field"},
        {{"--database", "civmoh", "--find", "maine", "--facet", "years:camp name"},
         "--facet years: no heading"},
        {{"--database", "civmoh", "--find", "maine", "--facet", "database", "--format", "csv"},
         "text, tsv or json"},
        {{"--database", "civmoh", "--facet", "database", "--find-batch", "-"}, "not --find-batch"},
        {{"--database", "civmoh", "--surname", "x", "--facet", "years"}, "needs --find"},
        {{"--database", "civmoh", "--surname", "x", "--abbreviations"}, "needs --find"},
        {{"--database", "civmoh", "--find", "\"lt lt lt lt\"", "--abbreviations"}, "more than 64"},
    };
    const std::string batch = "maine\n\"open\n";
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        const bool fromInput = args.back() == "-" && std::string(c.fault) == "stdin:2";
        const ToolRun run = Find(args, fromInput ? &batch : nullptr);
        std::string shown;
        for (const std::string& arg : args) shown += "[" + arg + "]";
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        const std::string fault = std::string(c.fault) == "stdin:2" ? "standard input:2: a quote" : c.fault;
        EXPECT_NE(run.err.find(fault), std::string::npos) << shown << "\n" << run.err;
    }
}

TEST_F(QueryFind, FormatsByteForByte) {
    const std::vector<std::string> maine = {"--database", "all", "--find", "\"20th mai*\""};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = maine;
        args.insert(args.end(), extra.begin(), extra.end());
        return Find(args);
    };
    ToolRun run = with({"--format", "tsv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "civmoh\t0\tCHAMBERLAIN\tJoshua L.\tColonel, 20th Maine Infantry, ...\n"
              "civmoh\t2\tTOZIER\tAndrew J.\tSergeant, 20th Maine Infantry, ...\n");
    run = with({"--format", "count"});
    EXPECT_EQ(run.out, "2\n");
    run = with({"--format", "count", "--limit", "1"});
    EXPECT_EQ(run.out, "1\n");
    run = with({"--format", "csv", "--limit", "1"});
    EXPECT_EQ(run.out,
              "database,surname,given_names,Rank and Organization,Place and Date,Entered service at\r\n"
              "civmoh,CHAMBERLAIN,Joshua L.,\"Colonel, 20th Maine Infantry\",2 July 1863,Brunswick\r\n");
    run = with({"--format", "json", "--limit", "1"});
    EXPECT_EQ(
        run.out,
        "[\n  {\"database\": \"civmoh\", \"title\": \"Civil War Medal of Honor\", \"entry\": 0, "
        "\"surname\": \"CHAMBERLAIN\", \"given_names\": \"Joshua L.\", \"summary\": \"Colonel, 20th Maine "
        "Infantry, ...\", \"fields\": [\"Colonel, 20th Maine Infantry\", \"2 July 1863\", "
        "\"Brunswick\"], \"headings\": [\"Rank and Organization\", \"Place and Date\", \"Entered service "
        "at\"], \"matched\": [\"Rank and Organization\"]}\n]\n");
    run = with({"--limit", "1"});
    EXPECT_EQ(run.out,
              "2 people found. The first 1 are shown.\n"
              "Civil War Medal of Honor (civmoh)\n"
              "  0  CHAMBERLAIN, Joshua L.  (Colonel, 20th Maine Infantry, ...)\n"
              "      Rank and Organization: Colonel, [20th] [Maine] Infantry\n");

    // Titanic fields are known by number; years match as numbers; UTF-8 out, Windows-1252 with --raw.
    run = Find({"--database", "all", "--find", "southampton", "--format", "json"});
    EXPECT_NE(run.out.find("\"matched\": [4]"), std::string::npos) << run.out;
    run = Find({"--database", "civmoh", "--find", "munchen", "--format", "tsv"});
    EXPECT_EQ(run.out, "civmoh\t1\tO'BRIEN\tHenry\tCorporal, 1st Minnesota, 3 Jul...\n");
    run =
        Find({"--database", "civmoh", "--find", "o'brien", "--field", "surname", "--format", "tsv", "--raw"});
    EXPECT_EQ(run.out, "civmoh\t1\tO'BRIEN\tHenry\tCorporal, 1st Minnesota, 3 Jul...\n");
    run = Find({"--database", "ww2_kor", "--years", "1944-1944", "--format", "json"});
    testing_support::JsonValue json;
    std::string error;
    ASSERT_TRUE(testing_support::ParseJson(run.out, json, &error)) << error;
    ASSERT_EQ(json.items.size(), 1U);
    EXPECT_EQ(json.items[0].Member("matched")->items[0].text, "Date of Death");

    // A batch from standard input: each answer says its query.
    const std::string batch = "\xEF\xBB\xBFmargraten\n\n  maine  \nnobody\n";
    run = Find({"--database", "all", "--find-batch", "-", "--format", "count"}, &batch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "margraten\t2\nmaine\t3\nnobody\t0\n");
    run = Find({"--database", "all", "--find-batch", "-", "--format", "tsv", "--field", "inducted from"},
               &batch);
    EXPECT_EQ(run.out, "maine\tww2_kor\t1\tSMITH\tJohn\tA, Maine, Private, ...\n");
    run = Find({"--database", "all", "--find-batch", "-", "--limit", "1", "--format", "json"}, &batch);
    ASSERT_TRUE(testing_support::ParseJson(run.out, json, &error)) << error;
    ASSERT_EQ(json.items.size(), 2U);
    EXPECT_EQ(json.items[1].Member("query")->text, "maine");
    EXPECT_EQ(json.items[1].Member("database")->text, "civmoh");
}

TEST_F(QueryFind, FacetsOrAndAbbreviations) {
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"--database", "all", "--find", "margraten OR maine", "--facet", "database"},
         "civmoh\tCivil War Medal of Honor\t2\nww2_kor\tWWII and Korea: Graves and Monuments\t2\n"},
        {{"--database", "all", "--find", "margraten OR maine", "--facet", "database", "--format", "json"},
         "[\n  {\"stem\": \"civmoh\", \"title\": \"Civil War Medal of Honor\", \"count\": 2},\n"
         "  {\"stem\": \"ww2_kor\", \"title\": \"WWII and Korea: Graves and Monuments\", \"count\": 2}\n]\n"},
        {{"--database", "all", "--years", "1000-2099", "--facet", "years"}, "1863\t3\n1944\t1\n1945\t1\n"},
        {{"--database", "all", "--years", "1000-2099", "--facet", "years", "--limit", "1", "--format",
          "json"},
         "[\n  {\"year\": 1863, \"count\": 3}\n]\n"},
        {{"--database", "civmoh", "--find", "july", "--facet", "years:place and date"}, "1863\t3\n"},
        {{"--database", "all", "--find", "\"20th mai*\" OR munchen", "--facet",
          "field:Rank and Organization"},
         "Colonel, 20th Maine Infantry\t1\nCorporal, 1st Minnesota\t1\nSergeant, 20th Maine Infantry\t1\n"},
        {{"--database", "ww2_kor", "--find", "margraten", "--facet", "field:2", "--format", "json"},
         "[\n  {\"value\": \"Maine\", \"count\": 1},\n  {\"value\": \"Ohio\", \"count\": 1}\n]\n"},
        {{"--database", "civmoh", "--find", "munchen", "--facet", "field:entered service at"},
         "M\xC3\xBCnchen\t1\n"},
        {{"--database", "civmoh", "--find", "munchen", "--facet", "field:3", "--raw"}, "M\xFCnchen\t1\n"},
        {{"--database", "civmoh", "--find", "nobody", "--facet", "database", "--format", "json"}, "[]\n"},
        // Sgt. and Sergeant are one with abbreviations, two without.
        {{"--database", "all", "--find", "sgt", "--format", "count"}, "0\n"},
        {{"--database", "all", "--find", "sgt", "--abbreviations", "--format", "count"}, "2\n"},
        {{"--database", "all", "--find", "\"OR\"", "--format", "count"}, "0\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Find(c.args);
        std::string shown;
        for (const std::string& arg : c.args) shown += "[" + arg + "]";
        EXPECT_EQ(run.status, 0) << shown << "\n" << run.err;
        EXPECT_EQ(run.out, c.out) << shown;
    }
}

TEST_F(QueryFind, FamilyTreeFileOfThePeopleFoundIsTheExportOfTheSamePeople) {
    // Tozier is the one person of his surname: found by a word of his record
    // and searched by his surname, the same person makes the same file.
    auto run = [this](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", data.Path(), "--install-dir", install.Path()});
        return testing_support::RunProgram(kTool, args,
                                           {{"XDG_CONFIG_HOME", config.Path()},
                                            {"XDG_CONFIG_DIRS", config.Path()},
                                            {"XDG_CACHE_HOME", cache.Path()},
                                            {"SOURCE_DATE_EPOCH", "86400"}});
    };
    const ToolRun found = run({"--database", "civmoh", "--find", "sergeant plymouth", "--format", "gedcom"});
    const ToolRun searched = run({"--database", "civmoh", "--surname", "tozier", "--export", "gedcom"});
    ASSERT_EQ(found.status, 0) << found.err;
    ASSERT_EQ(searched.status, 0) << searched.err;
    EXPECT_NE(found.out.find(" INDI\r\n"), std::string::npos);
    EXPECT_EQ(found.out, searched.out);
    // Nobody found: a file of no people, still whole.
    const ToolRun nobody = run({"--database", "civmoh", "--find", "nobody", "--format", "gedcom"});
    EXPECT_EQ(nobody.status, 0);
    EXPECT_EQ(nobody.out.find(" INDI\r\n"), std::string::npos);
    EXPECT_EQ(nobody.out.compare(nobody.out.size() - 8, 8, "0 TRLR\r\n"), 0);
}

TEST_F(QueryFind, DatabasesInListOrderAndMissingOnesNoted) {
    ToolRun run = Find({"--database", "all", "--find", "maine", "--format", "tsv"});
    EXPECT_EQ(run.status, 0);
    // Civil War Medal of Honor is row 1, the graves row 12; absent databases are noted.
    EXPECT_EQ(run.out.substr(0, 7), "civmoh\t");
    EXPECT_NE(run.out.find("\nww2_kor\t1\tSMITH"), std::string::npos);
    EXPECT_NE(run.err.find("note: Confederate Generals is skipped"), std::string::npos) << run.err;
    // A database asked for by name must be there.
    run = Find({"--database", "congen", "--find", "maine"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    // Nobody found is no failure.
    run = Find({"--database", "titan", "--find", "nobody"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0 people found.\n");
    // No disk.
    std::remove(data.File("chronaradb.id").c_str());
    run = Find({"--database", "titan", "--find", "allen"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
}

}  // namespace
