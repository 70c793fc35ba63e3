#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "store/name_index.h"
#include "support/test_support.h"

using testing_support::PutInt32;
using testing_support::ReadFileBytes;
using testing_support::ScriptedResponder;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

struct TestEntry {
    std::string key;
    std::int32_t first;
    std::int32_t count;
};

// Builds index files page by page, the way the tests need them (including damaged ones).
class IndexBuilder {
public:
    explicit IndexBuilder(int keyField) : keyField_(keyField), bytes_(8, '\0') {}

    int PageSize() const { return 4 + 4 * (keyField_ + 8) + 20; }

    // Appends a page and returns its offset. children: 5 offsets (-1 for none).
    std::int32_t AddPage(const std::vector<TestEntry>& entries, std::vector<std::int32_t> children = {},
                         std::int32_t count = -1) {
        if (children.empty()) children.assign(5, -1);
        const std::size_t at = bytes_.size();
        bytes_.append(static_cast<std::size_t>(PageSize()), '\0');
        PutInt32(bytes_, at, count >= 0 ? count : static_cast<std::int32_t>(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::size_t e = at + 4 + i * static_cast<std::size_t>(keyField_ + 8);
            PutInt32(bytes_, e, entries[i].first);
            PutInt32(bytes_, e + 4, entries[i].count);
            std::memcpy(&bytes_[e + 8], entries[i].key.data(),
                        std::min(entries[i].key.size(), static_cast<std::size_t>(keyField_)));
        }
        for (std::size_t i = 0; i < 5; ++i) {
            PutInt32(bytes_, at + 4 + 4 * static_cast<std::size_t>(keyField_ + 8) + 4 * i, children[i]);
        }
        return static_cast<std::int32_t>(at);
    }

    std::string Finish(std::int32_t root) {
        std::string file = bytes_;
        PutInt32(file, 0, root);
        PutInt32(file, 4, -1);
        file.push_back('\x04');
        return file;
    }

private:
    int keyField_;
    std::string bytes_;
};

std::string Padded(const std::string& surname, std::size_t width) {
    std::string key = surname;
    if (key.size() < width) key.append(width - key.size(), ' ');
    return key;
}

struct Found {
    std::int32_t first;
    std::int32_t count;
};

Found Look(CNameIndex& index, const std::string& key) {
    char buffer[CNameIndex::kMaxKeyField] = {};
    std::memcpy(buffer, key.data(), std::min(key.size(), sizeof buffer - 1));
    Found found{99, 99};
    index.Lookup(buffer, found.first, found.count);
    return found;
}

// A two-level tree: root [M] with leaves [B D] and [P T X].
std::string TwoLevelTree(int keyField, int width) {
    IndexBuilder builder(keyField);
    const auto left = builder.AddPage({{Padded("B", width), 0, 2}, {Padded("D", width), 2, 3}});
    const auto right = builder.AddPage(
        {{Padded("P", width), 6, 1}, {Padded("T", width), 7, 4}, {Padded("X", width), 11, 1}});
    const auto root = builder.AddPage({{Padded("M", width), 5, 1}}, {left, right, -1, -1, -1});
    return builder.Finish(root);
}

}  // namespace

class NameIndexWidths : public ::testing::TestWithParam<int> {};

TEST_P(NameIndexWidths, FindsKeysInRootInnerAndLeafPages) {
    const int keyField = GetParam();
    const int width = keyField == 20 ? 17 : 22;
    TempDir dir;
    WriteFileBytes(dir.File("x.tre"), TwoLevelTree(keyField, width));
    CNameIndex index(keyField);
    index.Open(dir.File("x.tre"), "index");
    EXPECT_EQ(index.PagesReadFromFile(), 1);  // the root, read once at open

    // The root answers from its cache without reading the file.
    Found m = Look(index, Padded("M", width));
    EXPECT_EQ(m.first, 5);
    EXPECT_EQ(m.count, 1);
    EXPECT_EQ(index.PagesReadFromFile(), 1);

    EXPECT_EQ(Look(index, Padded("B", width)).first, 0);  // smaller than every root key: child 0
    EXPECT_EQ(Look(index, Padded("D", width)).count, 3);
    EXPECT_EQ(Look(index, Padded("X", width)).first, 11);  // larger than every root key: child count
    EXPECT_EQ(Look(index, Padded("T", width)).count, 4);
    EXPECT_EQ(index.PagesReadFromFile(), 5);  // one leaf page for each of the four

    Found absent = Look(index, Padded("C", width));
    EXPECT_EQ(absent.first, -1);
    EXPECT_EQ(absent.count, 0);
    // Keys match byte for byte: one blank fewer is another key.
    EXPECT_EQ(Look(index, Padded("M", width - 1)).first, -1);
    EXPECT_EQ(Look(index, "m" + std::string(static_cast<std::size_t>(width - 1), ' ')).first, -1);
}

INSTANTIATE_TEST_SUITE_P(ShortAndLongKeys, NameIndexWidths, ::testing::Values(20, 24));

TEST(NameIndex, FindSlotDecidesOnePageWithTheEndComparisons) {
    CNameIndex::Entry entries[4] = {};
    std::strcpy(entries[0].key, "K");
    EXPECT_EQ(CNameIndex::FindSlot("A", entries, 1), 0);
    EXPECT_EQ(CNameIndex::FindSlot("K", entries, 1), 0);
    EXPECT_EQ(CNameIndex::FindSlot("Z", entries, 1), 1);
    std::strcpy(entries[1].key, "M");
    std::strcpy(entries[2].key, "P");
    std::strcpy(entries[3].key, "T");
    EXPECT_EQ(CNameIndex::FindSlot("L", entries, 4), 1);
    EXPECT_EQ(CNameIndex::FindSlot("M", entries, 4), 1);
    EXPECT_EQ(CNameIndex::FindSlot("N", entries, 4), 2);
    EXPECT_EQ(CNameIndex::FindSlot("Q", entries, 4), 3);
    EXPECT_EQ(CNameIndex::FindSlot("T", entries, 4), 3);
    // Bytes from 0x80 sort after ASCII; a prefix sorts first.
    EXPECT_EQ(CNameIndex::FindSlot("\xC9", entries, 4), 4);
    EXPECT_EQ(CNameIndex::FindSlot("M ", entries, 4), 2);
}

TEST(NameIndex, ExistingFileIsLeftByteForByteUnchanged) {
    TempDir dir;
    const std::string original = TwoLevelTree(20, 17);
    WriteFileBytes(dir.File("x.tre"), original);
    {
        CNameIndex index(20);
        index.Open(dir.File("x.tre"), "index");
        Look(index, Padded("T", 17));
        index.Close();
        index.Close();
    }
    EXPECT_EQ(ReadFileBytes(dir.File("x.tre")), original);
}

TEST(NameIndex, MissingFileIsRefusedAndNeverCreated) {
    TempDir dir;
    for (const std::string& path : {dir.File("new.tre"), dir.File("no-such-folder/x.tre")}) {
        CNameIndex index(24);
        const StoreError error = index.Open(path, "new.tre");
        EXPECT_EQ(error.kind, StoreErrorKind::IndexMissing) << path;
        EXPECT_EQ(error.file, "new.tre");
        EXPECT_EQ(Look(index, Padded("SMITH", 22)).first, -1);
        index.Close();
        EXPECT_NE(::access(path.c_str(), F_OK), 0) << "nothing is written on the data disk";
    }
    // An empty index written by the disk builder opens and finds nothing.
    const std::string empty("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x04", 9);
    WriteFileBytes(dir.File("empty.tre"), empty);
    CNameIndex index(24);
    EXPECT_FALSE(index.Open(dir.File("empty.tre"), "empty.tre").Failed());
    EXPECT_EQ(Look(index, Padded("SMITH", 22)).count, 0);
    EXPECT_EQ(index.PagesReadFromFile(), 0);
    index.Close();
    EXPECT_EQ(ReadFileBytes(dir.File("empty.tre")), empty);
}

TEST(NameIndex, BadSignatureOrShortFileIsRefused) {
    TempDir dir;
    ScriptedResponder boxes;
    std::string file = TwoLevelTree(20, 17);
    file.back() = '\x05';
    const std::vector<std::string> damaged = {file, std::string("\xFF\xFF\xFF\xFF\x04", 5),
                                              std::string(8, '\x04'), ""};
    for (const std::string& bytes : damaged) {
        WriteFileBytes(dir.File("bad.tre"), bytes);
        CNameIndex index(20);
        EXPECT_EQ(index.Open(dir.File("bad.tre"), "bad.tre").kind, StoreErrorKind::BadIndexSignature)
            << "file of " << bytes.size() << " bytes";
    }
    // The index reports; the session shows the message and ends the process.
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(NameIndex, DamagedPagesAreReportedAndFindNothing) {
    TempDir dir;
    ScriptedResponder boxes;
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    {
        IndexBuilder b(20);
        const auto leaf = b.AddPage({{Padded("B", 17), 0, 1}}, {}, 7);  // count outside 1..4
        cases.push_back(
            {"bad count", b.Finish(b.AddPage({{Padded("M", 17), 1, 1}}, {leaf, -1, -1, -1, -1}))});
    }
    {
        IndexBuilder b(20);
        cases.push_back({"child beyond the file",
                         b.Finish(b.AddPage({{Padded("M", 17), 1, 1}}, {100000, -1, -1, -1, -1}))});
    }
    {
        IndexBuilder b(20);
        cases.push_back(
            {"child inside the header", b.Finish(b.AddPage({{Padded("M", 17), 1, 1}}, {2, -1, -1, -1, -1}))});
    }
    {
        // The root names itself as its child: a loop.
        IndexBuilder b(20);
        cases.push_back(
            {"looping child", b.Finish(b.AddPage({{Padded("M", 17), 1, 1}}, {8, -1, -1, -1, -1}))});
    }
    {
        IndexBuilder b(20);
        b.AddPage({{Padded("M", 17), 1, 1}});
        cases.push_back({"root beyond the file", b.Finish(5000)});
    }
    {
        // Two pages that point at each other.
        IndexBuilder b(20);
        const std::int32_t first = 8;
        const std::int32_t second = first + b.PageSize();
        b.AddPage({{Padded("M", 17), 1, 1}}, {second, -1, -1, -1, -1});
        b.AddPage({{Padded("G", 17), 1, 1}}, {first, -1, -1, -1, -1});
        cases.push_back({"two-page loop", b.Finish(first)});
    }
    for (const Case& c : cases) {
        WriteFileBytes(dir.File("d.tre"), c.bytes);
        CNameIndex index(20);
        EXPECT_FALSE(index.Open(dir.File("d.tre"), "d.tre").Failed()) << c.what;
        char key[CNameIndex::kMaxKeyField] = {};
        std::memcpy(key, Padded("A", 17).data(), 17);
        std::int32_t first = 7;
        std::int32_t count = 7;
        const StoreError error = index.Lookup(key, first, count);
        EXPECT_EQ(error.kind, StoreErrorKind::DamagedIndex) << c.what;
        EXPECT_EQ(error.file, "d.tre");
        EXPECT_EQ(first, -1) << c.what;
        EXPECT_EQ(count, 0) << c.what;
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(NameIndex, KeyFieldWithoutNulIsCutToTheLongestKey) {
    TempDir dir;
    IndexBuilder b(20);
    const std::string full(20, 'Q');  // fills the field, no NUL
    WriteFileBytes(dir.File("k.tre"), b.Finish(b.AddPage({{full, 3, 2}})));
    CNameIndex index(20);
    index.Open(dir.File("k.tre"), "index");
    EXPECT_EQ(Look(index, std::string(19, 'Q')).first, 3);
    EXPECT_EQ(Look(index, std::string(18, 'Q')).first, -1);
    EXPECT_EQ(Look(index, std::string(20, 'Q')).first, 3);  // a searched key is cut at 19 too
}

namespace {

struct Walked : CIndexKeyVisitor {
    std::vector<std::string> keys;
    void Visit(std::string_view key, std::int32_t first, std::int32_t count) override {
        keys.push_back(std::string(key) + "=" + std::to_string(first) + "+" + std::to_string(count));
    }
};

}  // namespace

TEST(NameIndexWalk, EveryKeyInKeyOrderAndDamageStopsTheWalk) {
    TempDir dir;
    WriteFileBytes(dir.File("w.tre"), TwoLevelTree(20, 1));  // keys without padding
    CNameIndex index(20);
    ASSERT_FALSE(index.Open(dir.File("w.tre"), "w.tre").Failed());
    Walked walked;
    EXPECT_FALSE(index.WalkKeys(walked).Failed());
    EXPECT_EQ(walked.keys, (std::vector<std::string>{"B=0+2", "D=2+3", "M=5+1", "P=6+1", "T=7+4", "X=11+1"}));

    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    {
        IndexBuilder b(20);
        const std::int32_t first = 8;
        const std::int32_t second = first + b.PageSize();
        b.AddPage({{"M", 1, 1}}, {second, -1, -1, -1, -1});
        b.AddPage({{"G", 1, 1}}, {first, -1, -1, -1, -1});
        cases.push_back({"two-page loop", b.Finish(first)});
    }
    {
        IndexBuilder b(20);
        cases.push_back(
            {"child beyond the file", b.Finish(b.AddPage({{"M", 1, 1}}, {-1, 90000, -1, -1, -1}))});
    }
    {
        IndexBuilder b(20);
        const auto leaf = b.AddPage({{"B", 0, 1}}, {}, 0);  // count 0
        cases.push_back({"page count 0", b.Finish(b.AddPage({{"M", 1, 1}}, {leaf, -1, -1, -1, -1}))});
    }
    for (const Case& c : cases) {
        WriteFileBytes(dir.File("d.tre"), c.bytes);
        CNameIndex damaged(20);
        ASSERT_FALSE(damaged.Open(dir.File("d.tre"), "d.tre").Failed()) << c.what;
        Walked partial;
        EXPECT_EQ(damaged.WalkKeys(partial).kind, StoreErrorKind::DamagedIndex) << c.what;
        EXPECT_LE(partial.keys.size(), 2u) << c.what;
    }
    // An empty index walks nothing.
    WriteFileBytes(dir.File("e.tre"), testing_support::EmptyIndexBytes());
    CNameIndex empty(20);
    ASSERT_FALSE(empty.Open(dir.File("e.tre"), "e.tre").Failed());
    Walked none;
    EXPECT_FALSE(empty.WalkKeys(none).Failed());
    EXPECT_TRUE(none.keys.empty());
}
