// The research log on a bad day: a damaged or foreign file at its path, a
// folder that cannot be written, a full disk, and every file call of every
// operation failing in turn. A log that cannot be kept is an error of its
// own operation and says so; a damaged one is moved aside and a new one
// begins; a failing disk is never taken for a damaged log, and no write
// that was acknowledged is ever lost.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "browse/research_log/research_log.h"
#include "support/failing_sqlite_vfs.h"
#include "support/log_support.h"
#include "support/test_support.h"

using namespace research_log;
using testing_support::FailingSqliteVfs;
using testing_support::LogAt;
using testing_support::MadeUpDisk;
using testing_support::MadeUpPerson;
using testing_support::ReadFileBytes;
using testing_support::RunSql;
using testing_support::ScopedEnv;
using testing_support::SqlInteger;
using testing_support::SqlText;
using testing_support::TempDir;
using testing_support::VfsFault;
using testing_support::WriteFileBytes;

namespace {

AskedSearch Surname(const std::string& surname) {
    AskedSearch asked;
    asked.database = "w1812";
    asked.surname = surname;
    return asked;
}

std::vector<std::string> AsidesIn(const std::string& folder) {
    std::vector<std::string> asides;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (name.find(".damaged-") != std::string::npos) asides.push_back(name);
    }
    return asides;
}

// A log of this program with n searches.
void MakeLog(const std::string& path, int n) {
    CResearchLog log(LogAt(path));
    for (int i = 0; i < n; ++i)
        ASSERT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("S" + std::to_string(i)), i).Failed());
}

TEST(ResearchLogDamage, ADamagedOrForeignFileIsMovedAsideAndANewLogBegins) {
    enum class Damage {
        Text,
        Noise,
        HeaderAndNoise,
        AnotherProgramsDatabase,
        OursWithoutATable,
        OursPagesOverwritten
    };
    const struct {
        Damage damage;
        const char* why;
    } cases[] = {
        {Damage::Text, "is damaged (file is not a database)"},
        {Damage::Noise, "is damaged (file is not a database)"},
        {Damage::HeaderAndNoise, "is damaged"},
        {Damage::AnotherProgramsDatabase, "is not a research log of Chronara"},
        {Damage::OursWithoutATable,
         "is damaged (its tables are not those of a research log: no such table: seen)"},
        {Damage::OursPagesOverwritten, "is damaged (database disk image is malformed)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TempDir folder(testing_support::QuickScratchParent());
        const std::string path = folder.File("research.sqlite");
        std::string noise(9000, '\0');
        for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919 + 13) % 251);
        switch (c.damage) {
            case Damage::Text:
                WriteFileBytes(path, "my research notes, not a database\n");
                break;
            case Damage::Noise:
                WriteFileBytes(path, noise);
                break;
            case Damage::HeaderAndNoise:
                WriteFileBytes(path, std::string("SQLite format 3\0", 16) + noise);
                break;
            case Damage::AnotherProgramsDatabase:
                ASSERT_TRUE(RunSql(path, "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine')"));
                break;
            case Damage::OursWithoutATable:
                MakeLog(path, 3);
                ASSERT_TRUE(RunSql(path, "DROP TABLE seen"));
                break;
            case Damage::OursPagesOverwritten: {
                MakeLog(path, 400);
                ASSERT_TRUE(RunSql(path, "PRAGMA wal_checkpoint(TRUNCATE)"));
                std::string bytes = ReadFileBytes(path);
                ASSERT_GT(bytes.size(), 6 * 4096u);
                // Every page after the first two: the schema stays readable,
                // the searches do not.
                for (std::size_t i = 2 * 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0x55);
                WriteFileBytes(path, bytes);
                break;
            }
        }
        const std::string before = ReadFileBytes(path);
        CResearchLog log(LogAt(path));
        // A listing finds the damage where the file opens well; the search
        // logged after it goes into the new log.
        std::vector<LoggedSearch> searches;
        const LogOutcome listed = log.Searches({}, 0, 1000, searches);
        const LogOutcome logged = log.LogSearch(LogProgram::Viewer, Surname("AFTER"), 1);
        EXPECT_FALSE(listed.Failed()) << (listed.messages.empty() ? "" : listed.messages[0]);
        EXPECT_FALSE(logged.Failed()) << (logged.messages.empty() ? "" : logged.messages[0]);
        const std::vector<std::string> asides = AsidesIn(folder.Path());
        ASSERT_EQ(asides.size(), 1u);
        const std::string aside = folder.File(asides[0]);
        EXPECT_EQ(asides[0].substr(0, std::string("research.sqlite.damaged-20261209-100000").size()),
                  "research.sqlite.damaged-20261209-100000");
        std::vector<std::string> messages = listed.messages;
        messages.insert(messages.end(), logged.messages.begin(), logged.messages.end());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind("The research log " + path + " " + c.why, 0), 0u) << messages[0];
        EXPECT_NE(messages[0].find("; it was moved to " + aside + ", and a new log begins."),
                  std::string::npos)
            << messages[0];
        if (c.damage != Damage::OursWithoutATable && c.damage != Damage::OursPagesOverwritten) {
            EXPECT_EQ(ReadFileBytes(aside), before) << "the file moved aside is as it was";
        }
        EXPECT_TRUE(searches.empty());
        EXPECT_EQ(SqlText(path, "SELECT group_concat(surname) FROM searches"), "AFTER");
        EXPECT_EQ(SqlText(path, "PRAGMA integrity_check"), "ok");
    }
}

TEST(ResearchLogDamage, ALogThatCannotBeKeptIsAnErrorOfItsOwnOperation) {
    enum class Trouble { FileWhereTheFolderBelongs, FolderAtThePath, FifoAtThePath, FullDisk, FailingDisk };
    const struct {
        Trouble trouble;
        LogErrorKind kind;
        const char* message;  // after "The research log "
    } cases[] = {
        {Trouble::FileWhereTheFolderBelongs, LogErrorKind::NoFolder,
         "cannot be kept: cannot create the folder "},
        {Trouble::FolderAtThePath, LogErrorKind::NotWritable, "@ cannot be kept: it is a folder."},
        {Trouble::FifoAtThePath, LogErrorKind::NotWritable, "@ cannot be kept: it is not a plain file."},
        {Trouble::FullDisk, LogErrorKind::Full, "@ cannot be kept: the disk is full."},
        {Trouble::FailingDisk, LogErrorKind::NotWritable, "@ cannot be kept: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TempDir folder(testing_support::QuickScratchParent());
        const std::string path = folder.File("log/research.sqlite");
        LogOptions options = LogAt(path);
        std::unique_ptr<FailingSqliteVfs> vfs;
        switch (c.trouble) {
            case Trouble::FileWhereTheFolderBelongs:
                WriteFileBytes(folder.File("log"), "");
                break;
            case Trouble::FolderAtThePath:
                std::filesystem::create_directories(path);
                break;
            case Trouble::FifoAtThePath:
                std::filesystem::create_directories(folder.File("log"));
                ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
                break;
            case Trouble::FullDisk:
            case Trouble::FailingDisk:
                MakeLog(path, 2);
                vfs = std::make_unique<FailingSqliteVfs>(VfsFault::FromThenOn, 1,
                                                         c.trouble == Trouble::FullDisk);
                options.vfs = FailingSqliteVfs::kName;
                break;
        }
        CResearchLog log(options);
        const LogOutcome logged = log.LogSearch(LogProgram::Viewer, Surname("SMITH"), 1);
        EXPECT_EQ(logged.error.kind, c.kind);
        ASSERT_EQ(logged.messages.size(), 1u);
        std::string expected = std::string("The research log ") + c.message;
        if (expected.find('@') != std::string::npos) expected.replace(expected.find('@'), 1, path);
        EXPECT_EQ(logged.messages[0].rfind(expected, 0), 0u) << logged.messages[0];
        EXPECT_TRUE(AsidesIn(folder.Path()).empty() && (!std::filesystem::is_directory(folder.File("log")) ||
                                                        AsidesIn(folder.File("log")).empty()))
            << "nothing was taken for damage";
        const DiskIdentity disk = MadeUpDisk(1);
        EXPECT_EQ(log.SavePerson(disk, MadeUpPerson(2, 1), nullptr).error.kind, c.kind);
    }
}

// Every file call of every operation fails in turn: once, and from then on
// (a disk pulled out), as I/O errors and as a full disk. Each operation
// either does what it should or fails with one message of a log that
// cannot be kept; no fault is ever taken for a damaged log; and once the
// disk is sound again, the log is whole and holds every write that was
// acknowledged, and of the others either all or nothing.
TEST(ResearchLogFaultSweep, EveryCallOfEveryOperationFailsInTurn) {
    TempDir base(testing_support::QuickScratchParent());
    const std::string basePath = base.File("research.sqlite");
    const DiskIdentity disk = MadeUpDisk(1);
    {
        CResearchLog log(LogAt(basePath));
        for (int i = 0; i < 3; ++i)
            ASSERT_FALSE(log.LogSearch(LogProgram::Viewer, Surname("OLD" + std::to_string(i)), i).Failed());
        ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 10), nullptr).Failed());
        ASSERT_FALSE(log.SavePerson(disk, MadeUpPerson(2, 11), nullptr).Failed());
    }
    const std::string baseBytes = ReadFileBytes(basePath);
    const std::string baseWal = ReadFileBytes(basePath + "-wal");
    std::int64_t removeId = SqlInteger(basePath, "SELECT id FROM saved_people WHERE entry = 11");
    ASSERT_GT(removeId, 0);

    enum Op { Search, Save, Renote, Seen, Remove, List, Saved, kOps };
    const char* const names[kOps] = {"log a search", "save", "save again", "seen", "remove", "list", "saved"};
    struct Run {
        bool ok[kOps] = {};
        std::vector<std::string> failures;
    };
    const std::string note = "a note";
    const std::string renote = "changed";
    auto runAll = [&](const std::string& path, const char* vfs, Run& run) {
        LogOptions options = LogAt(path);
        options.vfs = vfs;
        CResearchLog log(options);
        std::vector<LoggedSearch> searches;
        std::vector<SavedPerson> saved;
        bool found = false;
        SavedPerson removed;
        for (int op = 0; op < kOps; ++op) {
            LogOutcome outcome;
            switch (op) {
                case Search:
                    outcome = log.LogSearch(LogProgram::Query, Surname("NEW"), 7, &disk);
                    break;
                case Save:
                    outcome = log.SavePerson(disk, MadeUpPerson(2, 12), &note);
                    break;
                case Renote:
                    outcome = log.SavePerson(disk, MadeUpPerson(2, 10), &renote);
                    break;
                case Seen:
                    outcome = log.MarkSeen(disk, {2, 12});
                    break;
                case Remove:
                    outcome = log.RemovePerson(removeId, found, removed);
                    break;
                case List:
                    outcome = log.Searches({}, 0, 100, searches);
                    break;
                case Saved:
                    outcome = log.SavedPeople(&disk, false, saved);
                    break;
            }
            run.ok[op] = !outcome.Failed();
            if (outcome.Failed()) {
                run.failures.push_back(names[op]);
                EXPECT_EQ(outcome.messages.size(), 1u) << names[op];
                EXPECT_TRUE(outcome.error.kind == LogErrorKind::NotWritable ||
                            outcome.error.kind == LogErrorKind::Full)
                    << names[op] << ": " << (outcome.messages.empty() ? "" : outcome.messages[0]);
            } else {
                EXPECT_TRUE(outcome.messages.empty()) << names[op] << ": " << outcome.messages[0];
            }
            // What a read gives is what the log holds: the searches before it
            // and the one logged, if it was.
            if (op == List && run.ok[List]) {
                ASSERT_EQ(searches.size(), run.ok[Search] ? 4u : 3u);
                EXPECT_EQ(searches.back().askedText, "surname OLD0");
            }
            if (op == Saved && run.ok[Saved]) {
                std::vector<std::int32_t> entries;
                for (const SavedPerson& person : saved) entries.push_back(person.person.entry);
                std::vector<std::int32_t> expected{10};
                if (!run.ok[Remove]) expected.push_back(11);
                if (run.ok[Save]) expected.push_back(12);
                EXPECT_EQ(entries, expected);
            }
        }
    };

    long calls = 0;
    {
        TempDir clean(testing_support::QuickScratchParent());
        const std::string path = clean.File("research.sqlite");
        WriteFileBytes(path, baseBytes);
        WriteFileBytes(path + "-wal", baseWal);
        FailingSqliteVfs counter(VfsFault::Once, 0);
        Run run;
        runAll(path, FailingSqliteVfs::kName, run);
        ASSERT_TRUE(run.failures.empty());
        calls = counter.Calls();
    }
    ASSERT_GT(calls, 20);
    long runs = 0;
    long stopped = 0;
    for (bool full : {false, true}) {
        for (VfsFault mode : {VfsFault::Once, VfsFault::FromThenOn}) {
            for (long k = 1; k <= calls; ++k) {
                const std::string what = std::string(full ? "full " : "I/O ") +
                                         (mode == VfsFault::Once ? "once at " : "from ") + std::to_string(k);
                SCOPED_TRACE(what);
                TempDir folder(testing_support::QuickScratchParent());
                const std::string path = folder.File("research.sqlite");
                WriteFileBytes(path, baseBytes);
                WriteFileBytes(path + "-wal", baseWal);
                Run run;
                {
                    FailingSqliteVfs faults(mode, k, full);
                    runAll(path, FailingSqliteVfs::kName, run);
                    if (!faults.Struck()) continue;
                }
                ++runs;
                if (!run.failures.empty()) ++stopped;
                EXPECT_TRUE(AsidesIn(folder.Path()).empty()) << "a failing disk taken for a damaged log";
                // One fault stops one operation at most: the next ones work.
                EXPECT_TRUE(mode != VfsFault::Once || run.failures.size() <= 1) << run.failures.size();
                // The disk is sound again.
                ASSERT_EQ(SqlText(path, "PRAGMA integrity_check"), "ok");
                EXPECT_EQ(SqlInteger(path, "SELECT count(*) FROM searches WHERE surname LIKE 'OLD%'"), 3);
                const std::int64_t newSearches =
                    SqlInteger(path, "SELECT count(*) FROM searches WHERE surname = 'NEW'");
                EXPECT_EQ(newSearches, run.ok[Search] ? 1 : newSearches) << "an acknowledged search was lost";
                EXPECT_LE(newSearches, 1);
                const std::string saved = SqlText(path, "SELECT note FROM saved_people WHERE entry = 12");
                EXPECT_TRUE(saved == note || (saved.empty() && !run.ok[Save]))
                    << "a save is whole or not there";
                const std::string renoted = SqlText(path, "SELECT note FROM saved_people WHERE entry = 10");
                EXPECT_EQ(renoted, run.ok[Renote] ? renote : renoted);
                EXPECT_TRUE(renoted == renote || renoted.empty());
                EXPECT_TRUE(!run.ok[Seen] ||
                            SqlInteger(path, "SELECT count(*) FROM seen WHERE entry = 12") == 1);
                EXPECT_TRUE(!run.ok[Remove] ||
                            SqlInteger(path, "SELECT count(*) FROM saved_people WHERE entry = 11") == 0);
                // And it goes on: a search logged now is kept.
                CResearchLog after(LogAt(path));
                EXPECT_FALSE(after.LogSearch(LogProgram::Viewer, Surname("LATER"), 0).Failed());
            }
        }
    }
    EXPECT_GT(stopped, 0);
    RecordProperty("runs", static_cast<int>(runs));
    std::printf("research log fault sweep: %ld calls, %ld runs, %ld stopped with a message\n", calls, runs,
                stopped);
}

}  // namespace
