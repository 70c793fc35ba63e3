#pragma once
// The fixture of the chronara-query tests: the tool run as a child process
// on a data disk of small databases written by the core's writer, and the
// rows and pages it prints of them.

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "chronara_version.h"
#include "store/database_writer.h"
#include "store/disk_format.h"
#include "support/mini_json.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

namespace query_tool_test {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::ToolRun;
using testing_support::WriteFileBytes;

inline constexpr char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";
inline ToolRun RunTool(const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& env = {}) {
    return testing_support::RunProgram(kTool, args, env);
}

inline constexpr char kInsertDisk[] = "Please insert Tavora Disk 16 (Chronara)\n\nClick OK when done.";
inline constexpr char kFootnote[] =
    "\r\n\r\n\r\n  Volume and Page numbers refer to entries in\r\nthe Civil War Quartermaster "
    "General's Office -\r\nNames of Soldiers Who Died";

inline std::string Two(int i) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", i);
    return text;
}

inline void WriteDatabase(int code, const std::string& dir, const std::vector<PersonRecord>& people) {
    CDatabaseWriter writer(code);
    std::string error;
    for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
    ASSERT_TRUE(writer.Write(dir, 0, &error)) << error;
}

// A data disk of small databases, an empty installation folder, and a
// config folder without corvane.ini, so that the machine's own settings never count.
class QueryTool : public ::testing::Test {
protected:
    void SetUp() override {
        struct stat info {};
        ASSERT_EQ(stat(kTool, &info), 0) << "build the chronara-query target first";
        WriteFileBytes(data.File("chronaradb.id"), "");

        // ww2_kor (list row 12): 25 Smiths, given names John/Joseph/Mary in turn.
        std::vector<PersonRecord> kor;
        const char* const firstNames[3] = {"John ", "Joseph ", "Mary "};
        for (int i = 0; i < 25; ++i) {
            kor.push_back({"Smith", firstNames[i % 3] + Two(i), {"R" + Two(i), "Ohio", "PFC"}});
        }
        kor.push_back({"Jones", "John Henry   ", {"J", "Ohio", "PFC", "7th Inf"}});
        kor.push_back({"Jones", "", {"J", "Ohio", "  "}});
        WriteDatabase(11, data.Path(), kor);

        WriteDatabase(12, data.Path(),
                      {{"Brown", "Robert  ", {"Allen", "Sgt", "E5", "1st Cav Div", "Dayton", "OH"}}});
        WriteDatabase(3, data.Path(),
                      {{"Astor", "John Jacob", {"3", "1st"}},
                       {"Astor", "Madeleine", {"1", "1st"}},
                       {"Astor", "Vincent", {" ", "3rd"}}});
        std::vector<std::string> references{"J", "12345", "3 45 46 ", "7 9  "};
        references.resize(15, " ");
        WriteDatabase(9, data.Path(), {{"Doe", "John", references}});
        WriteDatabase(1, data.Path(), {{"M\xfcller", "Franz", {"Caf\xe9 \x96 1862"}}});
    }

    // Runs with the test's folders given as options.
    ToolRun Query(const std::vector<std::string>& args) { return QueryIn(data.Path(), args); }
    ToolRun QueryIn(const std::string& dataDir, std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", dataDir, "--install-dir", install.Path()});
        return RunTool(args, Isolated());
    }
    std::map<std::string, std::string> Isolated() const {
        return {{"XDG_CONFIG_HOME", config.Path()}, {"XDG_CONFIG_DIRS", config.Path()}};
    }

    TempDir data;
    TempDir install;
    TempDir config;
};

inline std::string SmithRow(int i) {
    const char* const firstNames[3] = {"John ", "Joseph ", "Mary "};
    return "SMITH\t" + std::string(firstNames[i % 3]) + Two(i) + "\tR" + Two(i) + ", Ohio, PFC\n";
}

inline std::string SmithPage(int count, int from, int to, const char* buttons) {
    std::string page = std::to_string(count) + " records found.\n";
    for (int i = from; i < to; ++i) page += SmithRow(i);
    return page + buttons + "\n";
}

}  // namespace query_tool_test
