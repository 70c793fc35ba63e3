// Replays every input kept in tests/regressions/<harness>/ through the same
// fuzz target code the libFuzzer programs run (a broken promise aborts, and
// the test fails), and pins down what the fixes behind those inputs do.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "browse/session/result_pager.h"
#include "fuzz/about_target.h"
#include "fuzz/csv_target.h"
#include "fuzz/name_index_target.h"
#include "fuzz/profile_target.h"
#include "fuzz/record_query_target.h"
#include "fuzz/search_target.h"
#include "fuzz/word_index_target.h"
#include "platform/profile.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/record_database.h"
#include "store/search_query.h"
#include "support/shown_outcome.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ScriptedResponder;
using testing_support::TempDir;
using Target = int (*)(const std::uint8_t*, std::size_t, const std::string&);

std::vector<fs::path> KeptInputs(const char* harness) {
    std::vector<fs::path> inputs;
    const fs::path folder = fs::path(CHRONARA_SOURCE_DIR) / "tests" / "regressions" / harness;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    return inputs;
}

// Every harness has kept inputs: a folder gone missing must not pass unseen.
void Replay(const char* harness, Target target) {
    const std::vector<fs::path> inputs = KeptInputs(harness);
    EXPECT_FALSE(inputs.empty()) << "no kept input for the " << harness << " harness";
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.string());
        std::string bytes;
        ASSERT_TRUE(fuzz_support::ReadFile(input.string(), bytes));
        TempDir folder;
        EXPECT_EQ(target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), folder.Path()),
                  0);
    }
}

TEST(FuzzRegressions, KeptInputsPassEveryHarness) {
    Replay("name_index", &fuzz_targets::RunNameIndex);
    Replay("search", &fuzz_targets::RunSearch);
    Replay("profile", &fuzz_targets::RunProfile);
    Replay("csv", &fuzz_targets::RunCsv);
    Replay("record_query", &fuzz_targets::RunRecordQuery);
    Replay("word_index", &fuzz_targets::RunWordIndex);
    Replay("about", &fuzz_targets::RunAbout);
}

TEST(FuzzRegressions, HandBuiltInputsDecodeAndPass) {
    // The empty input and inputs cut anywhere decode to something valid.
    const std::string search =
        fuzz_support::ByteWriter()
            .Byte(2)
            .Byte(6)
            .Int32(0)
            .Int32(2)
            .Text("lee")
            .Text("r")
            .Text("NPSLR")
            .Blob(std::string(4, '\0') + "ROBERT" + std::string(2, '\0') + std::string("\x08\0\0\0", 4))
            .Raw(
                "3\xff"
                "1st\xff\n")
            .Bytes();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(search.data());
    for (std::size_t cut = 0; cut <= search.size(); cut += 7) {
        SCOPED_TRACE(cut);
        TempDir folder;
        EXPECT_EQ(fuzz_targets::RunSearch(bytes, cut, folder.Path()), 0);
        EXPECT_EQ(fuzz_targets::RunNameIndex(bytes, cut, folder.Path()), 0);
        EXPECT_EQ(fuzz_targets::RunProfile(bytes, cut, folder.Path()), 0);
        EXPECT_EQ(fuzz_targets::RunCsv(bytes, cut, folder.Path()), 0);
    }
}

// The search harness found an index range far past the end of the .cor
// file: the first-name scan ran over 100 million missing entries.
TEST(FuzzRegressions, RangePastTheEntryFileIsCutToTheEntriesHeld) {
    TempDir folder;
    CDirectories dirs;
    dirs.SetDataDir(folder.Path().c_str());
    dirs.SetInstallDir(folder.Path().c_str());
    const int code = 3;
    char key[24] = "adams";
    MakeIndexKey(code, key);
    std::string cor;
    for (int i = 0; i < 3; ++i) cor += std::string(4, '\0') + "JOHN" + std::string(4, '\0');
    cor += std::string("\x08\0\0\0", 4);
    const std::string base = folder.File(catalogue::StemOf(code));
    ASSERT_TRUE(fuzz_support::WriteFile(folder.File("chronaradb.id"), ""));
    ASSERT_TRUE(fuzz_support::WriteFile(base + ".ext", "3\xff\n"));
    ASSERT_TRUE(fuzz_support::WriteFile(base + ".cor", cor));

    struct Case {
        std::int32_t first, count, expected;
    };
    for (const Case& c : {Case{1, 100000000, 2}, Case{5, 10, 0}, Case{-3, 10, 0}, Case{0, 3, 3}}) {
        ASSERT_TRUE(
            fuzz_support::WriteFile(base + ".tre", fuzz_targets::OneKeyIndex(code, key, c.first, c.count)));
        ScriptedResponder boxes;
        CSearchSession session(dirs);
        testing_support::Shown(session.SearchCode(code, "adams", "jo"));
        EXPECT_EQ(session.RecordCount(), c.expected) << c.first << " " << c.count;
        // A range that fits says nothing; one that does not fit says so once.
        EXPECT_EQ(boxes.Shown().size(), c.expected == 3 ? 0u : 1u) << c.first;
        session.Close();
    }
}

// The profile harness found a value holding a NUL byte: the length returned
// counted bytes past the end of the text.
TEST(FuzzRegressions, NulInsideAnIniValueEndsTheValue) {
    char out[32];
    const std::string text("[Tavora7m]\nTavoraDir=/opt\0/x\n", 29);
    EXPECT_EQ(platform::ReadProfileText(text, "Tavora7m", "TavoraDir", "", out, sizeof out), 4u);
    EXPECT_STREQ(out, "/opt");
}

}  // namespace
