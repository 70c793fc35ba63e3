// The research log shared by real programs: eight writing at once beside a
// reader, and a writer killed (SIGKILL) at every moment of its writes, again
// and again. Nothing acknowledged is lost or written twice, no reader sees
// half a write, and the log stays sound.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "browse/research_log/research_log.h"
#include "support/log_support.h"
#include "support/test_support.h"

extern char** environ;

using testing_support::ReadFileBytes;
using testing_support::SqlInteger;
using testing_support::SqlText;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const char kWorker[] = CHRONARA_BINARY_DIR "/tests/chronara_log_worker";

// Starts the worker with args, its standard output into outPath.
pid_t Start(const std::vector<std::string>& args, const std::string& outPath) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kWorker));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, kWorker, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// The whole lines of an acknowledgement file (a line cut by the kill is no acknowledgement).
std::vector<std::string> WholeLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

std::set<std::string> Column(const std::string& path, const std::string& sql) {
    std::set<std::string> values;
    std::istringstream all(SqlText(path, "SELECT group_concat(x, '|') FROM (" + sql + ")"));
    for (std::string value; std::getline(all, value, '|');) values.insert(value);
    return values;
}

bool NothingMovedAside(const std::string& folder) {
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        if (item.path().filename().string().find(".damaged-") != std::string::npos) return false;
    }
    return true;
}

TEST(ResearchLogProcesses, EightProgramsAtOnceLoseNothingAndDuplicateNothing) {
    constexpr int kWriters = 8;
    constexpr int kEach = 100;
    TempDir folder;
    const std::string log = folder.File("research.sqlite");
    const std::string stop = folder.File("stop");
    const pid_t reader = Start({"read", log, stop}, folder.File("reader.out"));
    ASSERT_GT(reader, 0);
    std::vector<pid_t> writers;
    for (int id = 1; id <= kWriters; ++id) {
        writers.push_back(Start({"write", log, folder.File("acks" + std::to_string(id)), std::to_string(id),
                                 std::to_string(kEach)},
                                folder.File("writer" + std::to_string(id) + ".out")));
        ASSERT_GT(writers.back(), 0);
    }
    for (pid_t writer : writers) {
        const int status = Wait(writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer had a write refused";
    }
    WriteFileBytes(stop, "");
    const int readerStatus = Wait(reader);
    const std::string readerSaid = ReadFileBytes(folder.File("reader.out"));
    EXPECT_TRUE(WIFEXITED(readerStatus) && WEXITSTATUS(readerStatus) == 0) << readerSaid;
    long reads = 0;
    long broken = -1;
    EXPECT_EQ(std::sscanf(readerSaid.c_str(), "reads %ld broken %ld", &reads, &broken), 2) << readerSaid;
    EXPECT_EQ(broken, 0) << readerSaid;
    EXPECT_GT(reads, 0) << "the reader read while the writers wrote";
    std::printf("research log, eight writers: the reader read the log %ld times meanwhile\n", reads);

    EXPECT_EQ(SqlText(log, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(SqlInteger(log, "SELECT count(*) FROM saved_people"), kWriters * kEach);
    EXPECT_EQ(SqlInteger(log, "SELECT count(DISTINCT entry) FROM saved_people"), kWriters * kEach);
    EXPECT_EQ(SqlInteger(log,
                         "SELECT count(*) FROM saved_people WHERE note <> "
                         "'writer ' || (entry / 100000) || ' item ' || (entry % 100000)"),
              0);
    EXPECT_EQ(SqlInteger(log, "SELECT count(*) FROM searches"), kWriters * kEach);
    EXPECT_EQ(SqlInteger(log, "SELECT count(*) FROM (SELECT DISTINCT surname, first_name FROM searches)"),
              kWriters * kEach);
    EXPECT_EQ(SqlInteger(log, "SELECT count(*) FROM disks"), 1);
    EXPECT_TRUE(NothingMovedAside(folder.Path())) << "a sound log moved aside while others made it";
}

// Each round starts a writer that saves and logs without end, kills it at
// a different point of its writes each time, and checks the log: sound,
// and holding every write the writer had acknowledged. What is asserted
// does not depend on when the kill lands.
TEST(ResearchLogProcesses, AProgramKilledAtAnyMomentLeavesASoundLogWithEveryAcknowledgedWrite) {
    constexpr int kRounds = 24;
    TempDir folder;
    const std::string log = folder.File("research.sqlite");
    std::size_t acknowledged = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string acks = folder.File("acks" + std::to_string(round));
        const pid_t writer =
            Start({"write", log, acks, std::to_string(round + 1), "0"}, folder.File("writer.out"));
        ASSERT_GT(writer, 0);
        // Killed once it has acknowledged a few writes (none, in some
        // rounds: while it makes or opens the log), then a moment later, so
        // that the kill lands anywhere in a write.
        const std::size_t writesFirst = static_cast<std::size_t>(round % 6);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (WholeLines(ReadFileBytes(acks)).size() < writesFirst &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        std::this_thread::sleep_for(std::chrono::microseconds(97 * ((round * 7) % 23)));
        ::kill(writer, SIGKILL);
        const int status = Wait(writer);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer ended before it was killed";

        ASSERT_EQ(SqlText(log, "PRAGMA integrity_check"), "ok");
        const std::set<std::string> saved = Column(log, "SELECT entry AS x FROM saved_people");
        const std::set<std::string> searched =
            Column(log, "SELECT surname || ' ' || first_name AS x FROM searches");
        for (const std::string& line : WholeLines(ReadFileBytes(acks))) {
            std::istringstream fields(line);
            std::string kind;
            long id = 0;
            long i = 0;
            fields >> kind >> id >> i;
            if (kind == "save") {
                EXPECT_EQ(saved.count(std::to_string(id * 100000 + i)), 1u) << line;
            } else {
                EXPECT_EQ(searched.count("W" + std::to_string(id) + " " + std::to_string(i)), 1u) << line;
            }
            ++acknowledged;
        }
        EXPECT_TRUE(NothingMovedAside(folder.Path()));
        // The next program finds a log it can use.
        research_log::CResearchLog next(testing_support::LogAt(log));
        research_log::AskedSearch asked;
        asked.database = "w1812";
        asked.surname = "AFTER";
        EXPECT_FALSE(next.LogSearch(research_log::LogProgram::Viewer, asked, 0).Failed());
    }
    // Most rounds let the writer acknowledge writes before the kill.
    EXPECT_GE(acknowledged, 4u * (1u + 2u + 3u + 4u + 5u));
    std::printf("research log kill loop: %d kills, %zu acknowledged writes found\n", kRounds, acknowledged);
}

}  // namespace
