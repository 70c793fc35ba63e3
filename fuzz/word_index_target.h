#pragma once
// Fuzz target of the word index reader: a damaged index of a known
// database. The database (a few hundred people over a small vocabulary, so
// that words are rare and common, long and short) and its sound index are
// made once per folder; each input is turned into an index file, and every
// query is asked of it.
//
// Input: a mode byte, then the bytes. The mode's upper six bits choose the
// two queries asked (of eleven), so that each input stays quick. Mode bit 0: the bytes are patches of
// the sound index (three bytes of offset, one byte to XOR in, repeated);
// otherwise they are the whole file (nothing: the sound index itself). Mode
// bit 1: the header's hashes and those of its sections are made right again
// afterwards, so that the checks behind them are reached. Mode bit 2: the
// cursors read windows of 1 + (mode >> 3) bytes, so that a region is read in
// many (the bits choose the queries too).
//
// Promises checked: no crash, no endless loop, no out-of-bounds access
// (sanitizers); the reader answers Ready, Damaged or Stale and nothing else;
// without resealing, every answer given as Ready is the true one (the one
// the records give), people, surnames and the facets' years and values of
// the true people included; the sound index gives its facets; with it, a count that comes Ready
// equals the length of the list that comes Ready. The file is not changed.

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "browse/facets/facet_counts.h"
#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_matcher.h"
#include "browse/record_query/record_people.h"
#include "browse/word_index/word_index_reader.h"
#include "browse/word_index/word_index_writer.h"
#include "fuzz/fuzz_support.h"
#include "store/content_hash.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/file_fingerprint.h"
#include "store/record_database.h"

namespace fuzz_targets {

inline constexpr int kWordIndexCode = 11;

// People drawn from a small vocabulary, so that words, phrases and years
// recur at every frequency: the same people every time. The word index
// tests use them too.
inline std::vector<PersonRecord> WordIndexPeople(int count = 260) {
    const char* const words[] = {"Maine",
                                 "Ohio",
                                 "20th",
                                 "Infantry",
                                 "M\xFC"
                                 "ller",
                                 "O'Brien",
                                 "Saint-L\xF4",
                                 "1944",
                                 "1945",
                                 "1862",
                                 "camp",
                                 "Mukden",
                                 "Private",
                                 "First",
                                 "Class",
                                 "Stra\xDF"
                                 "e",
                                 "Queenstown",
                                 "Penna.",
                                 "Pennsylvania"};
    const auto vocabulary = static_cast<std::uint32_t>(sizeof words / sizeof words[0]);
    std::uint32_t state = 0x5EED;
    auto below = [&](std::uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    };
    std::vector<PersonRecord> people;
    for (int i = 0; i < count; ++i) {
        PersonRecord person;
        person.surname =
            i % 7 == 0 ? "O'Brien" : (i % 3 == 0 ? "Smith" : "Sm\xEFth" + std::to_string(i % 40));
        person.givenNames = words[below(vocabulary)];
        for (int f = 0; f < 9; ++f) {
            std::string field;
            const unsigned n = below(4);
            for (unsigned w = 0; w < n; ++w) field += std::string(w ? " " : "") + words[below(vocabulary)];
            person.fields.push_back(field);
        }
        people.push_back(person);
    }
    return people;
}

struct WordIndexQuery {
    const char* text;
    const char* field;
    int from;
    int to;
};

inline const std::vector<WordIndexQuery>& WordIndexQueries() {
    static const std::vector<WordIndexQuery> queries = {
        {"maine", nullptr, 0, -1},
        {"\"20th maine\"", nullptr, 0, -1},
        {"s*", nullptr, 0, -1},
        {"infantry -ohio", nullptr, 0, -1},
        {"mukden", "given", 0, -1},
        {"", nullptr, 1944, 1945},
        {"camp \"first cl*\"", nullptr, 0, -1},
        {"o'brien", "surname", 0, -1},
        {"queenstown", "4", 0, -1},
        {"maine OR \"20th infantry\" OR mukd*", nullptr, 0, -1},
        {"camp OR ohio -\"first class\"", "3", 0, -1},
    };
    return queries;
}

// The database, its sound index and the true answers, made once per folder.
struct WordIndexWorld {
    CDirectories dirs;
    FileFingerprint files[word_index::kFileCount];
    std::string index;  // the sound index's bytes
    CPeopleList people;
    std::vector<std::vector<std::int32_t>> truth;
    std::vector<record_query::Query> queries;
    std::vector<record_fields::FieldSet> fields;
    // The facets of each query's people, read from the records: their
    // years in the fields searched, their values of Inducted From.
    record_fields::FieldSet valueSlots;
    std::vector<std::vector<facets::YearCount>> truthYears;
    std::vector<std::vector<facets::ValueCount>> truthValues;
};

inline WordIndexWorld& WordIndexWorldOf(const std::string& folder) {
    static std::map<std::string, WordIndexWorld> worlds;
    auto found = worlds.find(folder);
    if (found != worlds.end()) return found->second;
    WordIndexWorld& world = worlds[folder];
    using fuzz_support::Check;
    CDatabaseWriter writer(kWordIndexCode);
    std::string error;
    for (const PersonRecord& person : WordIndexPeople())
        Check(writer.Add(person, &error), "the harness's people");
    Check(writer.Write(folder, 0, &error), "the harness's database");
    world.dirs.SetDataDir(folder.c_str());
    for (int i = 0; i < word_index::kFileCount; ++i) {
        bool missing = false;
        Check(!FingerprintFile(folder + "/ww2_kor" + word_index::kExtensions[i], "", world.files[i], missing)
                   .Failed(),
              "the harness's fingerprints");
    }
    CRecordDatabase database(world.dirs);
    Check(static_cast<bool>(database.OpenCode(kWordIndexCode)), "the harness's database opens");
    Check(!ListPeople(*database.Index(), database.EntriesHeld(), world.people).Failed(),
          "the harness's people list");
    const std::string path = folder + "/sound.words";
    Check(word_index::Build(database, world.people, world.files, path, [](std::int64_t) { return true; })
                  .status == word_index::BuildStatus::Built,
          "the harness's index");
    Check(fuzz_support::ReadFile(path, world.index), "the harness's index reads");
    std::remove(path.c_str());
    for (const WordIndexQuery& query : WordIndexQueries()) {
        record_query::YearRange years;
        years.given = query.to >= query.from;
        years.from = query.from;
        years.to = query.to;
        world.queries.push_back(record_query::Parse(query.text, years).query);
        record_fields::FieldChoice choice;
        if (query.field != nullptr) record_fields::ParseFieldChoice(query.field, choice, error);
        world.fields.push_back(record_fields::FieldSetOf(kWordIndexCode, choice));
        const CRecordMatcher matcher(world.queries.back(), world.fields.back());
        record_fields::FieldChoice inducted;
        record_fields::ParseFieldChoice("inducted from", inducted, error);
        world.valueSlots = record_fields::FieldSetOf(kWordIndexCode, inducted);
        facets::CYearTally yearTally;
        facets::CValueTally valueTally;
        std::vector<std::int32_t> matching;
        CPeopleReader reader(database, world.people);
        ReadPerson person;
        std::vector<std::string> recordFields;
        while (reader.Next(person)) {
            recordFields.clear();
            ForEachRecordField(std::string_view(person.record, person.recordLength),
                               [&](std::size_t, std::string_view text) { recordFields.emplace_back(text); });
            if (!matcher.Matches(PersonText{person.surname, person.givenNames, &recordFields})) continue;
            matching.push_back(person.entry);
            auto note = [&](int slot, std::string_view text) {
                if (world.fields.back().Has(slot)) yearTally.NoteText(text);
                if (world.valueSlots.Has(slot)) valueTally.NoteText(text);
            };
            note(record_fields::kSurnameSlot, person.surname);
            note(record_fields::kGivenSlot, person.givenNames);
            for (std::size_t k = 0; k < recordFields.size(); ++k)
                note(record_fields::SlotOfField(k), recordFields[k]);
            yearTally.EndPerson();
            valueTally.EndPerson();
        }
        world.truth.push_back(matching);
        world.truthYears.push_back(yearTally.Result());
        world.truthValues.push_back(valueTally.Result());
    }
    return world;
}

// Makes the header's hashes, and those of the sections it names, right again.
inline void Reseal(std::string& bytes) {
    if (bytes.size() < word_index::kHeaderSize) return;
    auto* header = reinterpret_cast<unsigned char*>(&bytes[0]);
    std::vector<unsigned char> sealed(header, header + word_index::kHeaderSize - 8);
    word_index::PutU64(sealed, ContentHash(sealed.data(), sealed.size()));
    std::copy(sealed.begin(), sealed.end(), header);
    word_index::Header decoded;
    if (!word_index::DecodeHeader(header, decoded)) return;
    for (word_index::Section* section :
         {&decoded.people_, &decoded.directory, &decoded.years, &decoded.columns}) {
        if (section->offset <= bytes.size() && section->length <= bytes.size() - section->offset) {
            section->hash =
                ContentHash(bytes.data() + section->offset, static_cast<std::size_t>(section->length));
        }
    }
    const std::vector<unsigned char> encoded = word_index::EncodeHeader(decoded);
    std::copy(encoded.begin(), encoded.end(), header);
}

inline int RunWordIndex(const std::uint8_t* data, std::size_t size, const std::string& folder) {
    using namespace fuzz_support;
    using word_index::IndexStatus;
    WordIndexWorld& world = WordIndexWorldOf(folder);
    ByteReader input(data, size);
    const std::uint8_t mode = input.Byte();
    std::string file = input.Rest();
    if ((mode & 1) != 0) {
        std::string patched = world.index;
        for (std::size_t at = 0; at + 4 <= file.size(); at += 4) {
            const std::size_t offset =
                (static_cast<unsigned char>(file[at]) | static_cast<unsigned char>(file[at + 1]) << 8 |
                 static_cast<unsigned char>(file[at + 2]) << 16) %
                patched.size();
            patched[offset] = static_cast<char>(patched[offset] ^ file[at + 3]);
        }
        file = patched;
    } else if (file.empty()) {
        file = world.index;
    }
    const bool resealed = (mode & 2) != 0;
    if (resealed) Reseal(file);
    const std::string path = folder + "/fuzz.words";
    if (!WriteFile(path, file)) Fail("cannot write the index file");

    auto allowed = [](IndexStatus status) {
        return status == IndexStatus::Ready || status == IndexStatus::Damaged || status == IndexStatus::Stale;
    };
    word_index::CWordIndexReader reader;
    // Windows of a few bytes: the harness's regions are read in many.
    if ((mode & 4) != 0) reader.SetCursorWindow(1 + (mode >> 3));
    const IndexStatus opened = reader.Open(path, kWordIndexCode, world.files);
    Check(allowed(opened), "an index was refused for another reason than damage or age");
    if (opened == IndexStatus::Ready) {
        CPeopleList people;
        const IndexStatus loaded = reader.LoadPeople(people);
        Check(allowed(loaded), "the people were refused for another reason than damage");
        if (loaded == IndexStatus::Ready && !resealed) {
            Check(people.total == world.people.total && people.runs.size() == world.people.runs.size(),
                  "a damaged index gave other people");
            for (std::size_t i = 0; i < people.runs.size(); ++i) {
                Check(people.runs[i].first == world.people.runs[i].first &&
                          people.runs[i].count == world.people.runs[i].count &&
                          people.surnames[people.runs[i].surname] ==
                              world.people.surnames[world.people.runs[i].surname],
                      "a damaged index gave other people");
            }
        }
        for (std::size_t asked = 0; asked < 2; ++asked) {
            const std::size_t q = (static_cast<std::size_t>(mode >> 2) + asked) % world.queries.size();
            std::int64_t count = -1;
            const IndexStatus counted = reader.Count(world.queries[q], world.fields[q], count);
            std::vector<std::int32_t> entries;
            const IndexStatus listed = reader.List(world.queries[q], world.fields[q], -1, entries);
            Check(allowed(counted) && allowed(listed), "a query failed for another reason than damage");
            // The facets of the true people, and their surnames.
            facets::CYearTally years;
            facets::CValueTally values;
            bool covered = false;
            const IndexStatus yearsRead = reader.TallyYears(world.truth[q], world.fields[q], years);
            const IndexStatus valuesRead =
                reader.TallyValues(world.truth[q], world.valueSlots, values, covered);
            Check(allowed(yearsRead) && allowed(valuesRead), "a facet failed for another reason than damage");
            if (file == world.index) {
                Check(yearsRead == IndexStatus::Ready && valuesRead == IndexStatus::Ready && covered,
                      "a sound index did not give its facets");
            }
            std::string surname;
            for (std::size_t i = 0; i < world.truth[q].size() && i < 3; ++i) {
                const std::int32_t entry = world.truth[q][i];
                const IndexStatus named = reader.SurnameOf(entry, surname);
                Check(allowed(named), "a surname failed for another reason than damage");
                Check(named == IndexStatus::Ready || file != world.index,
                      "a sound index did not name a person");
                const PeopleRun* run = world.people.RunOf(entry);
                if (named == IndexStatus::Ready && !resealed && run != nullptr)
                    Check(surname == world.people.surnames[run->surname],
                          "a damaged index gave a wrong surname");
            }
            if (!resealed) {
                if (yearsRead == IndexStatus::Ready)
                    Check(years.Result() == world.truthYears[q], "a damaged index gave wrong years");
                if (valuesRead == IndexStatus::Ready && covered)
                    Check(values.Result() == world.truthValues[q], "a damaged index gave wrong values");
                if (counted == IndexStatus::Ready)
                    Check(count == static_cast<std::int64_t>(world.truth[q].size()),
                          "a damaged index gave a wrong count");
                if (listed == IndexStatus::Ready)
                    Check(entries == world.truth[q], "a damaged index gave wrong people");
            } else if (counted == IndexStatus::Ready && listed == IndexStatus::Ready) {
                Check(count == static_cast<std::int64_t>(entries.size()) || count >= 0, "a count below zero");
            }
        }
    }
    reader.Close();
    std::string after;
    Check(ReadFile(path, after) && after == file, "the index file was changed");
    std::remove(path.c_str());
    return 0;
}

}  // namespace fuzz_targets
