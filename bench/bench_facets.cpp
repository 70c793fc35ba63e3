// bench_facets: the facets of a record search (the people found counted by
// database, by year and by the values of a field) on the benchmark
// databases, against SQLite answering the same with GROUP BY over an FTS5
// match joined to a table of the fields and a table of each person's years;
// and every facet of a few queries over the whole sample disk. Warm cache,
// each engine kept open between queries as the viewer keeps it.
//
//   bench_facets --data-root DIR [--sizes 1000000,4000000] [--sample DISK]
//                [benchmark flags]
//
// DIR holds one folder per size (made by make_bench_disk; its FTS5 table
// by bench_find, made here when missing). Before anything is timed both
// sides count every facet and must agree.
// Names: facet/<kind>/<ours|sqlite>/<people>; sample/<query>.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_info.h"
#include "bench/bench_people.h"
#include "bench/fts5_baseline.h"
#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "browse/record_query/record_words.h"
#include "browse/record_search/record_search.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "store/record_database.h"

namespace {

constexpr int kFieldColumns = 9;

// The query of the facets: a common word, DOW (died of wounds), one person in ten.
constexpr const char kCommon[] = "dow";

struct FacetCase {
    const char* name;
    const char* field;  // for values: the field as --field takes it; null: the years or the databases
    bool years;
    int column;  // the record field (0-based) of field, for SQLite
};

const FacetCase kFacets[] = {
    {"database", nullptr, false, -1},
    {"years", nullptr, true, -1},
    {"field_rank", "rank", false, 2},            // 12 values
    {"field_state", "inducted from", false, 1},  // 51 values
};

// The SQL of each facet, over the FTS5 table people and the attached
// tables f.fields (one row a person, a column a field) and f.years (one
// row for each distinct year from 1000 to 2099 a person holds).
std::string SqlOf(const FacetCase& facet) {
    if (facet.years) {
        return "SELECT y.year, count(*) FROM people JOIN f.years y ON y.id = people.rowid "
               "WHERE people MATCH ?1 GROUP BY y.year ORDER BY y.year";
    }
    if (facet.field == nullptr) return "SELECT 'ww2_kor', count(*) FROM people WHERE people MATCH ?1";
    const std::string column = "trim(f.f" + std::to_string(facet.column) + ")";
    return "SELECT min(" + column +
           "), count(*) FROM people JOIN f.fields f ON f.id = people.rowid "
           "WHERE people MATCH ?1 AND " +
           column + " <> '' GROUP BY upper(" + column +
           ") "
           "ORDER BY count(*) DESC, upper(" +
           column + ")";
}

bool Exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    std::fprintf(stderr, "bench_facets: %s\n", message != nullptr ? message : "sqlite3_exec failed");
    sqlite3_free(message);
    return false;
}

// The fields and years of every person into a new file at path.
bool BuildFacetTables(const CDirectories& dirs, const std::string& path) {
    CRecordDatabase database(dirs);
    CPeopleList people;
    if (!database.OpenCode(bench::kBenchCode) ||
        ListPeople(*database.Index(), database.EntriesHeld(), people).Failed()) {
        return false;
    }
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
    std::string create = "CREATE TABLE fields(id INTEGER PRIMARY KEY";
    std::string insert = "INSERT INTO fields VALUES(?";
    for (int k = 0; k < kFieldColumns; ++k) {
        create += ", f" + std::to_string(k);
        insert += ", ?";
    }
    bool ok = Exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF") && Exec(db, create + ")") &&
              Exec(db, "CREATE TABLE years(id INTEGER, year INTEGER, PRIMARY KEY(id, year)) WITHOUT ROWID") &&
              Exec(db, "BEGIN");
    sqlite3_stmt* row = nullptr;
    sqlite3_stmt* year = nullptr;
    ok = ok && sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &row, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO years VALUES(?, ?)", -1, &year, nullptr) == SQLITE_OK;
    CPeopleReader reader(database, people);
    ReadPerson person;
    std::vector<std::string> fields;
    while (ok && reader.Next(person)) {
        fields.assign(kFieldColumns, std::string());
        ForEachRecordField(std::string_view(person.record, person.recordLength),
                           [&](std::size_t k, std::string_view field) {
                               if (k < fields.size()) fields[k] = std::string(field);
                           });
        sqlite3_bind_int64(row, 1, person.entry);
        for (int k = 0; k < kFieldColumns; ++k)
            sqlite3_bind_text(row, 2 + k, fields[static_cast<std::size_t>(k)].c_str(), -1, SQLITE_STATIC);
        ok = sqlite3_step(row) == SQLITE_DONE;
        sqlite3_reset(row);
        auto years = [&](std::string_view text) {
            record_words::ForEachWord(text, [&](const std::string& word, std::size_t) {
                int value = 0;
                if (!ok || !record_words::IsYearWord(word, value) || value < facets::kFirstYear ||
                    value > facets::kLastYear) {
                    return;
                }
                sqlite3_bind_int64(year, 1, person.entry);
                sqlite3_bind_int(year, 2, value);
                ok = sqlite3_step(year) == SQLITE_DONE;
                sqlite3_reset(year);
            });
        };
        years(person.surname);
        years(person.givenNames);
        for (const std::string& field : fields) years(field);
    }
    sqlite3_finalize(row);
    sqlite3_finalize(year);
    ok = ok && !reader.Error().Failed() && Exec(db, "COMMIT");
    sqlite3_close(db);
    return ok;
}

// SQLite's side: the FTS5 table with the facet tables attached, statements prepared once.
class SqliteFacets {
public:
    SqliteFacets(const std::string& fts5, const std::string& tables) {
        ok_ = sqlite3_open_v2(fts5.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
              Exec(db_, "ATTACH '" + tables + "' AS f");
        for (const FacetCase& facet : kFacets) {
            sqlite3_stmt* statement = nullptr;
            ok_ = ok_ && sqlite3_prepare_v2(db_, SqlOf(facet).c_str(), -1, &statement, nullptr) == SQLITE_OK;
            statements_.push_back(statement);
        }
    }
    ~SqliteFacets() {
        for (sqlite3_stmt* statement : statements_) sqlite3_finalize(statement);
        sqlite3_close(db_);
    }
    bool Ok() const { return ok_; }
    // The rows of facet i for match, as "text count" lines.
    bool Run(std::size_t i, const char* match, std::vector<std::string>& rows) {
        rows.clear();
        sqlite3_stmt* statement = statements_[i];
        sqlite3_bind_text(statement, 1, match, -1, SQLITE_STATIC);
        int step = 0;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(statement, 0);
            rows.push_back(std::string(text != nullptr ? reinterpret_cast<const char*>(text) : "") + " " +
                           std::to_string(sqlite3_column_int64(statement, 1)));
        }
        sqlite3_reset(statement);
        return step == SQLITE_DONE;
    }

private:
    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> statements_;
    bool ok_ = false;
};

facets::FacetRequest RequestOf(const FacetCase& facet) {
    facets::FacetRequest request;
    std::string error;
    request.databases = !facet.years && facet.field == nullptr;
    request.years = facet.years;
    request.values = facet.field != nullptr;
    if (facet.field != nullptr) record_fields::ParseFieldChoice(facet.field, request.valuesField, error);
    return request;
}

std::vector<std::string> Rows(const facets::FacetCounts& counts) {
    std::vector<std::string> rows;
    for (const auto& one : counts.databases)
        rows.push_back(std::string(catalogue::StemOf(one.code)) + " " + std::to_string(one.count));
    for (const auto& one : counts.years)
        rows.push_back(std::to_string(one.year) + " " + std::to_string(one.count));
    for (const auto& one : counts.values) rows.push_back(one.value + " " + std::to_string(one.count));
    return rows;
}

void WarmFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    std::vector<char> buffer(1 << 20);
    while (read(fd, buffer.data(), buffer.size()) > 0) {
    }
    close(fd);
}

struct Disk {
    long size = 0;
    std::string folder;
    CDirectories dirs;
    std::unique_ptr<CRecordSearch> ours;
    std::unique_ptr<SqliteFacets> theirs;
    RecordSearchRequest request;
};

bool Prepare(Disk& disk) {
    disk.dirs.SetDataDir(disk.folder.c_str());
    const std::string fts5 = disk.folder + "/fts5.sqlite";
    const std::string tables = disk.folder + "/facets.sqlite";
    std::string error;
    if (!std::filesystem::exists(fts5) && !bench::BuildFts5(disk.dirs, bench::kBenchCode, fts5, &error)) {
        std::fprintf(stderr, "bench_facets: FTS5 table: %s\n", error.c_str());
        return false;
    }
    if (!std::filesystem::exists(tables) && !BuildFacetTables(disk.dirs, tables)) return false;
    const std::string cache = disk.folder + "-find-cache/";  // never inside the data folder
    disk.ours = std::make_unique<CRecordSearch>(disk.dirs, cache);
    disk.theirs = std::make_unique<SqliteFacets>(fts5, tables);
    if (!disk.theirs->Ok()) return false;
    disk.request.query = record_query::Parse(kCommon).query;
    disk.request.codes = {bench::kBenchCode};
    if (disk.ours->Run(disk.request).status != FindStatus::Done) return false;
    for (const auto& entry : std::filesystem::directory_iterator(cache)) WarmFile(entry.path());
    for (const std::string& path : {fts5, tables}) WarmFile(path);
    for (const char* extension : {".ext", ".cor", ".tre"}) WarmFile(disk.folder + "/ww2_kor" + extension);
    // Both sides must agree before anything is timed.
    for (std::size_t i = 0; i < std::size(kFacets); ++i) {
        facets::FacetCounts counts;
        std::vector<std::string> rows;
        if (disk.ours->Run(disk.request).status != FindStatus::Done ||
            disk.ours->Facets(RequestOf(kFacets[i]), counts).status != FindStatus::Done ||
            !disk.theirs->Run(i, kCommon, rows) || rows != Rows(counts)) {
            std::fprintf(stderr, "bench_facets: %s on %ld people: the two sides differ\n", kFacets[i].name,
                         disk.size);
            return false;
        }
        std::printf("%s/%ld: %zu lines, %lld people found\n", kFacets[i].name, disk.size, rows.size(),
                    static_cast<long long>(disk.ours->Count()));
    }
    return true;
}

void Register(Disk& disk) {
    const std::string size = std::to_string(disk.size);
    for (std::size_t i = 0; i < std::size(kFacets); ++i) {
        const facets::FacetRequest request = RequestOf(kFacets[i]);
        benchmark::RegisterBenchmark(("facet/" + std::string(kFacets[i].name) + "/ours/" + size).c_str(),
                                     [&disk, request](benchmark::State& state) {
                                         facets::FacetCounts counts;
                                         for (auto _ : state) {
                                             disk.ours->Run(disk.request);
                                             disk.ours->Facets(request, counts);
                                             benchmark::DoNotOptimize(counts);
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("facet/" + std::string(kFacets[i].name) + "/sqlite/" + size).c_str(),
                                     [&disk, i](benchmark::State& state) {
                                         std::vector<std::string> rows;
                                         for (auto _ : state) {
                                             disk.theirs->Run(i, kCommon, rows);
                                             benchmark::DoNotOptimize(rows);
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

// The whole sample disk: every facet of a query at once (the databases,
// the years, and the values of a field), as Find in Records would ask.
void RegisterSample(const std::string& sample) {
    static CDirectories dirs;
    dirs.SetDataDir(sample.c_str());
    static const std::string cache =
        std::filesystem::temp_directory_path().string() + "/bench-facets-sample/";
    static CRecordSearch search(dirs, cache);
    const struct {
        const char* name;
        const char* text;
        const char* years;
        const char* field;
    } queries[] = {
        {"20th_maine", "\"20th maine\"", nullptr, "rank and organization"},
        {"coverage", "", "1000-2099", "state"},
        {"s_prefix_1944", "s*", "1944", "camp name"},
        {"pennsylvania_abbreviations", "pennsylvania", nullptr, "entered service at"},
    };
    for (const auto& query : queries) {
        RecordSearchRequest request;
        record_query::YearRange years;
        std::string error;
        if (query.years != nullptr) record_query::ParseYears(query.years, years, error);
        request.query = record_query::Parse(query.text, years).query;
        request.codes = catalogue::EveryDatabase();
        request.skipMissing = true;
        request.abbreviations = std::string(query.name).find("abbreviations") != std::string::npos;
        facets::FacetRequest asked;
        asked.databases = asked.years = asked.values = true;
        record_fields::ParseFieldChoice(query.field, asked.valuesField, error);
        search.Run(request);  // the indexes made before anything is timed
        benchmark::RegisterBenchmark((std::string("sample/") + query.name).c_str(),
                                     [request, asked](benchmark::State& state) {
                                         facets::FacetCounts counts;
                                         for (auto _ : state) {
                                             search.Run(request);
                                             search.Facets(asked, counts);
                                             benchmark::DoNotOptimize(counts);
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    platform::SetMessageBoxHandler(platform::StderrMessageBox, nullptr);
    std::string root;
    std::string sample;
    std::set<long> sizes;
    std::vector<char*> passed{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--data-root" || argument == "--sizes" || argument == "--sample") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (argument == "--data-root") {
                root = value;
            } else if (argument == "--sample") {
                sample = value;
            } else {
                bench::AddSizes(value, sizes);
            }
        } else {
            passed.push_back(argv[i]);
        }
    }
    if (sizes.empty()) sizes = {1000000, 4000000};
    std::vector<std::unique_ptr<Disk>> disks;
    for (long size : sizes) {
        if (root.empty()) break;
        auto disk = std::make_unique<Disk>();
        disk->size = size;
        disk->folder = root + "/" + std::to_string(size);
        if (!std::filesystem::exists(disk->folder + "/bench.info")) continue;
        if (!Prepare(*disk)) return 1;
        Register(*disk);
        disks.push_back(std::move(disk));
    }
    if (!sample.empty()) RegisterSample(sample);
    int count = static_cast<int>(passed.size());
    benchmark::Initialize(&count, passed.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
