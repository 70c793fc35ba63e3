// The database writer: exact bytes of small databases, the shape of the
// B-tree, refusals, and a large round trip read back both by an independent
// parser of the written bytes and by the viewer's own readers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "store/catalogue.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/name_index.h"
#include "store/record_database.h"
#include "support/test_support.h"

using testing_support::Int32At;
using testing_support::Int32Bytes;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

// The key a search forms, worked out here again rather than taken from the core.
std::string ExpectedKey(int code, const std::string& surname) {
    const bool longKeys = code == 2 || code >= 7;
    const std::size_t width = longKeys ? 22 : 17;
    std::string key = surname;
    if (key.size() <= 16 || (key.size() <= 21 && code > 8)) key.resize(std::max(width, key.size()), ' ');
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

struct UnsignedLess {
    bool operator()(const std::string& a, const std::string& b) const {
        const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));  // bytes as unsigned
        return order != 0 ? order < 0 : a.size() < b.size();
    }
};

struct IndexEntry {
    std::string key;
    std::int32_t first;
    std::int32_t count;
};

// Reads a .tre file without the core's reader: checks every structural rule
// of the format and returns the entries in key order and the tree height.
struct ParsedTree {
    std::vector<IndexEntry> entries;
    int height = 0;
};

void WalkPage(const std::string& bytes, int keyField, std::int32_t offset, int depth, ParsedTree& tree,
              std::set<std::int32_t>& seen, int& leafDepth) {
    const std::size_t entrySize = static_cast<std::size_t>(keyField) + 8;
    const std::size_t pageSize = 4 + 4 * entrySize + 20;
    ASSERT_GE(offset, 8);
    ASSERT_LE(static_cast<std::size_t>(offset) + pageSize, bytes.size() - 1) << "page beyond the file";
    ASSERT_EQ((static_cast<std::size_t>(offset) - 8) % pageSize, 0u) << "page not on a page boundary";
    ASSERT_TRUE(seen.insert(offset).second) << "page reached twice";
    const auto at = static_cast<std::size_t>(offset);
    const std::int32_t count = Int32At(bytes, at);
    ASSERT_GE(count, 1);
    ASSERT_LE(count, 4);
    std::int32_t children[5];
    for (int c = 0; c < 5; ++c)
        children[c] = Int32At(bytes, at + 4 + 4 * entrySize + 4 * static_cast<std::size_t>(c));
    const bool leaf = children[0] == -1;
    for (int c = count + 1; c < 5; ++c) EXPECT_EQ(children[c], -1) << "child beyond the entries";
    if (leaf) {
        for (int c = 0; c <= count; ++c) ASSERT_EQ(children[c], -1) << "leaf with a child";
        if (leafDepth < 0) leafDepth = depth;
        ASSERT_EQ(depth, leafDepth) << "leaves at different depths";
    }
    for (int e = 0; e <= count; ++e) {
        if (!leaf) {
            ASSERT_NE(children[e], -1) << "inner page without a child";
            WalkPage(bytes, keyField, children[e], depth + 1, tree, seen, leafDepth);
        }
        if (e == count) break;
        const std::size_t entry = at + 4 + static_cast<std::size_t>(e) * entrySize;
        const std::string field = bytes.substr(entry + 8, static_cast<std::size_t>(keyField));
        const std::size_t nul = field.find('\0');
        ASSERT_NE(nul, std::string::npos) << "key without its NUL";
        EXPECT_EQ(field.find_first_not_of('\0', nul), std::string::npos) << "key field not NUL-padded";
        tree.entries.push_back({field.substr(0, nul), Int32At(bytes, entry), Int32At(bytes, entry + 4)});
    }
}

ParsedTree ParseTree(const std::string& bytes, int keyField) {
    ParsedTree tree;
    EXPECT_GE(bytes.size(), 9u);
    if (bytes.size() < 9) return tree;
    EXPECT_EQ(bytes.back(), '\4');
    EXPECT_EQ(Int32At(bytes, 4), -1);
    const std::int32_t root = Int32At(bytes, 0);
    if (root == -1) {
        EXPECT_EQ(bytes.size(), 9u);
        return tree;
    }
    std::set<std::int32_t> seen;
    int leafDepth = -1;
    WalkPage(bytes, keyField, root, 1, tree, seen, leafDepth);
    const std::size_t pageSize = 4 + 4 * (static_cast<std::size_t>(keyField) + 8) + 20;
    EXPECT_EQ(seen.size(), (bytes.size() - 9) / pageSize) << "pages no parent refers to";
    tree.height = leafDepth;
    return tree;
}

int MinimalHeight(std::size_t keys) {
    int height = 0;
    std::size_t capacity = 0;
    while (capacity < keys) {
        capacity = capacity * 5 + 4;
        ++height;
    }
    return height;
}

PersonRecord Person(const std::string& surname, const std::string& given,
                    std::vector<std::string> fields = {}) {
    return PersonRecord{surname, given, std::move(fields)};
}

class DatabaseWriterTest : public ::testing::Test {
protected:
    TempDir dir_;
    std::string File(int code, const char* extension) const {
        return dir_.File(std::string(catalogue::StemOf(code)) + extension);
    }
};

TEST_F(DatabaseWriterTest, OnePersonGivesTheExactBytesOfAllThreeFiles) {
    CDatabaseWriter writer(1);
    std::string error;
    ASSERT_TRUE(writer.Add(Person("smith", "Ann", {"a", "b"}), &error)) << error;
    DatabaseSummary summary;
    ASSERT_TRUE(writer.Write(dir_.Path(), 0, &error, &summary)) << error;

    EXPECT_EQ(ReadFileBytes(File(1, ".ext")),
              "a\xFF"
              "b\xFF\n");
    EXPECT_EQ(ReadFileBytes(File(1, ".cor")), Int32Bytes(0) + std::string("Ann\0", 4) + Int32Bytes(4));

    std::string page =
        Int32Bytes(1) + Int32Bytes(0) + Int32Bytes(1) + "SMITH            " + std::string(3, '\0');
    page += std::string(3 * 28, '\0');
    for (int c = 0; c < 5; ++c) page += Int32Bytes(-1);
    ASSERT_EQ(page.size(), 136u);
    EXPECT_EQ(ReadFileBytes(File(1, ".tre")), Int32Bytes(8) + Int32Bytes(-1) + page + "\4");

    EXPECT_EQ(summary.people, 1);
    EXPECT_EQ(summary.surnames, 1);
    EXPECT_EQ(summary.largestRange, 1);
    EXPECT_EQ(summary.treeHeight, 1);
    EXPECT_EQ(summary.nameWidth, 4);
}

TEST_F(DatabaseWriterTest, EmptyDatabaseIsAnEmptyIndexAndAWidthOnly) {
    CDatabaseWriter writer(13);
    std::string error;
    DatabaseSummary summary;
    ASSERT_TRUE(writer.Write(dir_.Path(), 0, &error, &summary)) << error;
    EXPECT_EQ(ReadFileBytes(File(13, ".ext")), "");
    EXPECT_EQ(ReadFileBytes(File(13, ".cor")), Int32Bytes(1));
    EXPECT_EQ(ReadFileBytes(File(13, ".tre")), std::string(8, '\xFF') + "\4");
    EXPECT_EQ(summary.people, 0);
    EXPECT_EQ(summary.treeHeight, 0);
}

TEST_F(DatabaseWriterTest, SurnamesThatFormOneKeyShareOneRangeInArrivalOrder) {
    // Code 3 pads to 17: "Smith", "SMITH" and "smith " all give the same key;
    // É (0xC9) is not upper-cased and sorts after every ASCII letter.
    CDatabaseWriter writer(3);
    std::string error;
    const char* people[][2] = {{"\xC9tienne", "A"}, {"Smith", "B"},  {"Zorn", "C"},      {"SMITH", "D"},
                               {"Adams", "E"},      {"smith ", "F"}, {"\xE9tienne", "G"}};
    for (auto& p : people) ASSERT_TRUE(writer.Add(Person(p[0], p[1], {p[1]}), &error)) << error;
    ASSERT_TRUE(writer.Write(dir_.Path(), 0, &error)) << error;

    const ParsedTree tree = ParseTree(ReadFileBytes(File(3, ".tre")), 20);
    ASSERT_EQ(tree.entries.size(), 5u);
    EXPECT_EQ(tree.entries[0].key, ExpectedKey(3, "ADAMS"));
    EXPECT_EQ(tree.entries[1].key, ExpectedKey(3, "SMITH"));
    EXPECT_EQ(tree.entries[1].first, 1);
    EXPECT_EQ(tree.entries[1].count, 3);
    EXPECT_EQ(tree.entries[2].key, ExpectedKey(3, "ZORN"));
    EXPECT_EQ(tree.entries[3].key, ExpectedKey(3, "\xC9TIENNE"));
    EXPECT_EQ(tree.entries[4].key, ExpectedKey(3, "\xE9TIENNE"));  // é stays lower-case

    const std::string cor = ReadFileBytes(File(3, ".cor"));
    std::string order;
    for (std::size_t i = 0; i < 7; ++i) order += cor[i * 6 + 4];
    EXPECT_EQ(order, "EBDFCAG");
}

TEST_F(DatabaseWriterTest, TreeIsBalancedWithOneToFourEntriesPerPageForEverySize) {
    const std::size_t sizes[] = {1,  2,  3,  4,  5,   6,   9,   10,  11,  14,  15,  23,  24,   25,   26,
                                 30, 49, 50, 99, 124, 125, 126, 200, 311, 624, 625, 626, 1000, 3124, 3125};
    for (std::size_t n : sizes) {
        CDatabaseWriter writer(1);
        std::string error;
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < n; ++i) {
            const std::string surname = "N" + std::to_string(100000 + i * 7);
            ASSERT_TRUE(writer.Add(Person(surname, "x"), &error)) << error;
            keys.push_back(ExpectedKey(1, surname));
        }
        DatabaseSummary summary;
        ASSERT_TRUE(writer.Write(dir_.Path(), 0, &error, &summary)) << error;
        const ParsedTree tree = ParseTree(ReadFileBytes(File(1, ".tre")), 20);
        std::sort(keys.begin(), keys.end(), UnsignedLess());
        ASSERT_EQ(tree.entries.size(), n) << "for " << n << " surnames";
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_EQ(tree.entries[i].key, keys[i]) << "for " << n << " surnames";
            ASSERT_EQ(tree.entries[i].first, static_cast<std::int32_t>(i));
            ASSERT_EQ(tree.entries[i].count, 1);
        }
        EXPECT_EQ(tree.height, MinimalHeight(n)) << "for " << n << " surnames";
        EXPECT_EQ(summary.treeHeight, tree.height);
    }
}

TEST_F(DatabaseWriterTest, RefusesWhatTheFormatsCannotHoldAndAcceptsTheLimits) {
    std::string error;
    struct Case {
        int code;
        PersonRecord person;
        bool accepted;
        const char* reasonPart;
    };
    const std::string field4997(4997, 'r');  // with its 0xFF and the line feed: 4999 bytes
    const Case cases[] = {
        {1, Person("", "A"), false, "surname is empty"},
        {1, Person(std::string("Sm\0th", 5), "A"), false, "NUL"},
        {1, Person("Smith", std::string("A\0B", 3)), false, "NUL"},
        {1, Person("Smith", "A", {std::string("x\0", 2)}), false, "NUL"},
        {1, Person(std::string(19, 'q'), "A"), true, ""},
        {1, Person(std::string(20, 'q'), "A"), false, "at most 19"},
        {2, Person(std::string(23, 'q'), "A"), true, ""},
        {2, Person(std::string(24, 'q'), "A"), false, "at most 23"},
        {9, Person(std::string(21, 'q'), "A"), true, ""},
        {1, Person("Smith", std::string(254, 'g')), true, ""},
        {1, Person("Smith", std::string(255, 'g')), false, "255 bytes"},
        {1, Person("Smith", "A", {"ok", "bad\xFF"}), false, "field 1 holds the byte 0xFF"},
        {1, Person("Smith", "A", {"bad\nline"}), false, "field 0 holds a line feed"},
        {1, Person("Smith", "A", {field4997}), true, ""},
        {1, Person("Smith", "A", {field4997 + "r"}), false, "5000 bytes"},
        {1, Person("Smith", "A", {std::string(2000, 'a'), std::string(2000, 'b'), std::string(997, 'c')}),
         false, "5001 bytes"},
        {0, Person("Smith", "A"), false, "code 0"},
        {15, Person("Smith", "A"), false, "code 15"},
    };
    for (const Case& c : cases) {
        CDatabaseWriter writer(c.code);
        error.clear();
        EXPECT_EQ(writer.Add(c.person, &error), c.accepted)
            << "code " << c.code << " surname length " << c.person.surname.size();
        EXPECT_NE(error.find(c.reasonPart), std::string::npos) << "reason: " << error;
        EXPECT_EQ(writer.PeopleCount(), c.accepted ? 1u : 0u);
    }
}

TEST_F(DatabaseWriterTest, NameWidthIsTheSmallestThatFitsOrTheOneAsked) {
    CDatabaseWriter writer(5);
    std::string error;
    ASSERT_TRUE(writer.Add(Person("Lee", "Robert Edward"), &error));
    ASSERT_TRUE(writer.Add(Person("Lee", ""), &error));
    EXPECT_EQ(writer.SmallestNameWidth(), 14);

    EXPECT_FALSE(writer.Write(dir_.Path(), 13, &error));
    EXPECT_NE(error.find("too small"), std::string::npos) << error;
    EXPECT_FALSE(writer.Write(dir_.Path(), 256, &error));
    EXPECT_NE(error.find("1 to 255"), std::string::npos) << error;
    EXPECT_FALSE(writer.Write(dir_.Path(), -1, &error));

    ASSERT_TRUE(writer.Write(dir_.Path(), 255, &error)) << error;
    const std::string wide = ReadFileBytes(File(5, ".cor"));
    ASSERT_EQ(wide.size(), 2u * 259 + 4);
    EXPECT_EQ(Int32At(wide, wide.size() - 4), 255);
    EXPECT_EQ(wide.substr(4, 14), std::string("Robert Edward\0", 14));
    EXPECT_EQ(wide.substr(18, 241), std::string(241, '\0'));
    EXPECT_EQ(Int32At(wide, 259), 1);  // a record without fields is its line feed alone
    EXPECT_EQ(wide[263], '\0');
}

TEST_F(DatabaseWriterTest, WriteIntoAMissingFolderFailsNamingTheFile) {
    CDatabaseWriter writer(1);
    std::string error;
    ASSERT_TRUE(writer.Add(Person("Lee", "R"), &error));
    EXPECT_FALSE(writer.Write(dir_.File("no/such/folder"), 0, &error));
    EXPECT_NE(error.find("no/such/folder/congen.ext"), std::string::npos) << error;
}

// A large database over many surnames, read back three ways: the written
// bytes parsed here, every surname looked up by CNameIndex, and every entry
// and record read by CRecordDatabase.
struct Generated {
    std::vector<PersonRecord> people;
    std::map<std::string, std::vector<std::size_t>, UnsignedLess> byKey;  // key -> people in order
};

class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next(std::uint32_t bound) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>((state_ >> 33) % bound);
    }

private:
    std::uint64_t state_;
};

Generated Generate(int code, std::size_t count) {
    static const char* const kSyllables[] = {
        "al", "ber", "co", "dan", "el",  "fitz", "gor", "ha",  "in", "jo", "kel", "lo",    "mac",   "ne",
        "o",  "per", "qu", "ri",  "son", "t",    "um",  "van", "wi", "x",  "ya",  "z\xE9", "\xC4h", "ster"};
    const std::size_t maxKey = (code == 2 || code >= 7) ? 23 : 19;
    Lcg random(static_cast<std::uint32_t>(code) * 7919u);
    std::vector<std::string> surnames;
    std::set<std::string> distinct;
    while (surnames.size() < 12000) {
        std::string name;
        const std::uint32_t parts = 1 + random.Next(7);
        for (std::uint32_t p = 0; p < parts; ++p) name += kSyllables[random.Next(28)];
        if (name.size() > maxKey) name.resize(maxKey - random.Next(4));
        if (random.Next(3) == 0)
            name[0] = static_cast<char>(name[0] >= 'a' && name[0] <= 'z' ? name[0] - 32 : name[0]);
        if (distinct.insert(name).second) surnames.push_back(name);
    }
    // Names at the padding boundaries, and spellings that form one key.
    for (const char* extra : {"abcdefghijklmnop", "abcdefghijklmnopq", "ABCDEFGHIJKLMNOPQR",
                              "abcdefghijklmnopqrs", "Smith", "SMITH", "smith "}) {
        surnames.push_back(extra);
    }
    if (maxKey == 23) {
        for (const char* extra :
             {"abcdefghijklmnopqrstu", "abcdefghijklmnopqrstuv", "abcdefghijklmnopqrstuvw"}) {
            surnames.push_back(extra);
        }
    }

    Generated out;
    out.people.reserve(count);
    std::vector<std::vector<std::size_t>*> peopleOf;  // per surname: its key's list of people
    for (const std::string& surname : surnames) peopleOf.push_back(&out.byKey[ExpectedKey(code, surname)]);
    for (std::size_t i = 0; i < count; ++i) {
        // Skewed choice: a few surnames get thousands of people, most get a handful.
        const std::uint32_t pick =
            random.Next(4) == 0 ? random.Next(40) : random.Next(static_cast<std::uint32_t>(surnames.size()));
        const std::size_t chosen = i < surnames.size() ? i : pick;
        PersonRecord person;
        person.surname = surnames[chosen];
        // Mostly short texts (kept inside std::string without a heap block, which keeps
        // this fast under the sanitizers), now and then the longest allowed.
        const std::uint32_t givenLength = random.Next(50) == 0 ? 254 : random.Next(16);
        for (std::uint32_t g = 0; g < givenLength; ++g)
            person.givenNames += static_cast<char>('a' + random.Next(26));
        const std::uint32_t fields = random.Next(7);
        for (std::uint32_t f = 0; f < fields; ++f) {
            std::string field = std::to_string(i) + ":" + std::to_string(f);
            const std::uint32_t extra = random.Next(1000) == 0 ? 1500
                                        : random.Next(20) == 0 ? 60
                                                               : random.Next(8);
            field.append(extra, static_cast<char>(0x20 + random.Next(0xDF)));
            person.fields.push_back(field);
        }
        peopleOf[chosen]->push_back(i);
        out.people.push_back(std::move(person));
    }
    return out;
}

std::string RecordOf(const PersonRecord& person) {
    std::string record;
    for (const std::string& field : person.fields) {
        record += field;
        record += '\xFF';
    }
    record += '\n';
    return record;
}

void RoundTrip(int code) {
    const std::size_t kPeople = 100000;
    const Generated data = Generate(code, kPeople);
    TempDir dir;
    CDatabaseWriter writer(code);
    std::string error;
    for (const PersonRecord& person : data.people) ASSERT_TRUE(writer.Add(person, &error)) << error;
    DatabaseSummary summary;
    ASSERT_TRUE(writer.Write(dir.Path(), 0, &error, &summary)) << error;

    const std::string base = dir.File(catalogue::StemOf(code));
    const int keyField = catalogue::KeyFieldWidth(code);
    const ParsedTree tree = ParseTree(ReadFileBytes(base + ".tre"), keyField);
    ASSERT_EQ(tree.entries.size(), data.byKey.size());
    EXPECT_EQ(tree.height, MinimalHeight(data.byKey.size()));

    std::size_t largest = 0;
    std::int32_t next = 0;
    std::size_t e = 0;
    for (const auto& [key, people] : data.byKey) {
        ASSERT_EQ(tree.entries[e].key, key);
        ASSERT_EQ(tree.entries[e].first, next);
        ASSERT_EQ(tree.entries[e].count, static_cast<std::int32_t>(people.size()));
        next += static_cast<std::int32_t>(people.size());
        largest = std::max(largest, people.size());
        ++e;
    }
    EXPECT_EQ(summary.people, static_cast<long>(kPeople));
    EXPECT_EQ(summary.surnames, static_cast<long>(data.byKey.size()));
    EXPECT_EQ(summary.largestRange, static_cast<long>(largest));
    EXPECT_EQ(summary.treeHeight, tree.height);
    EXPECT_EQ(summary.nameWidth, 255);

    testing_support::ScriptedResponder boxes;
    {
        CNameIndex index(keyField);
        index.Open((base + ".tre"), "index");
        std::int32_t first = 0;
        std::int32_t count = 0;
        for (const IndexEntry& entry : tree.entries) {
            char key[CNameIndex::kMaxKeyField] = {};
            std::memcpy(key, entry.key.data(), entry.key.size());
            index.Lookup(key, first, count);
            ASSERT_EQ(first, entry.first) << entry.key;
            ASSERT_EQ(count, entry.count) << entry.key;
        }
        char absent[CNameIndex::kMaxKeyField] = "ZZZZ NOT THERE";
        index.Lookup(absent, first, count);
        EXPECT_EQ(first, -1);
        index.Close();
    }

    CDirectories dirs;
    dirs.SetDataDir(dir.Path().c_str());
    CRecordDatabase database(dirs);
    CorEntry read;
    ASSERT_TRUE(database.OpenCode(code));
    EXPECT_EQ(database.NameWidth(), 255);
    std::vector<char> record(CRecordDatabase::kRecordBufferSize);
    std::int32_t entry = 0;
    for (const auto& [key, people] : data.byKey) {
        for (std::size_t person : people) {
            database.ReadEntry(entry, read);
            ASSERT_STREQ(read.givenNames, data.people[person].givenNames.c_str()) << "entry " << entry;
            database.ReadRecord(read.recordOffset, record.data());
            ASSERT_STREQ(record.data(), RecordOf(data.people[person]).c_str()) << "entry " << entry;
            ++entry;
        }
    }
    database.Close();
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(DatabaseWriterRoundTrip, HundredThousandPeopleShortKeys) { RoundTrip(3); }

TEST(DatabaseWriterRoundTrip, HundredThousandPeopleLongKeys) { RoundTrip(11); }

}  // namespace
