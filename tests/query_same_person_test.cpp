// chronara-query's family-tree exports of people the researcher confirmed
// to be one person: --export gedcom, --find --format gedcom and --saved
// --format gedcom each write one INDI for the records confirmed the same,
// citing each record for what it gave; a refused pair stays two people.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "browse/research_log/disk_identity.h"
#include "browse/research_log/research_log.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "support/log_support.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

using namespace research_log;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";
constexpr int kCivmoh = 2;
constexpr int kW1812 = 8;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

class QuerySamePerson : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(disk.File("chronaradb.id"), "Chronara test disk\n");
        std::string error;
        // Entries in surname order: Chamberlain 0, Smith 1, Tarbell 2.
        CDatabaseWriter w1812(kW1812);
        ASSERT_TRUE(w1812.Add({"Chamberlain", "Joshua", {"Col", "20th Maine"}}, &error)) << error;
        ASSERT_TRUE(w1812.Add({"Smith", "Reuben", {"Pvt", "1st Vermont"}}, &error)) << error;
        ASSERT_TRUE(w1812.Add({"Tarbell", "Reuben", {"Pvt", "1st Vermont"}}, &error)) << error;
        ASSERT_TRUE(w1812.Write(disk.Path(), 0, &error)) << error;
        CDatabaseWriter civmoh(kCivmoh);
        ASSERT_TRUE(civmoh.Add({"Chamberlain", "Joshua L.", {"Colonel, 20th Maine Infantry", "2 July 1863"}},
                               &error));
        ASSERT_TRUE(civmoh.Write(disk.Path(), 0, &error)) << error;

        CDirectories dirs;
        dirs.SetDataDir(disk.Path().c_str());
        DiskIdentity identity;
        ASSERT_FALSE(ReadDiskIdentity(dirs, identity).Failed());
        CResearchLog log(testing_support::LogAt(data.File("chronara/research.sqlite")));
        const PersonOnDisk medal{kCivmoh, 0, "CHAMBERLAIN", "Joshua L.", ""};
        const PersonOnDisk soldier{kW1812, 0, "CHAMBERLAIN", "Joshua", ""};
        const PersonOnDisk smith{kW1812, 1, "SMITH", "Reuben", ""};
        const PersonOnDisk tarbell{kW1812, 2, "TARBELL", "Reuben", ""};
        ASSERT_FALSE(log.SetVerdict(identity, soldier, medal, Sameness::Same, nullptr).Failed());
        ASSERT_FALSE(log.SetVerdict(identity, smith, tarbell, Sameness::NotSame, nullptr).Failed());
        ASSERT_FALSE(log.SavePerson(identity, medal, nullptr).Failed());
        ASSERT_FALSE(log.SavePerson(identity, soldier, nullptr).Failed());
        ASSERT_FALSE(log.SavePerson(identity, tarbell, nullptr).Failed());
        // A log that cannot be opened at all (a damaged one is moved aside by the log itself).
        std::filesystem::create_directories(damaged.File("chronara/research.sqlite"));
    }

    testing_support::ToolRun Query(std::vector<std::string> args, const std::string& dataHome) const {
        args.insert(args.begin(), {"--data-dir", disk.Path(), "--install-dir", install.Path()});
        return testing_support::RunProgram(kTool, args,
                                           {{"XDG_CONFIG_HOME", config.Path()},
                                            {"XDG_CONFIG_DIRS", config.Path()},
                                            {"XDG_DATA_HOME", dataHome},
                                            {"XDG_CACHE_HOME", config.File("cache")},
                                            {"SOURCE_DATE_EPOCH", "1796810400"}});
    }

    TempDir disk;
    TempDir install;
    TempDir config;
    TempDir data{testing_support::QuickScratchParent()};
    TempDir noVerdicts{testing_support::QuickScratchParent()};
    TempDir damaged{testing_support::QuickScratchParent()};
};

TEST_F(QuerySamePerson, EachExportWritesRecordsConfirmedTheSameAsOnePersonCitingEach) {
    const std::string soldierPage = "War of 1812, surname CHAMBERLAIN, given names Joshua, entry 0";
    const std::string medalPage =
        "Civil War Medal of Honor, surname CHAMBERLAIN, given names Joshua L., entry 0";
    const struct {
        const char* what;
        std::vector<std::string> args;
        const TempDir& dataHome;  // the research log with the verdicts, none, or one that cannot be opened
        int status;
        std::size_t people;   // INDI records
        std::size_t soldier;  // citations of the War of 1812 record (PAGE lines)
        std::size_t medal;    // of the Medal of Honor record
    } cases[] = {
        {"a page of one surname",
         {"--database", "w1812", "--surname", "Chamberlain", "--export", "gedcom"},
         data,
         0,
         1,
         1,
         1},
        {"a page, no verdicts",
         {"--database", "w1812", "--surname", "Chamberlain", "--export", "gedcom"},
         noVerdicts,
         0,
         1,
         1,
         0},
        {"a page, the log not to be opened",
         {"--database", "w1812", "--surname", "Chamberlain", "--export", "gedcom"},
         damaged,
         3,
         1,
         1,
         0},
        {"a record search finding both",
         {"--find", "chamberlain", "--database", "all", "--format", "gedcom"},
         data,
         0,
         1,
         1,
         1},
        {"a record search, no verdicts",
         {"--find", "chamberlain", "--database", "all", "--format", "gedcom"},
         noVerdicts,
         0,
         2,
         1,
         1},
        {"a record search, the log not to be opened",
         {"--find", "chamberlain", "--database", "all", "--format", "gedcom"},
         damaged,
         3,
         2,
         1,
         1},
        {"a refused pair stays two",
         {"--find", "reuben", "--database", "w1812", "--format", "gedcom"},
         data,
         0,
         2,
         0,
         0},
        {"the saved people", {"--saved", "--format", "gedcom"}, data, 0, 2, 1, 1},
    };
    for (const auto& c : cases) {
        const testing_support::ToolRun run = Query(c.args, c.dataHome.Path());
        ASSERT_EQ(run.status, c.status) << c.what << ": " << run.err;
        // A log that cannot be read is said, and the file written without its verdicts.
        EXPECT_EQ(run.err.find("without the research log's verdicts") != std::string::npos, c.status != 0)
            << c.what << ": " << run.err;
        EXPECT_EQ(Count(run.out, " INDI\r\n"), c.people) << c.what << "\n" << run.out;
        // The person's citation and each event's: at least one of each record cited.
        EXPECT_EQ(Count(run.out, "1 SOUR @S8@\r\n2 PAGE " + soldierPage), c.soldier) << c.what << "\n"
                                                                                     << run.out;
        EXPECT_EQ(Count(run.out, "1 SOUR @S2@\r\n2 PAGE " + medalPage), c.medal) << c.what << "\n" << run.out;
    }
}

}  // namespace
