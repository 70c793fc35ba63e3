// The research log: its tables and their migrations, the searches as asked
// and listed, people saved, removed and put back, seen marks, the log
// turned off and cleared, and people of another disk never taken for
// those of this one.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "browse/research_log/asked_text.h"
#include "browse/research_log/log_location.h"
#include "browse/research_log/log_schema.h"
#include "browse/research_log/log_time.h"
#include "browse/research_log/research_log.h"
#include "browse/research_log/saved_person_reader.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "support/log_support.h"
#include "support/test_support.h"

using namespace research_log;
using testing_support::LogAt;
using testing_support::MadeUpDisk;
using testing_support::MadeUpPerson;
using testing_support::ReadFileBytes;
using testing_support::RunSql;
using testing_support::ScopedEnv;
using testing_support::SqlInteger;
using testing_support::SqlText;
using testing_support::TempDir;

namespace {

// Times are written in the zone of the test, UTC unless it says otherwise.
class ResearchLog : public ::testing::Test {
protected:
    void SetUp() override { tzset(); }
    void TearDown() override { tzset(); }
    std::string Path() const { return home.File("data/chronara/research.sqlite"); }
    LogOptions Options() const { return LogAt(Path()); }

    ScopedEnv zone{"TZ", "UTC0"};
    TempDir home{testing_support::QuickScratchParent()};
};

AskedSearch Surname(const std::string& database, const std::string& surname,
                    const char* firstName = nullptr) {
    AskedSearch asked;
    asked.kind = SearchKind::Surname;
    asked.database = database;
    asked.surname = surname;
    asked.hasFirstName = firstName != nullptr;
    if (firstName != nullptr) asked.firstName = firstName;
    return asked;
}

std::vector<std::string> AskedTexts(const std::vector<LoggedSearch>& searches) {
    std::vector<std::string> texts;
    for (const LoggedSearch& search : searches) texts.push_back(search.askedText);
    return texts;
}

TEST_F(ResearchLog, TimesCarryTheirOffsetAndOnlyTheirFormReadsBack) {
    const struct {
        const char* zone;
        const char* expected;
    } zones[] = {{"UTC0", "2026-12-09T10:00:00+00:00"},
                 {"EST5", "2026-12-09T05:00:00-05:00"},
                 {"IST-5:30", "2026-12-09T15:30:00+05:30"}};
    for (const auto& zoneCase : zones) {
        ScopedEnv other("TZ", zoneCase.zone);
        tzset();
        EXPECT_EQ(LogTime(1796810400), zoneCase.expected) << zoneCase.zone;
        EXPECT_TRUE(IsLogTime(zoneCase.expected));
    }
    for (const char* bad :
         {"", "2026-12-09", "2026-12-09T10:00:00", "2026-13-09T10:00:00+00:00", "2026-12-09T10:00:00+0000",
          "2026-12-09 10:00:00+00:00", "2026-12-09T10:00:00+00:00x"}) {
        EXPECT_FALSE(IsLogTime(bad)) << bad;
    }
    EXPECT_TRUE(IsLogTime("2026-12-09T10:00:00Z"));
}

TEST_F(ResearchLog, AskedTextsReadAsTheUserAsked) {
    AskedSearch surname = Surname("w1812", "SMITH", "J");
    AskedSearch variants = Surname("w1812", "SMITH", "Wm");
    variants.options = {"variants"};
    AskedSearch list;
    list.kind = SearchKind::List;
    list.surname = "smtih";
    list.options = {"close"};
    AskedSearch find;
    find.kind = SearchKind::Find;
    find.query = "\"20th maine\"";
    find.yearFrom = 1863;
    find.yearTo = 1865;
    AskedSearch field = find;
    field.query = "queenstown";
    field.field = "7";
    field.yearFrom = field.yearTo = 0;
    AskedSearch year;
    year.kind = SearchKind::Find;
    year.yearFrom = year.yearTo = 1944;
    AskedSearch unknown = Surname("all", "DOE");
    unknown.options = {"later-option"};
    const struct {
        AskedSearch asked;
        const char* text;
    } cases[] = {
        {surname, "surname SMITH, first name J"},
        {Surname("titan", "ALLEN"), "surname ALLEN"},
        {variants, "surname SMITH, first name Wm, name variants"},
        {list, "list smtih, match close"},
        {find, "find \"20th maine\", years 1863-1865"},
        {field, "find queenstown, field 7"},
        {year, "year 1944"},
        {unknown, "surname DOE, later-option"},
    };
    for (const auto& c : cases) EXPECT_EQ(AskedText(c.asked), c.text);
}

TEST_F(ResearchLog, TheLogIsTheUsersOwnWhereverTheEnvironmentPutsIt) {
    const struct {
        const char* dataHome;
        const char* home;
        const char* expected;
        std::size_t existing;
    } cases[] = {
        {"/x/data", "/home/u", "/x/data/chronara/research.sqlite", 1},
        {"/x/data/", nullptr, "/x/data/chronara/research.sqlite", 1},
        {"relative", "/home/u", "/home/u/.local/share/chronara/research.sqlite", 8},
        {nullptr, "/home/u/", "/home/u/.local/share/chronara/research.sqlite", 8},
        {"/", "relative", "", 1},
        {nullptr, nullptr, "", 1},
    };
    for (const auto& c : cases) {
        ScopedEnv dataHome("XDG_DATA_HOME", c.dataHome);
        ScopedEnv homeFolder("HOME", c.home);
        const LogPlace place = DefaultLogPlace();
        EXPECT_EQ(place.path, c.expected);
        if (!place.path.empty()) {
            EXPECT_EQ(place.existing, c.existing) << c.expected;
        } else {
            LogOptions options;
            options.place = place;
            CResearchLog log(options);
            const LogOutcome outcome = log.LogSearch(LogProgram::Query, Surname("w1812", "SMITH"), 1);
            EXPECT_EQ(outcome.error.kind, LogErrorKind::NoFolder);
            ASSERT_EQ(outcome.messages.size(), 1u);
            EXPECT_EQ(
                outcome.messages[0],
                "The research log cannot be kept: there is no folder for it: neither XDG_DATA_HOME nor HOME "
                "is set to an absolute folder.");
        }
    }
}

TEST_F(ResearchLog, ANewLogIsMadeForTheUserAloneInWalModeAtThisVersion) {
    ::umask(022);
    CResearchLog log(Options());
    EXPECT_FALSE(log.Open().Failed());
    struct stat info {};
    ASSERT_EQ(::stat(home.File("data/chronara").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(home.File("data").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(SqlInteger(Path(), "PRAGMA user_version"), log_schema::kCurrentVersion);
    EXPECT_EQ(SqlInteger(Path(), "PRAGMA application_id"), log_schema::kApplicationId);
    EXPECT_EQ(SqlText(Path(), "PRAGMA journal_mode"), "wal");
    // Searches, saves and seen marks make the journal files with the log's mode.
    ASSERT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("w1812", "SMITH"), 3).Failed());
    ASSERT_EQ(::stat((Path() + "-wal").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A log of every earlier version, with what that version kept, is brought
// to this version whole. Each version's filler writes what it could hold.
TEST_F(ResearchLog, ALogOfEveryEarlierVersionIsBroughtUpWithWhatItHeld) {
    const char* const fillers[] = {
        "",  // version 0: a file without tables
        "INSERT INTO disks VALUES('v1-0000000000001001', 'Chronara data disk', '');"
        "INSERT INTO searches(time, program, database, kind, surname, asked, count) VALUES"
        "('2026-01-02T03:04:05+01:00', 'chronara', 'w1812', 'surname', 'SMITH', 'surname SMITH', 4);"
        "INSERT INTO saved_people(disk, database, entry, surname, given_names, summary, note, time) VALUES"
        "('v1-0000000000001001', 'w1812', 12, 'SMITH', 'John', 'Pvt', 'his will', "
        "'2026-01-02T03:04:06+01:00');"
        "INSERT INTO seen VALUES('v1-0000000000001001', 'w1812', 12, '2026-01-02T03:04:07+01:00');",
        // version 2: the same, and a verdict
        "INSERT INTO disks VALUES('v1-0000000000001001', 'Chronara data disk', '');"
        "INSERT INTO searches(time, program, database, kind, surname, asked, count) VALUES"
        "('2026-01-02T03:04:05+01:00', 'chronara', 'w1812', 'surname', 'SMITH', 'surname SMITH', 4);"
        "INSERT INTO saved_people(disk, database, entry, surname, given_names, summary, note, time) VALUES"
        "('v1-0000000000001001', 'w1812', 12, 'SMITH', 'John', 'Pvt', 'his will', "
        "'2026-01-02T03:04:06+01:00');"
        "INSERT INTO seen VALUES('v1-0000000000001001', 'w1812', 12, '2026-01-02T03:04:07+01:00');"
        "INSERT INTO verdicts(disk, database1, entry1, surname1, database2, entry2, surname2, verdict, time) "
        "VALUES('v1-0000000000001001', 'civmoh', 3, 'SMITH', 'w1812', 12, 'SMITH', 'not-same', "
        "'2026-01-02T03:04:08+01:00');",
    };
    static_assert(sizeof fillers / sizeof fillers[0] == log_schema::kCurrentVersion + 1,
                  "a filler for every version up to this one");
    // The log of this version too: it is opened as it is.
    for (int version = 0; version <= log_schema::kCurrentVersion; ++version) {
        SCOPED_TRACE("from version " + std::to_string(version));
        TempDir folder(testing_support::QuickScratchParent());
        const std::string path = folder.File("research.sqlite");
        std::string sql = "PRAGMA journal_mode = WAL;";
        if (version > 0) sql += "PRAGMA application_id = " + std::to_string(log_schema::kApplicationId) + ";";
        ASSERT_TRUE(RunSql(path, sql));
        // The tables each version made, by the steps that made them then.
        if (version > 0) {
            ASSERT_TRUE(testing_support::ApplySchemaSteps(path, version));
            ASSERT_TRUE(RunSql(path, fillers[version]));
        }
        CResearchLog log(LogAt(path));
        EXPECT_FALSE(log.Open().Failed());
        EXPECT_EQ(SqlInteger(path, "PRAGMA user_version"), log_schema::kCurrentVersion);
        std::vector<LoggedSearch> searches;
        ASSERT_FALSE(log.Searches({}, 0, 10, searches).Failed());
        std::vector<SavedPerson> saved;
        const DiskIdentity disk = MadeUpDisk(1);
        ASSERT_FALSE(log.SavedPeople(&disk, false, saved).Failed());
        std::vector<std::string> seen;
        ASSERT_FALSE(log.SeenAmong(disk, {{8, 12}}, seen).Failed());  // w1812
        if (version == 0) {
            EXPECT_TRUE(searches.empty());
            EXPECT_TRUE(saved.empty());
        } else {
            EXPECT_EQ(AskedTexts(searches), std::vector<std::string>{"surname SMITH"});
            ASSERT_EQ(saved.size(), 1u);
            EXPECT_EQ(saved[0].note, "his will");
            EXPECT_EQ(seen[0], "2026-01-02T03:04:07+01:00");
        }
        std::vector<PairVerdict> verdicts;
        ASSERT_FALSE(log.Verdicts(&disk, false, verdicts).Failed());
        EXPECT_EQ(verdicts.size(), version >= 2 ? 1u : 0u);
        // And it goes on logging.
        EXPECT_FALSE(log.LogSearch(LogProgram::Query, Surname("w1812", "JONES"), 0).Failed());
    }
}

TEST_F(ResearchLog, ANewerVersionsLogIsReadButNeverChanged) {
    {
        CResearchLog log(Options());
        ASSERT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("w1812", "SMITH"), 2).Failed());
    }
    ASSERT_TRUE(RunSql(Path(), "CREATE TABLE later(a, b); PRAGMA user_version = " +
                                   std::to_string(log_schema::kCurrentVersion + 1)));
    const std::string before = ReadFileBytes(Path());
    CResearchLog log(Options());
    std::vector<LoggedSearch> searches;
    EXPECT_FALSE(log.Searches({}, 0, 10, searches).Failed());
    EXPECT_EQ(AskedTexts(searches), std::vector<std::string>{"surname SMITH"});
    const LogOutcome outcome = log.LogSearch(LogProgram::Viewer, Surname("w1812", "JONES"), 2);
    EXPECT_EQ(outcome.error.kind, LogErrorKind::Newer);
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_EQ(outcome.messages[0],
              "The research log " + Path() +
                  " was written by a newer version of Chronara; this version reads it but does "
                  "not change it.");
    EXPECT_EQ(log.SavePerson(MadeUpDisk(1), MadeUpPerson(2, 1), nullptr).error.kind, LogErrorKind::Newer);
    EXPECT_EQ(log.Clear(ClearWhat::All).error.kind, LogErrorKind::Newer);
    EXPECT_EQ(SqlInteger(Path(), "SELECT count(*) FROM searches"), 1);
}

TEST_F(ResearchLog, SearchesAreListedNewestFirstFilteredAndWalkedAsHistory) {
    CResearchLog log(Options());
    AskedSearch find;
    find.kind = SearchKind::Find;
    find.database = "all";
    find.query = "100%_sure\\";
    const struct {
        AskedSearch asked;
        std::int64_t count;
    } logged[] = {
        {Surname("w1812", "SMITH", "J"), 12},
        {Surname("w1812", "JONES"), 0},
        {Surname("titan", "ALLEN"), 3},
        {Surname("w1812", "SMITH", "J"), 12},
        {find, 0},
        {Surname("w1812", "SMITH"), 40},
    };
    for (const auto& entry : logged)
        ASSERT_FALSE(log.LogSearch(LogProgram::Query, entry.asked, entry.count).Failed());

    std::vector<LoggedSearch> searches;
    ASSERT_FALSE(log.Searches({}, 0, 100, searches).Failed());
    EXPECT_EQ(AskedTexts(searches),
              (std::vector<std::string>{"surname SMITH", "find 100%_sure\\", "surname SMITH, first name J",
                                        "surname ALLEN", "surname JONES", "surname SMITH, first name J"}));
    EXPECT_EQ(searches[4].count, 0);
    EXPECT_EQ(searches[4].time, "2026-12-09T10:00:01+00:00");
    EXPECT_EQ(searches[4].program, "chronara-query");
    EXPECT_EQ(searches[0].asked.database, "w1812");
    EXPECT_FALSE(searches[0].asked.hasFirstName);

    const struct {
        SearchFilter filter;
        std::int64_t before;
        std::size_t limit;
        std::vector<std::string> texts;
    } listings[] = {
        {{"w1812", ""},
         0,
         100,
         {"surname SMITH", "surname SMITH, first name J", "surname JONES", "surname SMITH, first name J"}},
        {{"", "first name j"}, 0, 100, {"surname SMITH, first name J", "surname SMITH, first name J"}},
        // "all" is the searches of every database at once, not any database.
        {{"all", ""}, 0, 100, {"find 100%_sure\\"}},
        {{"all", "first name j"}, 0, 100, {}},
        // LIKE's own characters in the text are taken as they are.
        {{"", "0%_s"}, 0, 100, {"find 100%_sure\\"}},
        {{"", "%"}, 0, 100, {"find 100%_sure\\"}},
        {{"", "e\\"}, 0, 100, {"find 100%_sure\\"}},
        {{"titan", "SMITH"}, 0, 100, {}},
        // A page of two, then the next older than its last.
        {{}, 0, 2, {"surname SMITH", "find 100%_sure\\"}},
        {{}, searches[1].id, 2, {"surname SMITH, first name J", "surname ALLEN"}},
    };
    for (const auto& listing : listings) {
        ASSERT_FALSE(log.Searches(listing.filter, listing.before, listing.limit, searches).Failed());
        EXPECT_EQ(AskedTexts(searches), listing.texts)
            << listing.filter.database << "|" << listing.filter.text;
        std::int64_t count = -1;
        ASSERT_FALSE(log.CountSearches(listing.filter, count).Failed());
        if (listing.before == 0 && listing.limit == 100) {
            EXPECT_EQ(count, static_cast<std::int64_t>(listing.texts.size()));
        }
    }

    // Without a filter: every search, counted in the index alone.
    std::int64_t every = -1;
    ASSERT_FALSE(log.CountSearches({}, every).Failed());
    ASSERT_FALSE(log.Searches({}, 0, 100, searches).Failed());
    EXPECT_EQ(every, static_cast<std::int64_t>(searches.size()));
    EXPECT_GT(every, 4);

    std::vector<std::string> oldestFirst;
    ASSERT_FALSE(log.ForEachSearch([&](const LoggedSearch& search) {
                        oldestFirst.push_back(search.askedText);
                        return oldestFirst.size() < 3;
                    })
                     .Failed());
    EXPECT_EQ(oldestFirst,
              (std::vector<std::string>{"surname SMITH, first name J", "surname JONES", "surname ALLEN"}));

    // Up in Last Name: each surname and first name once, newest first.
    std::vector<AskedSearch> earlier;
    ASSERT_FALSE(log.EarlierSearches("w1812", 10, earlier).Failed());
    std::vector<std::string> walked;
    for (const AskedSearch& asked : earlier) walked.push_back(AskedText(asked));
    EXPECT_EQ(walked,
              (std::vector<std::string>{"surname SMITH", "surname SMITH, first name J", "surname JONES"}));
    ASSERT_FALSE(log.EarlierSearches("congen", 10, earlier).Failed());
    EXPECT_TRUE(earlier.empty());
}

TEST_F(ResearchLog, WhatCannotBeKeptIsRefusedBeforeAnythingIsWritten) {
    CResearchLog log(Options());
    AskedSearch badDatabase = Surname("nosuch", "SMITH");
    AskedSearch tab = Surname("w1812", "SMI\tTH");
    AskedSearch badOption = Surname("w1812", "SMITH");
    badOption.options = {"Two Words"};
    PersonOnDisk negative = MadeUpPerson(2, 1);
    negative.entry = -1;
    PersonOnDisk noSurname = MadeUpPerson(2, 1);
    noSurname.surname.clear();
    DiskIdentity unknown = MadeUpDisk(1);
    unknown.fingerprint = "v1-XYZ";
    const std::string longNote(kMaxNote + 1, 'n');
    const std::string lineNote = "two\nlines";
    EXPECT_EQ(log.LogSearch(LogProgram::Viewer, badDatabase, 1).error.kind, LogErrorKind::Refused);
    EXPECT_EQ(log.LogSearch(LogProgram::Viewer, tab, 1).error.kind, LogErrorKind::Refused);
    EXPECT_EQ(log.LogSearch(LogProgram::Viewer, badOption, 1).error.kind, LogErrorKind::Refused);
    EXPECT_EQ(log.LogSearch(LogProgram::Viewer, Surname("w1812", "SMITH"), -1).error.kind,
              LogErrorKind::Refused);
    EXPECT_EQ(log.SavePerson(MadeUpDisk(1), negative, nullptr).error.kind, LogErrorKind::Refused);
    EXPECT_EQ(log.SavePerson(MadeUpDisk(1), noSurname, nullptr).error.kind, LogErrorKind::Refused);
    EXPECT_EQ(log.SavePerson(unknown, MadeUpPerson(2, 1), nullptr).error.kind, LogErrorKind::Refused);
    EXPECT_EQ(log.SavePerson(MadeUpDisk(1), MadeUpPerson(2, 1), &longNote).error.kind, LogErrorKind::Refused);
    const LogOutcome line = log.SavePerson(MadeUpDisk(1), MadeUpPerson(2, 1), &lineNote);
    ASSERT_EQ(line.messages.size(), 1u);
    EXPECT_EQ(
        line.messages[0],
        "The research log did not keep it: a note is one line of at most 2000 characters, without tabs or "
        "control characters.");
    EXPECT_EQ(log.MarkSeen(MadeUpDisk(1), {15, 0}).error.kind, LogErrorKind::Refused);
    struct stat info {};
    EXPECT_NE(::stat(Path().c_str(), &info), 0) << "nothing refused makes the log";
}

TEST_F(ResearchLog, APersonIsSavedOnceRemovedAndPutBack) {
    CResearchLog log(Options());
    const DiskIdentity disk = MadeUpDisk(1);
    const std::string first = "deserted 1863";
    const std::string second = "the same man as in congen?";
    std::int64_t a = 0;
    std::int64_t b = 0;
    std::int64_t again = 0;
    ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 12), &first, &a).Failed());
    ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 13), nullptr, &b).Failed());
    // Saved again: one row, the note changed only when one is given.
    ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 12), &second, &again).Failed());
    EXPECT_EQ(again, a);
    ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 12), nullptr, &again).Failed());
    std::vector<SavedPerson> saved;
    ASSERT_FALSE(log.SavedPeople(&disk, false, saved).Failed());
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].id, a);
    EXPECT_EQ(saved[0].note, second);
    EXPECT_EQ(saved[0].time, "2026-12-09T10:00:00+00:00");
    EXPECT_EQ(saved[0].person.surname, "SMITH5");
    EXPECT_EQ(saved[0].person.givenNames, "John 12");
    EXPECT_EQ(saved[0].person.summary, "Pvt, Co. 2, 20th Maine");
    EXPECT_EQ(saved[0].disk.label.name, "Chronara data disk");
    EXPECT_TRUE(saved[0].ofThisDisk);
    EXPECT_EQ(saved[1].note, "");

    bool found = false;
    SavedPerson removed;
    ASSERT_FALSE(log.RemovePerson(a, found, removed).Failed());
    EXPECT_TRUE(found);
    ASSERT_FALSE(log.SavedPeople(&disk, false, saved).Failed());
    EXPECT_EQ(saved.size(), 1u);
    SavedPerson none;
    ASSERT_FALSE(log.RemovePerson(a, found, none).Failed());
    EXPECT_FALSE(found) << "removed once";
    SavedPerson kept;
    ASSERT_FALSE(log.FindSaved(disk, {2, 12}, found, kept).Failed());
    EXPECT_FALSE(found);

    // Undo puts them back where they were, with their time and note.
    ASSERT_FALSE(log.UndoRemove(removed).Failed());
    ASSERT_FALSE(log.SavedPeople(&disk, false, saved).Failed());
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].id, a);
    EXPECT_EQ(saved[0].note, second);
    EXPECT_EQ(saved[0].time, "2026-12-09T10:00:00+00:00");
    ASSERT_FALSE(log.FindSaved(disk, {2, 12}, found, kept).Failed());
    EXPECT_TRUE(found);
    EXPECT_EQ(kept.id, a);

    // Saved again while removed: the newer row stays, the undo changes nothing.
    ASSERT_FALSE(log.RemovePerson(b, found, removed).Failed());
    const std::string newer = "newer";
    ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 13), &newer).Failed());
    ASSERT_FALSE(log.UndoRemove(removed).Failed());
    ASSERT_FALSE(log.SavedPeople(&disk, false, saved).Failed());
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[1].note, "newer");
}

TEST_F(ResearchLog, PeopleAndMarksOfAnotherDiskAreNeverTakenForThisDisks) {
    CResearchLog log(Options());
    const DiskIdentity here = MadeUpDisk(1);
    const DiskIdentity there = MadeUpDisk(2, "Chronara data disk");  // the same label, another disk
    const std::string noteHere = "here";
    const std::string noteThere = "there";
    ASSERT_FALSE(log.SavePerson(here, MadeUpPerson(2, 12), &noteHere).Failed());
    ASSERT_FALSE(log.SavePerson(there, MadeUpPerson(2, 12), &noteThere).Failed());
    ASSERT_FALSE(log.MarkSeen(there, {2, 12}).Failed());
    std::vector<SavedPerson> saved;
    ASSERT_FALSE(log.SavedPeople(&here, false, saved).Failed());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].note, "here");
    ASSERT_FALSE(log.SavedPeople(&here, true, saved).Failed());
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_TRUE(saved[0].ofThisDisk);
    EXPECT_FALSE(saved[1].ofThisDisk);
    EXPECT_EQ(saved[1].disk.fingerprint, there.fingerprint);
    ASSERT_FALSE(log.SavedPeople(nullptr, true, saved).Failed());
    EXPECT_FALSE(saved[0].ofThisDisk || saved[1].ofThisDisk) << "no disk given: none is this disk's";
    bool found = false;
    SavedPerson one;
    ASSERT_FALSE(log.FindSaved(here, {2, 12}, found, one).Failed());
    EXPECT_EQ(one.note, "here");
    const DiskIdentity third = MadeUpDisk(3);
    ASSERT_FALSE(log.FindSaved(third, {2, 12}, found, one).Failed());
    EXPECT_FALSE(found);
    std::vector<std::string> seen;
    ASSERT_FALSE(log.SeenAmong(here, {{2, 12}}, seen).Failed());
    EXPECT_EQ(seen, std::vector<std::string>{""});
}

TEST_F(ResearchLog, SeenMarksOfAPageComeBackInItsOrder) {
    CResearchLog log(Options());
    const DiskIdentity disk = MadeUpDisk(1);
    std::vector<std::string> seen;
    ASSERT_FALSE(log.SeenAmong(disk, {{2, 1}, {2, 2}}, seen).Failed());
    EXPECT_EQ(seen, (std::vector<std::string>{"", ""})) << "no log yet: nothing seen";
    ASSERT_FALSE(log.MarkSeen(disk, {2, 3}).Failed());
    ASSERT_FALSE(log.MarkSeen(disk, {3, 1}).Failed());
    ASSERT_FALSE(log.MarkSeen(disk, {2, 3}).Failed());  // seen again: the newer time
    ASSERT_FALSE(log.SeenAmong(disk, {{2, 1}, {2, 3}, {3, 1}, {99, 3}, {2, -1}}, seen).Failed());
    EXPECT_EQ(seen, (std::vector<std::string>{"", "2026-12-09T10:00:02+00:00", "2026-12-09T10:00:01+00:00",
                                              "", ""}));
}

TEST_F(ResearchLog, TurnedOffItWritesNothingNewButKeepsWhatItHas) {
    LogOptions options = Options();
    options.keep = false;
    CResearchLog log(options);
    const DiskIdentity disk = MadeUpDisk(1);
    EXPECT_FALSE(log.Open().Failed());
    EXPECT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("w1812", "SMITH"), 1).Failed());
    EXPECT_FALSE(log.MarkSeen(disk, {2, 1}).Failed());
    const LogOutcome save = log.SavePerson(disk, MadeUpPerson(2, 1), nullptr);
    EXPECT_EQ(save.error.kind, LogErrorKind::TurnedOff);
    EXPECT_EQ(save.messages, std::vector<std::string>{"The research log is turned off."});
    struct stat info {};
    EXPECT_NE(::stat(home.File("data").c_str(), &info), 0) << "neither the log nor its folder is made";

    log.SetKeeping(true);
    ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 1), nullptr).Failed());
    ASSERT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("w1812", "SMITH"), 1).Failed());
    log.SetKeeping(false);
    ASSERT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("w1812", "JONES"), 1).Failed());
    std::vector<LoggedSearch> searches;
    ASSERT_FALSE(log.Searches({}, 0, 10, searches).Failed());
    EXPECT_EQ(AskedTexts(searches), std::vector<std::string>{"surname SMITH"});
    // What is kept can still be taken away.
    ASSERT_FALSE(log.Clear(ClearWhat::Searches).Failed());
    std::vector<SavedPerson> saved;
    ASSERT_FALSE(log.SavedPeople(&disk, false, saved).Failed());
    bool found = false;
    SavedPerson removed;
    ASSERT_FALSE(log.RemovePerson(saved.at(0).id, found, removed).Failed());
    EXPECT_TRUE(found);
    EXPECT_EQ(SqlInteger(Path(), "SELECT count(*) FROM searches") +
                  SqlInteger(Path(), "SELECT count(*) FROM saved_people"),
              0);
}

TEST_F(ResearchLog, ClearingTakesSearchesSeenMarksOrAllOutOfTheFile) {
    const struct {
        ClearWhat what;
        std::int64_t searches, seen, saved, verdicts, disks;
    } cases[] = {
        {ClearWhat::Searches, 0, 1, 1, 1, 1},
        {ClearWhat::Seen, 1, 0, 1, 1, 1},
        {ClearWhat::All, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        TempDir folder(testing_support::QuickScratchParent());
        const std::string path = folder.File("research.sqlite");
        CResearchLog log(LogAt(path));
        const DiskIdentity disk = MadeUpDisk(1);
        ASSERT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("w1812", "QUIXOTESEARCH"), 1, &disk).Failed());
        ASSERT_FALSE(log.MarkSeen(disk, {2, 1}).Failed());
        const std::string note = "QUIXOTENOTE";
        ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 1), &note).Failed());
        const std::string why = "QUIXOTEVERDICT";
        ASSERT_FALSE(
            log.SetVerdict(disk, MadeUpPerson(2, 1), MadeUpPerson(4, 7), Sameness::NotSame, &why).Failed());
        ASSERT_FALSE(log.Clear(c.what).Failed());
        EXPECT_EQ(SqlInteger(path, "SELECT count(*) FROM searches"), c.searches);
        EXPECT_EQ(SqlInteger(path, "SELECT count(*) FROM seen"), c.seen);
        EXPECT_EQ(SqlInteger(path, "SELECT count(*) FROM saved_people"), c.saved);
        EXPECT_EQ(SqlInteger(path, "SELECT count(*) FROM verdicts"), c.verdicts);
        EXPECT_EQ(SqlInteger(path, "SELECT count(*) FROM disks"), c.disks);
        // Cleared means gone from the bytes of the log and its journal too.
        const std::string bytes = ReadFileBytes(path) + ReadFileBytes(path + "-wal");
        EXPECT_EQ(bytes.find("QUIXOTESEARCH") != std::string::npos, c.searches > 0);
        EXPECT_EQ(bytes.find("QUIXOTENOTE") != std::string::npos, c.saved > 0);
        EXPECT_EQ(bytes.find("QUIXOTEVERDICT") != std::string::npos, c.verdicts > 0);
    }
}

// A saved person read again is headed as a search heads the record: the
// Civil War Medal of Honor roll's "Born" lies past its label table's slots.
TEST(SavedPersonReader, APersonReadAgainHasTheHeadingsTheDiskGivesItsFields) {
    CDirectories dirs;
    dirs.SetDataDir(CHRONARA_BINARY_DIR "/sample-disk/");
    CRecordDatabase database(dirs);
    ASSERT_TRUE(database.OpenCode(2));
    const EntryRange range = database.FindRange("CHAMBERLAIN");
    ASSERT_TRUE(range.found);
    research_log::PersonOnDisk saved;
    saved.code = 2;
    saved.entry = range.first;
    saved.surname = "CHAMBERLAIN";
    saved.givenNames = "Joshua L.";
    ExportedHit person;
    StoreError error;
    ASSERT_EQ(research_log::ReadSavedPerson(database, saved, person, error),
              research_log::SavedPersonRead::Read)
        << error.file;
    ASSERT_LE(person.headings.size(), person.fields.size());
    const struct {
        const char* heading;
        const char* field;
    } expected[] = {{"Rank and organization", "Colonel, 20th Maine Infantry, U.S. Army"},
                    {"Birth", "Brewer, Maine"},
                    {"Born", "8 September 1828"}};
    for (const auto& one : expected) {
        const auto at = std::find(person.headings.begin(), person.headings.end(), one.heading);
        ASSERT_NE(at, person.headings.end()) << one.heading;
        EXPECT_EQ(person.fields[static_cast<std::size_t>(at - person.headings.begin())], one.field);
    }
}

}  // namespace
