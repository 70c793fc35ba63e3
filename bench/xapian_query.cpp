// bench_xapian_query: the record search's second baseline, Xapian 1.4
// (Debian's libxapian-dev), holding the same people as the word index and
// FTS5: one document a person, its id the entry number + 1, every word of
// every field a term (lower-cased, as the word rule folds it) with its
// position, a gap of 100 positions between fields so that no phrase runs
// from one into the next, and the words of the Rank field once more with
// the prefix XR (the one-field class). In a process of its own, as
// chronara-query --find answers a query in its own.
//
//   bench_xapian_query --build FOLDER          (FOLDER/xapian, from the disk)
//   bench_xapian_query FOLDER CLASS [--count]  (the count and the first ten)
//   bench_xapian_query --noop                  (starts and ends)
//
// CLASS is a query class of bench_find: rare, common, two_words, phrase,
// prefix, one_field, exclusion, years.

#include <xapian.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_people.h"
#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "browse/record_query/record_words.h"
#include "browse/record_text/record_format.h"
#include "store/directories.h"
#include "store/record_database.h"

namespace {

constexpr int kRankField = 2;  // Rank: the record's third field
constexpr Xapian::termpos kFieldGap = 100;

std::string Lower(std::string word) {
    for (char& c : word) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return word;
}

int Build(const std::string& folder) {
    CDirectories dirs;
    dirs.SetDataDir(folder.c_str());
    CRecordDatabase database(dirs);
    if (!database.OpenCode(bench::kBenchCode)) return 1;
    CPeopleList people;
    if (ListPeople(*database.Index(), database.EntriesHeld(), people).Failed()) return 1;
    Xapian::WritableDatabase db(folder + "/xapian", Xapian::DB_CREATE_OR_OVERWRITE);
    CPeopleReader reader(database, people);
    ReadPerson person;
    db.begin_transaction(false);
    while (reader.Next(person)) {
        Xapian::Document document;
        Xapian::termpos position = 1;
        auto add = [&](std::string_view text, const char* prefix) {
            record_words::ForEachWord(text, [&](const std::string& word, std::size_t) {
                const std::string term = Lower(word);
                document.add_posting(term, position);
                if (prefix != nullptr) document.add_posting(prefix + term, position);
                ++position;
            });
            position += kFieldGap;
        };
        add(person.surname, nullptr);
        add(person.givenNames, nullptr);
        ForEachRecordField(std::string_view(person.record, person.recordLength),
                           [&](std::size_t k, std::string_view field) {
                               add(field, static_cast<int>(k) == kRankField ? "XR" : nullptr);
                           });
        db.replace_document(static_cast<Xapian::docid>(person.entry) + 1, document);
    }
    db.commit_transaction();
    // An unflushed transaction leaves its changes in memory: written first, as compact reads the disk.
    db.commit();
    db.compact(folder + "/xapian-compact", Xapian::DBCOMPACT_SINGLE_FILE);
    return reader.Error().Failed() ? 1 : 0;
}

Xapian::Query QueryOf(const std::string& name) {
    using Xapian::Query;
    if (name == "rare") return Query("850th");
    if (name == "common") return Query("margraten");
    if (name == "two_words") return Query(Query::OP_AND, Query("marine"), Query("corporal"));
    if (name == "phrase") {
        const std::vector<std::string> words = {"staff", "sergeant"};
        return Query(Query::OP_PHRASE, words.begin(), words.end(), 2);
    }
    if (name == "prefix") return Query(Query::OP_WILDCARD, "lieut");
    if (name == "one_field") return Query("XRsergeant");
    if (name == "exclusion") return Query(Query::OP_AND_NOT, Query("marine"), Query("corporal"));
    if (name == "years") {
        const std::vector<std::string> years = {"1950", "1951", "1952", "1953"};
        return Query(Query::OP_OR, years.begin(), years.end());
    }
    return Query();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--noop") == 0) return 0;
    try {
        if (argc == 3 && std::strcmp(argv[1], "--build") == 0) return Build(argv[2]);
        if (argc < 3) {
            std::fprintf(stderr,
                         "usage: bench_xapian_query --build FOLDER | FOLDER CLASS [--count] | --noop\n");
            return 2;
        }
        const std::string folder = argv[1];
        const bool countOnly = argc > 3 && std::strcmp(argv[3], "--count") == 0;
        // A single-file database: Xapian tells its kind from the file (the glass backend flag asks for a
        // folder).
        const Xapian::Database db(folder + "/xapian-compact");
        Xapian::Enquire enquire(db);
        enquire.set_query(QueryOf(argv[2]));
        enquire.set_weighting_scheme(Xapian::BoolWeight());
        enquire.set_docid_order(Xapian::Enquire::ASCENDING);
        // Every match is checked, so that the count is exact, not an estimate.
        const Xapian::MSet found = enquire.get_mset(0, countOnly ? 0 : 10, db.get_doccount());
        if (found.get_matches_lower_bound() != found.get_matches_upper_bound()) return 1;
        std::printf("%lu\n", static_cast<unsigned long>(found.get_matches_estimated()));
        if (countOnly) return 0;
        CDirectories dirs;
        dirs.SetDataDir(folder.c_str());
        CRecordDatabase database(dirs);
        if (!database.OpenCode(bench::kBenchCode)) return 1;
        for (Xapian::MSetIterator it = found.begin(); it != found.end(); ++it) {
            const auto entry = static_cast<std::int32_t>(*it - 1);
            CorEntry cor;
            char raw[record_format::kRawSummarySize];
            char shown[record_format::kSummarySize];
            int first = 0;
            if (database.ReadEntry(entry, cor).Failed() ||
                database.ReadSummary(cor.recordOffset, raw, first).Failed())
                return 1;
            record_format::BuildDisplayedSummary(bench::kBenchCode, raw, first, shown);
            std::printf("%d\t%s\t%s\n", entry, cor.givenNames, shown);
        }
    } catch (const Xapian::Error& error) {
        std::fprintf(stderr, "bench_xapian_query: %s\n", error.get_description().c_str());
        return 1;
    }
    return 0;
}
