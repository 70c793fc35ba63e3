// One installation folder, several processes: chronara-query runs started
// together, each a first-name search with page turns, must each print what
// the same search prints alone. They share the folder of history.buf, so
// without a scratch file of their own they would page each other's hits.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/catalogue.h"
#include "store/database_writer.h"
#include "support/test_support.h"

extern char** environ;

using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

const char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";

struct Answer {
    int status = -1;
    std::string out;
    std::string err;
};

// Starts the tool with its output going to files in folder; Finish collects it.
pid_t Start(const std::vector<std::string>& args, const std::string& outFile, const std::string& errFile) {
    std::vector<char*> argv{const_cast<char*>(kTool)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = -1;
    if (posix_spawn(&child, kTool, &actions, nullptr, argv.data(), environ) != 0) child = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

Answer Finish(pid_t child, const std::string& outFile, const std::string& errFile) {
    Answer answer;
    int wstatus = 0;
    if (child > 0 && waitpid(child, &wstatus, 0) == child) {
        answer.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    }
    answer.out = ReadFileBytes(outFile);
    answer.err = ReadFileBytes(errFile);
    return answer;
}

TEST(SharedScratchFile, OverlappingFirstNameSearchesEachSeeTheirOwnHits) {
    struct stat info {};
    ASSERT_EQ(stat(kTool, &info), 0) << "build the chronara-query target first";
    TempDir data;
    TempDir install;
    TempDir outputs;
    testing_support::WriteFileBytes(data.File("chronaradb.id"), "");
    // Two surnames of 300 people each, given names cycling through a few
    // initials, so that every search below has pages of hits to turn.
    CDatabaseWriter writer(11);
    std::string error;
    const char* const given[] = {"John", "Mary", "William", "James", "Anna", "Walter"};
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        ASSERT_TRUE(writer.Add({"Smith", std::string(given[i % 6]) + " " + n, {"S" + n, "Ohio"}}, &error));
        ASSERT_TRUE(
            writer.Add({"Johnson", std::string(given[(i + 1) % 6]) + " " + n, {"J" + n, "Iowa"}}, &error));
    }
    ASSERT_TRUE(writer.Write(data.Path(), 0, &error)) << error;

    const std::vector<std::vector<std::string>> searches = {
        {"--surname", "Smith", "--first-name", "J", "--turn", "nnnpn", "--more-info", "2"},
        {"--surname", "Johnson", "--first-name", "W", "--turn", "nnpnn"},
        {"--surname", "Smith", "--first-name", "Mary", "--turn", "nnnn", "--more-info", "0"},
        {"--surname", "Johnson", "--first-name", "A", "--turn", "npnnp"},
    };
    auto argsOf = [&](const std::vector<std::string>& search) {
        std::vector<std::string> args{"--data-dir",   data.Path(),  "--install-dir",
                                      install.Path(), "--database", catalogue::StemOf(11)};
        args.insert(args.end(), search.begin(), search.end());
        return args;
    };
    std::vector<std::string> alone;
    for (const auto& search : searches) {
        const Answer answer = Finish(Start(argsOf(search), outputs.File("out"), outputs.File("err")),
                                     outputs.File("out"), outputs.File("err"));
        ASSERT_EQ(answer.status, 0) << answer.err;
        ASSERT_NE(answer.out.find("records found"), std::string::npos) << answer.out;
        alone.push_back(answer.out);
    }

    constexpr int kRounds = 60;
    int runs = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<pid_t> children;
        for (std::size_t i = 0; i < searches.size(); ++i) {
            const std::string n = std::to_string(i);
            children.push_back(Start(argsOf(searches[i]), outputs.File("out" + n), outputs.File("err" + n)));
        }
        for (std::size_t i = 0; i < searches.size(); ++i) {
            const std::string n = std::to_string(i);
            const Answer answer = Finish(children[i], outputs.File("out" + n), outputs.File("err" + n));
            ++runs;
            ASSERT_EQ(answer.status, 0) << "round " << round << ", search " << i << ": " << answer.err;
            ASSERT_EQ(answer.out, alone[i]) << "round " << round << ", search " << i;
            ASSERT_EQ(answer.err, "");
        }
    }
    EXPECT_EQ(runs, kRounds * 4);
    // Nothing but history.buf is left in the folder: private files have no name.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(install.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"history.buf"});
}

}  // namespace
