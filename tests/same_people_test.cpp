// The people of a family-tree export as the research log's verdicts join
// them (same_person::CSamePeople): records confirmed the same, directly or
// through another, are one person written once; a refused pair stays two;
// a confirmed record the disk no longer holds is left out and said; a log
// that cannot be read gives no verdicts and a note; a failing disk stops.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/research_log.h"
#include "browse/same_person/same_people.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "support/log_support.h"
#include "support/test_support.h"

using namespace research_log;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr int kCivmoh = 2;
constexpr int kW1812 = 8;

std::string PlaceText(int code, std::int32_t entry) {
    return std::to_string(code) + ":" + std::to_string(entry);
}

class SamePeople : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(disk.File("chronaradb.id"), "Chronara test disk\n");
        std::string error;
        // Entries in surname order.
        CDatabaseWriter w1812(kW1812);
        ASSERT_TRUE(w1812.Add({"Chamberlain", "Joshua", {"Col", "20th Maine"}}, &error)) << error;
        ASSERT_TRUE(w1812.Add({"Smith", "Reuben", {"Pvt", "1st Vermont"}}, &error)) << error;
        ASSERT_TRUE(w1812.Add({"Tarbell", "Reuben", {"Pvt", "1st Vermont"}}, &error)) << error;
        ASSERT_TRUE(w1812.Add({"Ward", "John", {"Pvt", "2nd Maine"}}, &error)) << error;
        ASSERT_TRUE(w1812.Write(disk.Path(), 0, &error)) << error;
        CDatabaseWriter civmoh(kCivmoh);
        ASSERT_TRUE(civmoh.Add({"Chamberlain", "Joshua L.", {"Colonel, 20th Maine Infantry", "2 July 1863"}},
                               &error));
        ASSERT_TRUE(civmoh.Add({"Chamberlain", "Joshua Lawrence", {"Brigadier General", "1864"}}, &error));
        ASSERT_TRUE(civmoh.Add({"Ward", "John H.", {"Sergeant", "1864"}}, &error));
        ASSERT_TRUE(civmoh.Write(disk.Path(), 0, &error)) << error;
        dirs.SetDataDir(disk.Path().c_str());

        DiskIdentity identity;
        ASSERT_FALSE(ReadDiskIdentity(dirs, identity).Failed());
        CResearchLog log(testing_support::LogAt(logPath));
        const PersonOnDisk soldier{kW1812, 0, "CHAMBERLAIN", "Joshua", ""};
        const PersonOnDisk medal{kCivmoh, 0, "CHAMBERLAIN", "Joshua L.", ""};
        const PersonOnDisk general{kCivmoh, 1, "CHAMBERLAIN", "Joshua Lawrence", ""};
        const PersonOnDisk smith{kW1812, 1, "SMITH", "Reuben", ""};
        const PersonOnDisk tarbell{kW1812, 2, "TARBELL", "Reuben", ""};
        const PersonOnDisk ward{kW1812, 3, "WARD", "John", ""};
        // Saved from a disk that held another man at that entry.
        const PersonOnDisk wardGone{kCivmoh, 2, "WARD", "John Henry", ""};
        for (const auto& [a, b, sameness] : {std::make_tuple(soldier, medal, Sameness::Same),
                                             std::make_tuple(general, medal, Sameness::Same),
                                             std::make_tuple(smith, tarbell, Sameness::NotSame),
                                             std::make_tuple(ward, wardGone, Sameness::Same)})
            ASSERT_FALSE(log.SetVerdict(identity, a, b, sameness, nullptr).Failed());
    }

    static FoundPerson At(int code, std::int32_t entry) {
        FoundPerson person;
        person.code = code;
        person.entry = entry;
        return person;
    }

    TempDir disk;
    TempDir data{testing_support::QuickScratchParent()};
    const std::string logPath = data.File("chronara/research.sqlite");
    CDirectories dirs;
};

TEST_F(SamePeople, RecordsConfirmedTheSameAreOnePersonWrittenOnce) {
    same_person::CSamePeople people(dirs, testing_support::LogAt(logPath));
    const same_person::VerdictsRead read = people.Load();
    ASSERT_FALSE(read.Failed());
    ASSERT_TRUE(read.verdictsRead);
    EXPECT_TRUE(read.messages.empty());
    // Asked in this order, as an export walks its people.
    const struct {
        const char* what;
        int code;
        std::int32_t entry;
        bool write;
        std::vector<std::string> same;  // code:entry of the records written with it
        const char* said;               // in the one message, or null for none
    } cases[] = {
        {"confirmed directly and through another record", kW1812, 0, true, {"2:0", "2:1"}, nullptr},
        {"a record written already with another", kCivmoh, 1, false, {}, nullptr},
        {"a record written already, asked again", kW1812, 0, false, {}, nullptr},
        {"one of a refused pair", kW1812, 1, true, {}, nullptr},
        {"the other of it", kW1812, 2, true, {}, nullptr},
        {"confirmed with a record the disk no longer holds", kW1812, 3, true, {}, "WARD, John Henry"},
        {"another man at the place of the record gone", kCivmoh, 2, true, {}, nullptr},
    };
    for (const auto& c : cases) {
        const same_person::SameRecords records = people.RecordsWith(At(c.code, c.entry));
        EXPECT_FALSE(records.Failed()) << c.what;
        EXPECT_EQ(records.write, c.write) << c.what;
        std::vector<std::string> same;
        for (const FoundPerson& record : records.same) {
            same.push_back(PlaceText(record.code, record.entry));
            // Read again from the disk, with its fields, to be written.
            EXPECT_FALSE(record.fields.empty()) << c.what;
        }
        EXPECT_EQ(same, c.same) << c.what;
        if (c.said == nullptr) {
            EXPECT_TRUE(records.messages.empty()) << c.what;
        } else {
            ASSERT_EQ(records.messages.size(), 1u) << c.what;
            EXPECT_NE(records.messages[0].find(c.said), std::string::npos) << records.messages[0];
        }
    }
}

TEST_F(SamePeople, AnUnreadableLogGivesANoteAndAFailingDiskStops) {
    // A log that cannot be opened: the people are written each on their own, with the note.
    TempDir damaged{testing_support::QuickScratchParent()};
    std::filesystem::create_directories(damaged.File("chronara/research.sqlite"));
    {
        same_person::CSamePeople people(dirs,
                                        testing_support::LogAt(damaged.File("chronara/research.sqlite")));
        const same_person::VerdictsRead read = people.Load();
        EXPECT_FALSE(read.Failed());
        EXPECT_FALSE(read.verdictsRead);
        ASSERT_FALSE(read.messages.empty());
        EXPECT_EQ(read.messages.back(), same_person::WithoutVerdictsNote());
        const same_person::SameRecords records = people.RecordsWith(At(kW1812, 0));
        EXPECT_TRUE(records.write);
        EXPECT_TRUE(records.same.empty());
    }
    // A confirmed record that cannot be read: nothing more is written, and the disk's message said.
    const std::string records = disk.File(std::string(catalogue::StemOf(kCivmoh)) + ".ext");
    ASSERT_EQ(std::remove(records.c_str()), 0) << records;
    {
        same_person::CSamePeople people(dirs, testing_support::LogAt(logPath));
        ASSERT_FALSE(people.Load().Failed());
        const same_person::SameRecords read = people.RecordsWith(At(kW1812, 0));
        EXPECT_TRUE(read.Failed());
        EXPECT_FALSE(read.write);
        ASSERT_FALSE(read.messages.empty());
        EXPECT_EQ(read.messages.back(), search_messages::MessageOf(read.error));
    }
    // The disk gone: the verdicts cannot be matched to it, and nothing may be written.
    ASSERT_EQ(std::remove(disk.File("chronaradb.id").c_str()), 0);
    same_person::CSamePeople people(dirs, testing_support::LogAt(logPath));
    const same_person::VerdictsRead read = people.Load();
    EXPECT_TRUE(read.Failed());
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0], search_messages::MessageOf(read.error));
}

}  // namespace
