// The headings and the provenance from chronara-mkdisk's sources to
// chronara-query's answers: the header row and the .about file on the disk
// (and their faults, with file and line), the whole record (--record) as
// text and JSON, the CSV columns, --field by a disk heading, and the
// citation with and without provenance; run as child processes.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "chronara_version.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::ToolRun;
using testing_support::WriteFileBytes;

namespace {

const char kMkdisk[] = CHRONARA_BINARY_DIR "/tools/mkdisk/chronara-mkdisk";
const char kQuery[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";

const char kTitanCsv[] =
    "surname,given names, Survived ,Class,Age,Ticket,Port of embarkation,Boat\n"
    "Allen,Miss. Elisabeth Walton,3,1st,29,24160,Southampton,2\n"
    "Allen,Mr. William Henry,0,3rd,35,373450,Southampton, \n"
    "Brown,Mrs. Margaret,3,1st,,,Cherbourg,6\n";
// A byte-order mark, CR LF, a blank line and a repeated key.
const char kTitanAbout[] =
    "\xEF\xBB\xBFTitle: Titanic passenger list\r\n"
    "Source: Encyclopedia Titanica\r\n"
    "\r\n"
    "licence: CC0 \xE2\x80\x94 no rights reserved\r\n"
    "Publisher: Example Society\r\n"
    "Source: Board of Trade\r\n";
const char kCivmohCsv[] =
    "surname,given,rank,place,entered,unused\n"
    "Chamberlain,Joshua L.,\"Colonel, 20th Maine Infantry\",Little Round Top,Brunswick,x\n";

class WholeRecordTool : public ::testing::Test {
protected:
    std::string Source(const std::string& name, const std::string& text) const {
        WriteFileBytes(work_.File(name), text);
        return work_.File(name);
    }
    ToolRun Mkdisk(const std::vector<std::string>& sources) const {
        std::vector<std::string> args{"--out", Disk()};
        args.insert(args.end(), sources.begin(), sources.end());
        return testing_support::RunProgram(kMkdisk, args);
    }
    ToolRun Query(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--data-dir", Disk(), "--install-dir", install_.Path()});
        return testing_support::RunProgram(kQuery, args,
                                           {{"XDG_CONFIG_HOME", config_.Path()},
                                            {"XDG_CONFIG_DIRS", config_.Path()},
                                            {"XDG_CACHE_HOME", cache_.Path()},
                                            {"SOURCE_DATE_EPOCH", "86400"}});
    }
    // titan with headings and provenance; civmoh without either (its
    // headings file taken away, as on a disk made elsewhere).
    void BuildDisk() {
        Source("titan.about", kTitanAbout);
        const ToolRun made = Mkdisk({Source("titan.csv", kTitanCsv), Source("civmoh.csv", kCivmohCsv)});
        ASSERT_EQ(made.status, 0) << made.err;
        std::filesystem::remove(Disk() + "/civmoh.fld");
        std::filesystem::remove(Disk() + "/civmoh.src");
    }
    std::string Disk() const { return work_.File("disk"); }

    TempDir work_;
    TempDir install_;
    TempDir config_;
    TempDir cache_;
};

TEST_F(WholeRecordTool, TheHeaderAndTheAboutFileGoOnTheDisk) {
    BuildDisk();
    EXPECT_EQ(ReadFileBytes(Disk() + "/titan.fld"),
              "Survived\nClass\nAge\nTicket\nPort of embarkation\nBoat\n");
    EXPECT_EQ(ReadFileBytes(Disk() + "/titan.src"),
              "Title: Titanic passenger list\nSource: Encyclopedia Titanica\nLicence: CC0 \x97 no rights "
              "reserved\nPublisher: Example Society\nSource: Board of Trade\n");
}

TEST_F(WholeRecordTool, FaultsOfTheAboutFileAndTheHeaderNameFileAndLine) {
    const struct {
        std::string about;  // empty: none
        std::string header;
        const char* fault;
    } cases[] = {
        {"Title: T\nTitel: x\n", "s,g,a", "titan.about:2: unknown key 'Titel'; the keys are Title, Source"},
        {"Notes\n", "s,g,a", "titan.about:1: not a line 'Key: value'"},
        {"\n\nSource:\n", "s,g,a", "titan.about:3: Source has no value"},
        {"Title: \xC5\x81\xC3\xB3"
         "d\xC5\xBA\n",
         "s,g,a", "titan.about:1: the character U+0141"},
        {"Notes: " + std::string(1001, 'n') + "\n", "s,g,a", "titan.about:1: Notes is 1001 characters long"},
        {"", "s,g,\"two\nlines\"",
         "titan.csv:1: the heading of column 3 (two\nlines): the heading holds a control"},
        {"", "s,g," + std::string(81, 'h'), "titan.csv:1: the heading of column 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        TempDir folder;
        const std::string csv = folder.File("titan.csv");
        WriteFileBytes(csv, c.header + "\nAllen,Ann,3\n");
        if (!c.about.empty()) WriteFileBytes(folder.File("titan.about"), c.about);
        const ToolRun run = testing_support::RunProgram(kMkdisk, {"--out", folder.File("disk"), csv});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(folder.Path() + "/" + c.fault), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("nothing was written"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(folder.File("disk")));
    }
}

TEST_F(WholeRecordTool, RecordAsTextAndJsonByteForByte) {
    BuildDisk();
    const std::string page =
        "2 records found.\nALLEN\tMiss. Elisabeth Walton\tsurvived: yes\nALLEN\tMr. William Henry\tsurvived: "
        "no\nprev=off next=off\n";
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"--database", "titan", "--surname", "allen", "--record", "0"},
         page + "ALLEN, Miss. Elisabeth Walton\nSurvived: Yes\nClass: 1st\nAge: 29\nTicket: 24160\nPort of "
                "embarkation: Southampton\nBoat: 2\n\nTitle: Titanic passenger list\nSource: Encyclopedia "
                "Titanica\nSource: Board of Trade\nPublisher: Example Society\nLicence: CC0 \xE2\x80\x94 no "
                "rights reserved\n"},
        {{"--database", "titan", "--surname", "allen", "--record", "1", "--format", "json"},
         "{\"database\": \"titan\", \"title\": \"Titanic Passenger List\", \"entry\": 1, \"surname\": "
         "\"ALLEN\", "
         "\"given_names\": \"Mr. William Henry\", \"fields\": [{\"heading\": \"Survived\", \"text\": "
         "\"No\"}, "
         "{\"heading\": \"Class\", \"text\": \"3rd\"}, {\"heading\": \"Age\", \"text\": \"35\"}, "
         "{\"heading\": "
         "\"Ticket\", \"text\": \"373450\"}, {\"heading\": \"Port of embarkation\", \"text\": "
         "\"Southampton\"}, "
         "{\"heading\": \"Boat\", \"text\": \"\"}], \"source\": {\"title\": \"Titanic passenger list\", "
         "\"source\": \"Encyclopedia Titanica\\nBoard of Trade\", \"publisher\": \"Example Society\", "
         "\"licence\": \"CC0 \xE2\x80\x94 no rights reserved\"}}\n"},
        // Without headings on the disk: the label table's, else the field's number.
        {{"--database", "civmoh", "--surname", "chamberlain", "--record", "0", "--format", "json"},
         "{\"database\": \"civmoh\", \"title\": \"Civil War Medal of Honor\", \"entry\": 0, \"surname\": "
         "\"CHAMBERLAIN\", \"given_names\": \"Joshua L.\", \"fields\": [{\"heading\": \"Rank and "
         "Organization\", \"text\": \"Colonel, 20th Maine Infantry\"}, {\"heading\": \"Place and Date\", "
         "\"text\": \"Little Round Top\"}, {\"heading\": \"Entered service at\", \"text\": \"Brunswick\"}, "
         "{\"heading\": \"Field 4\", \"text\": \"x\"}], \"source\": null}\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Query(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
    // A row the page does not hold; a format a record has not.
    ToolRun run = Query({"--database", "titan", "--surname", "allen", "--record", "2", "--format", "json"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--record: the page has no row 2"), std::string::npos) << run.err;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--record", "0", "--format", "tsv"},
                                               {"--record", "0", "--more-info", "0"},
                                               {"--record", "0", "--format", "json", "--cite", "0"},
                                               {"--record", "0", "--export", "csv"},
                                               {"--format", "json"}}) {
        std::vector<std::string> all{"--database", "titan", "--surname", "allen"};
        all.insert(all.end(), args.begin(), args.end());
        run = Query(all);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.out, "") << args[1];
    }
    // A damaged headings file is said, and nothing is printed.
    WriteFileBytes(Disk() + "/titan.fld", "Survived\nClass");
    run = Query({"--database", "titan", "--surname", "allen", "--record", "0"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("The file titan.fld of the data disk is damaged (line 2)."), std::string::npos)
        << run.err;
}

TEST_F(WholeRecordTool, CsvColumnsFieldByDiskHeadingAndTheCitation) {
    BuildDisk();
    ToolRun run = Query({"--database", "titan", "--surname", "allen", "--export", "csv"});
    EXPECT_EQ(run.out,
              "surname,given_names,Survived,Class,Age,Ticket,Port of embarkation,Boat\r\n"
              "ALLEN,Miss. Elisabeth Walton,Yes,1st,29,24160,Southampton,2\r\n"
              "ALLEN,Mr. William Henry,No,3rd,35,373450,Southampton,\r\n");
    run = Query({"--database", "titan", "--surname", "brown", "--export", "json"});
    EXPECT_NE(
        run.out.find("\"headings\": [\"Survived\", \"Class\", \"Age\", \"Ticket\", \"Port of embarkation\", "
                     "\"Boat\"]"),
        std::string::npos)
        << run.out;
    // By the disk's heading, as words; columns nobody found fills are left out.
    run = Query(
        {"--database", "titan", "--find", "cherbourg", "--field", "port of EMBARKATION", "--format", "csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "database,surname,given_names,Survived,Class,Port of embarkation,Boat\r\n"
              "titan,BROWN,Mrs. Margaret,Yes,1st,Cherbourg,6\r\n");
    run = Query({"--database", "titan", "--find", "cherbourg", "--field", "Boat", "--format", "count"});
    EXPECT_EQ(run.out, "0\n");
    run = Query({"--database", "titan", "--find", "southampton", "--limit", "1"});
    EXPECT_NE(run.out.find("      Port of embarkation: [Southampton]\n"), std::string::npos) << run.out;
    run = Query({"--database", "titan", "--find", "x", "--field", "Home"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the headings are: Survived, Class, Age, Ticket, Port of embarkation, Boat"),
              std::string::npos)
        << run.err;

    // The record set by its provenance where the disk has it; else the disk, as before.
    run = Query({"--database", "titan", "--surname", "brown", "--cite", "0"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string version = kChronaraVersion;
    EXPECT_NE(
        run.out.find("\"Titanic passenger list,\" database, Example Society (Chronara data disk, read with "
                     "Chronara " +
                     version +
                     "), entry 2 for Mrs. Margaret Brown; consulted 2 January 1970; citing Encyclopedia "
                     "Titanica; Board of Trade.\n"),
        std::string::npos)
        << run.out;
    run = Query({"--database", "civmoh", "--surname", "chamberlain", "--cite", "0"});
    EXPECT_NE(
        run.out.find("\"Civil War Medal of Honor,\" database, Chronara data disk (a data disk read with "
                     "Chronara " +
                     version + "), entry 0 for Joshua L. Chamberlain; consulted 2 January 1970.\n"),
        std::string::npos)
        << run.out;
}

}  // namespace
