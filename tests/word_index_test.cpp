// The word index against the scan: every answer the same on generated
// databases and on the sample disk; a stale, cut, damaged or foreign index
// rebuilt; an unwritable cache answered by reading the records; a build
// cancelled leaves nothing; two builders at once.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "browse/record_query/people_reader.h"
#include "browse/record_search/record_search.h"
#include "browse/word_index/word_index_cache.h"
#include "browse/word_index/word_index_writer.h"
#include "fuzz/word_index_target.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr int kCode = 11;  // ww2_kor: nine fields, headings, joined none

std::vector<PersonRecord> Generated(int count) { return fuzz_targets::WordIndexPeople(count); }

void Write(const std::string& dir, const std::vector<PersonRecord>& people, int code = kCode) {
    CDatabaseWriter writer(code);
    std::string error;
    for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
    ASSERT_TRUE(writer.Write(dir, 0, &error)) << error;
}

struct Answer {
    FindStatus status = FindStatus::Done;
    std::vector<std::string> people;  // "code entry surname slot:positions ..."
    std::vector<int> scanned;
};

Answer Ask(const CDirectories& dirs, const std::string& cache, const std::vector<int>& codes,
           const char* text, const char* field = nullptr, const char* years = nullptr,
           const std::atomic<bool>* cancel = nullptr, bool abbreviations = false, bool keepWalked = true) {
    RecordSearchRequest request;
    request.keepWalked = keepWalked;
    std::string error;
    record_query::YearRange range;
    if (years != nullptr) record_query::ParseYears(years, range, error);
    const record_query::Parsed parsed = record_query::Parse(text, range);
    EXPECT_TRUE(parsed.ok) << text << ": " << parsed.error;
    request.query = parsed.query;
    if (field != nullptr) record_fields::ParseFieldChoice(field, request.field, error);
    request.codes = codes;
    request.skipMissing = true;
    request.abbreviations = abbreviations;
    CRecordSearch search(dirs, cache);
    search.SetCancel(cancel);
    const FindOutcome outcome = search.Run(request);
    Answer answer;
    answer.status = outcome.status;
    answer.scanned = outcome.scanned;
    for (std::int64_t i = 0; outcome.status == FindStatus::Done && i < search.Count(); ++i) {
        RecordHit person;
        EXPECT_FALSE(search.Person(i, person).Failed());
        std::string line =
            std::to_string(person.code) + " " + std::to_string(person.entry) + " " + person.surname;
        for (const FieldHit& hit : person.hits) {
            line += " " + std::to_string(hit.slot) + ":";
            for (int position : hit.positions) line += std::to_string(position) + ",";
        }
        answer.people.push_back(line);
    }
    return answer;
}

struct Case {
    const char* text;
    const char* field;
    const char* years;
    bool abbreviations = false;
};

const Case kCases[] = {
    {"maine", nullptr, nullptr},
    {"MAINE ohio", nullptr, nullptr},
    {"\"20th maine\"", nullptr, nullptr},
    {"\"first class\"", nullptr, nullptr},
    {"o'brien", nullptr, nullptr},
    {"saint-lo", nullptr, nullptr},
    {"muller strasse", nullptr, nullptr},
    {"m*", nullptr, nullptr},
    {"\"private fi*\"", nullptr, nullptr},
    {"smith*", nullptr, nullptr},
    {"infantry -maine", nullptr, nullptr},
    {"camp -\"20th maine\"", nullptr, nullptr},
    {"", nullptr, "1944-1945"},
    {"maine", nullptr, "1862"},
    {"maine", "inducted from", nullptr},
    {"o*", "surname", nullptr},
    {"mukden", "given", nullptr},
    {"", "7", "1900-1999"},
    {"1944", "rank", nullptr},
    {"nobody", nullptr, nullptr},
    {"smith -smith", nullptr, "1944"},
    {"s*", "3", nullptr},
    {"maine OR ohio", nullptr, nullptr},
    {"\"20th maine\" OR mukd* OR queenstown", nullptr, nullptr},
    {"infantry OR camp -maine -\"first class\"", "2", nullptr},
    {"nobody OR \"o'brien\"", "surname", "1944"},
    {"pa", nullptr, nullptr, true},
    {"\"pennsylvania 20th\" OR smith", nullptr, nullptr, true},
    {"pennsylvania -penna", nullptr, nullptr, true},
};

class WordIndex : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(data.File("chronaradb.id"), "");
        Write(data.Path(), Generated(700));
        dirs.SetDataDir(data.Path().c_str());
        folder = cache.Path() + "/chronara/";
    }
    std::string IndexFile() const { return word_index::IndexPath(folder, dirs, kCode); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename());
        return names;
    }

    TempDir data;
    TempDir cache;
    CDirectories dirs;
    std::string folder;
};

TEST_F(WordIndex, EveryAnswerEqualsTheScan) {
    for (const Case& c : kCases) {
        const Answer scanned = Ask(dirs, "", {kCode}, c.text, c.field, c.years, nullptr, c.abbreviations);
        const Answer indexed = Ask(dirs, folder, {kCode}, c.text, c.field, c.years, nullptr, c.abbreviations);
        EXPECT_EQ(indexed.people, scanned.people) << c.text;
        EXPECT_TRUE(indexed.scanned.empty()) << c.text;
    }
    // Built in many small pieces, merged: the same answers.
    CRecordDatabase database(dirs);
    ASSERT_TRUE(database.OpenCode(kCode));
    CPeopleList people;
    ASSERT_FALSE(ListPeople(*database.Index(), database.EntriesHeld(), people).Failed());
    FileFingerprint files[word_index::kFileCount];
    for (int i = 0; i < word_index::kFileCount; ++i) {
        bool missing = false;
        ASSERT_FALSE(FingerprintFile(data.File(std::string("ww2_kor") + word_index::kExtensions[i]), "",
                                     files[i], missing)
                         .Failed());
    }
    word_index::BuildLimits small;
    small.piece = 300;
    ASSERT_EQ(word_index::Build(
                  database, people, files, IndexFile(), [](std::int64_t) { return true; }, small)
                  .status,
              word_index::BuildStatus::Built);
    for (const Case& c : kCases) {
        EXPECT_EQ(Ask(dirs, folder, {kCode}, c.text, c.field, c.years, nullptr, c.abbreviations).people,
                  Ask(dirs, "", {kCode}, c.text, c.field, c.years, nullptr, c.abbreviations).people)
            << c.text;
    }
}

TEST_F(WordIndex, PeopleCountedWithoutBeingKeptAreListedAgainAsTheScanListsThem) {
    // Words of thousands of people: a cursor reads their regions a window at a time.
    Write(data.Path(), Generated(12000));
    for (const Case& c :
         {Case{"maine", nullptr, nullptr}, Case{"maine ohio", nullptr, nullptr},
          Case{"infantry -maine", nullptr, nullptr}, Case{"\"20th maine\" camp", nullptr, nullptr},
          Case{"maine OR ohio -private", nullptr, "1944-1945"}, Case{"m* private", "2", nullptr}}) {
        const Answer indexed = Ask(dirs, folder, {kCode}, c.text, c.field, c.years, nullptr, false, false);
        EXPECT_EQ(indexed.people, Ask(dirs, "", {kCode}, c.text, c.field, c.years).people) << c.text;
        EXPECT_GT(indexed.people.size(), 100u) << c.text;
        EXPECT_TRUE(indexed.scanned.empty()) << c.text;
    }
}

TEST_F(WordIndex, SampleDiskAnswersEqualTheScan) {
    const std::string disk = CHRONARA_BINARY_DIR "/sample-disk/";
    struct stat info {};
    if (stat((disk + "chronaradb.id").c_str(), &info) != 0) GTEST_SKIP() << "the sample disk is not built";
    CDirectories sample;
    sample.SetDataDir(disk.c_str());
    std::vector<int> codes;
    for (int code = 1; code <= 14; ++code) codes.push_back(code);
    for (const Case& c :
         {Case{"\"20th Maine\"", nullptr, nullptr}, Case{"mukden", nullptr, nullptr},
          Case{"queenstown", "7", nullptr}, Case{"", nullptr, "1944"},
          Case{"private -\"first class\" s*", nullptr, nullptr}, Case{"m*", "surname", nullptr},
          // Many words read as one (a prefix, a range of years), the people of each kept by a bit or in a
          // table.
          Case{"s*", nullptr, "1944"}, Case{"", nullptr, "1000-2099"},
          Case{"\"private s*\"", nullptr, nullptr}, Case{"c* OR \"20th m*\"", "2", "1860-1870"}}) {
        EXPECT_EQ(Ask(sample, folder, codes, c.text, c.field, c.years).people,
                  Ask(sample, "", codes, c.text, c.field, c.years).people)
            << c.text;
    }
}

TEST_F(WordIndex, StaleCutDamagedAndForeignIndexesAreRebuilt) {
    const Answer first = Ask(dirs, folder, {kCode}, "\"20th maine\"");
    const std::string built = testing_support::ReadFileBytes(IndexFile());
    ASSERT_FALSE(built.empty());
    const struct {
        const char* name;
        std::string bytes;
    } spoilt[] = {
        {"cut", built.substr(0, built.size() / 2)},
        {"flipped", built.substr(0, 100) + static_cast<char>(built[100] ^ 0x20) + built.substr(101)},
        {"flipped word", built.substr(0, built.size() - 40) +
                             static_cast<char>(built[built.size() - 40] ^ 0x01) +
                             built.substr(built.size() - 39)},
        {"foreign", std::string(built.size(), 'x')},
        {"empty", ""},
        {"other database", "CHRNWORD" + built.substr(8, 4) + std::string("\x02\0\0\0", 4) + built.substr(16)},
    };
    for (const auto& s : spoilt) {
        WriteFileBytes(IndexFile(), s.bytes);
        const Answer again = Ask(dirs, folder, {kCode}, "\"20th maine\"");
        EXPECT_EQ(again.people, first.people) << s.name;
        EXPECT_TRUE(again.scanned.empty()) << s.name;
        EXPECT_TRUE(testing_support::ReadFileBytes(IndexFile()) == built) << s.name << ": not rebuilt";
    }
    // The database changes under the index: the index is stale and rebuilt.
    std::vector<PersonRecord> people = Generated(700);
    people[5].fields[0] = "Zanzibar";
    Write(data.Path(), people);
    EXPECT_EQ(Ask(dirs, folder, {kCode}, "zanzibar").people.size(), 1U);
    EXPECT_EQ(Files().size(), 1U);
}

TEST_F(WordIndex, IndexesOfAnOlderFormatAreRebuiltOrLeaveTheCache) {
    const Answer first = Ask(dirs, folder, {kCode}, "maine");
    const std::string built = testing_support::ReadFileBytes(IndexFile());
    ASSERT_GT(built.size(), 12U);
    std::string older = built;
    older[8] = 1;  // the version, little-endian after the magic
    older[9] = older[10] = older[11] = 0;
    // Under the name this format gives it: read as foreign and built over.
    WriteFileBytes(IndexFile(), older);
    EXPECT_EQ(Ask(dirs, folder, {kCode}, "maine").people, first.people);
    EXPECT_TRUE(testing_support::ReadFileBytes(IndexFile()) == built) << "not rebuilt";
    // Under names an older hash gave: removed when an index is next built;
    // what is not plainly an older index of ours stays.
    const std::string name = std::filesystem::path(IndexFile()).filename();
    for (const char* other : {"ww2_kor-0123456789abcdef.words", "titan-00000000000000ff.words"})
        WriteFileBytes(folder + other, older);
    WriteFileBytes(folder + "notes.txt", older);
    WriteFileBytes(folder + "short.words", older.substr(0, 10));
    WriteFileBytes(folder + "foreign.words", std::string(100, 'x'));
    WriteFileBytes(IndexFile(), "");
    EXPECT_EQ(Ask(dirs, folder, {kCode}, "maine").people, first.people);
    std::vector<std::string> left = Files();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"foreign.words", "notes.txt", "short.words", name}));
}

TEST_F(WordIndex, FewerPeopleAfterTheCountAreAnErrorNotAReadPastTheList) {
    CRecordSearch search(dirs, folder);
    RecordSearchRequest request;
    request.query = record_query::Parse("maine").query;
    request.codes = {kCode};
    ASSERT_EQ(search.Run(request).status, FindStatus::Done);
    const std::int64_t counted = search.Count();
    ASSERT_GT(counted, 1);
    // Counted from the index; then the index is cut and the database shrinks,
    // so the people are read again from the records and fewer are found.
    Write(data.Path(), {PersonRecord{"SMITH", "JOHN", {"Ohio"}}});
    WriteFileBytes(IndexFile(), "");
    RecordHit person;
    EXPECT_EQ(search.Person(counted - 1, person).kind, StoreErrorKind::ReadFailed);
}

TEST_F(WordIndex, UnwritableCacheIsAnsweredByReadingTheRecords) {
    WriteFileBytes(cache.File("file"), "");
    const Answer scanned = Ask(dirs, "", {kCode}, "maine");
    const Answer answer = Ask(dirs, cache.File("file") + "/chronara/", {kCode}, "maine");
    EXPECT_EQ(answer.people, scanned.people);
    EXPECT_EQ(answer.scanned, std::vector<int>{kCode});
    // A cache inside the data folder is never written.
    const Answer onDisk = Ask(dirs, data.Path() + "/cache/", {kCode}, "maine");
    EXPECT_EQ(onDisk.people, scanned.people);
    EXPECT_FALSE(std::filesystem::exists(data.Path() + "/cache"));
    // Nor one to be made there through a link to the data folder, or named relatively.
    const std::string link = cache.Path() + "/disk";
    std::filesystem::create_directory_symlink(data.Path(), link);
    EXPECT_EQ(Ask(dirs, link + "/cache/chronara/", {kCode}, "maine").people, scanned.people);
    const std::string relative = std::filesystem::relative(data.Path() + "/other/chronara/").string();
    EXPECT_EQ(Ask(dirs, relative, {kCode}, "maine").people, scanned.people);
    EXPECT_FALSE(std::filesystem::exists(data.Path() + "/cache"));
    EXPECT_FALSE(std::filesystem::exists(data.Path() + "/other"));
}

TEST_F(WordIndex, CancelledBuildLeavesNothingAndTwoBuildersAgree) {
    // Cancelled from the build's first progress report (a newer query came).
    std::atomic<bool> cancel{false};
    CRecordSearch search(dirs, folder);
    search.SetCancel(&cancel);
    long reports = 0;
    search.SetProgress([&](const FindProgress& progress) {
        EXPECT_EQ(progress.code, kCode);
        EXPECT_EQ(progress.total, 700);
        ++reports;
        cancel = true;
    });
    RecordSearchRequest request;
    request.query = record_query::Parse("maine").query;
    request.codes = {kCode};
    EXPECT_EQ(search.Run(request).status, FindStatus::Cancelled);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(Files().empty());
    EXPECT_FALSE(search.IndexReady(kCode));

    const Answer scanned = Ask(dirs, "", {kCode}, "\"first class\" -ohio");
    Answer answers[2];
    std::thread builders[2];
    for (int i = 0; i < 2; ++i) {
        builders[i] =
            std::thread([&, i] { answers[i] = Ask(dirs, folder, {kCode}, "\"first class\" -ohio"); });
    }
    for (std::thread& builder : builders) builder.join();
    for (const Answer& answer : answers) EXPECT_EQ(answer.people, scanned.people);
    EXPECT_EQ(Files().size(), 1U);
    EXPECT_EQ(Ask(dirs, folder, {kCode}, "\"first class\" -ohio").people, scanned.people);
}

TEST_F(WordIndex, PreparingAnIndexBuildsItAheadOfTheQueriesOrSaysWhyNot) {
    CRecordSearch search(dirs, folder);
    std::atomic<bool> cancel{false};
    search.SetCancel(&cancel);
    search.SetProgress([&](const FindProgress&) { cancel = true; });
    EXPECT_EQ(search.PrepareIndex(kCode).status, FindStatus::Cancelled);
    EXPECT_TRUE(Files().empty());
    cancel = false;
    search.SetProgress({});
    const FindOutcome built = search.PrepareIndex(kCode);
    EXPECT_EQ(built.status, FindStatus::Done);
    EXPECT_TRUE(built.scanned.empty());
    EXPECT_TRUE(search.IndexReady(kCode));
    EXPECT_EQ(Files().size(), 1U);
    // No index can be kept: done, the database named as read record by record.
    CRecordSearch uncached(dirs, "");
    EXPECT_EQ(uncached.PrepareIndex(kCode).scanned, std::vector<int>{kCode});
    // A database not on the disk, and no disk at all.
    const FindOutcome missing = search.PrepareIndex(2);
    EXPECT_EQ(missing.status, FindStatus::Failed);
    EXPECT_EQ(missing.errorCode, 2);
    std::remove(data.File("chronaradb.id").c_str());
    EXPECT_EQ(search.PrepareIndex(kCode).status, FindStatus::NoDisk);
}

}  // namespace
