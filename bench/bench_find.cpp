// bench_find: record searches on the benchmark databases, answered by the
// word index and by SQLite FTS5 holding the same people and fields, side
// by side in one run, warm cache; then the building of both (time, size,
// peak memory, each in a process of its own), and the sample disk's first
// query (its indexes built) and later ones.
//
//   bench_find --data-root DIR [--sizes 1000000,4000000] [--sample DISK]
//              [--no-build] [benchmark flags]
//
// DIR holds one folder per size (made by make_bench_disk). Before anything
// is timed both engines count every query, and must agree.
// Names: <class>/<count|page>/<ours|fts5>/<people>.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_info.h"
#include "bench/bench_people.h"
#include "bench/fts5_baseline.h"
#include "browse/names/surname_listing.h"
#include "browse/record_search/record_search.h"
#include "browse/record_text/record_format.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "store/record_database.h"

namespace {

// One query of each class the targets name, in our syntax and in FTS5's.
struct QueryClass {
    const char* name;
    const char* text;
    const char* field;  // null: any
    const char* years;  // null: none
    const char* fts5;
};

const QueryClass kClasses[] = {
    {"rare", "850th", nullptr, nullptr, "\"850th\""},
    {"common", "margraten", nullptr, nullptr, "margraten"},
    {"two_words", "marine corporal", nullptr, nullptr, "marine corporal"},
    {"phrase", "\"staff sergeant\"", nullptr, nullptr, "\"staff sergeant\""},
    {"prefix", "lieut*", nullptr, nullptr, "lieut*"},
    {"one_field", "sergeant", "rank", nullptr, "{f2} : sergeant"},
    {"exclusion", "marine -corporal", nullptr, nullptr, "marine NOT corporal"},
    {"years", "", nullptr, "1950-1953", "1950 OR 1951 OR 1952 OR 1953"},
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs work in a child process: its wall time and peak memory.
struct Measured {
    bool ok = false;
    double seconds = 0;
    long peakMegabytes = 0;
};

Measured InChild(const std::function<bool()>& work) {
    Measured measured;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) _exit(work() ? 0 : 1);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return measured;
    measured.seconds = SecondsSince(start);
    measured.peakMegabytes = usage.ru_maxrss / 1024;
    measured.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measured;
}

long FolderBytes(const std::string& folder) {
    long bytes = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) bytes += static_cast<long>(entry.file_size());
    }
    return bytes;
}

void WarmFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    std::vector<char> buffer(1 << 20);
    while (read(fd, buffer.data(), buffer.size()) > 0) {
    }
    close(fd);
}

RecordSearchRequest RequestOf(const QueryClass& query, const std::vector<int>& codes) {
    RecordSearchRequest request;
    std::string error;
    record_query::YearRange years;
    if (query.years != nullptr) record_query::ParseYears(query.years, years, error);
    request.query = record_query::Parse(query.text, years).query;
    if (query.field != nullptr) record_fields::ParseFieldChoice(query.field, request.field, error);
    request.codes = codes;
    return request;
}

// A row's summary, as the result list shows it: the same reads for both engines.
void Summaries(CRecordDatabase& database, const std::vector<std::int32_t>& entries) {
    for (std::int32_t entry : entries) {
        CorEntry cor;
        char raw[record_format::kRawSummarySize];
        char shown[record_format::kSummarySize];
        int first = 0;
        database.ReadEntry(entry, cor);
        database.ReadSummary(cor.recordOffset, raw, first);
        record_format::BuildDisplayedSummary(bench::kBenchCode, raw, first, shown);
        benchmark::DoNotOptimize(shown);
    }
}

struct Disk {
    long size = 0;
    std::string folder;
    std::string cache;
    std::string fts5;
    CDirectories dirs;
    std::unique_ptr<CRecordSearch> ours;
    std::unique_ptr<bench::Fts5Search> theirs;
    std::unique_ptr<CRecordDatabase> files;  // the summaries of the FTS5 side
};

bool Prepare(Disk& disk, bool build) {
    // Outside the data folder: nothing is ever written there.
    disk.cache = disk.folder + "-find-cache/";
    disk.fts5 = disk.folder + "/fts5.sqlite";
    disk.dirs.SetDataDir(disk.folder.c_str());
    const bool built = std::filesystem::exists(disk.fts5) && FolderBytes(disk.cache) > 0;
    if (build || !built) {
        std::filesystem::remove_all(disk.cache);
        const Measured index = InChild([&] {
            CRecordSearch search(disk.dirs, disk.cache);
            return search.Run(RequestOf(kClasses[0], {bench::kBenchCode})).status == FindStatus::Done;
        });
        std::string error;
        const Measured table =
            InChild([&] { return bench::BuildFts5(disk.dirs, bench::kBenchCode, disk.fts5, &error); });
        if (!index.ok || !table.ok) {
            std::fprintf(stderr, "bench_find: building failed on %ld people\n", disk.size);
            return false;
        }
        std::printf("build/%ld: word index %.1f s, %.1f MB, peak %ld MB; FTS5 %.1f s, %.1f MB, peak %ld MB\n",
                    disk.size, index.seconds, static_cast<double>(FolderBytes(disk.cache)) / 1e6,
                    index.peakMegabytes, table.seconds,
                    static_cast<double>(std::filesystem::file_size(disk.fts5)) / 1e6, table.peakMegabytes);
        std::fflush(stdout);
    }
    for (const auto& entry : std::filesystem::directory_iterator(disk.cache)) WarmFile(entry.path());
    WarmFile(disk.fts5);
    for (const char* extension : {".ext", ".cor", ".tre"}) WarmFile(disk.folder + "/ww2_kor" + extension);
    disk.ours = std::make_unique<CRecordSearch>(disk.dirs, disk.cache);
    disk.theirs = std::make_unique<bench::Fts5Search>(disk.fts5);
    disk.files = std::make_unique<CRecordDatabase>(disk.dirs);
    disk.files->OpenCode(bench::kBenchCode);
    // Both engines must agree before anything is timed.
    for (const QueryClass& query : kClasses) {
        long theirs = 0;
        if (disk.ours->Run(RequestOf(query, {bench::kBenchCode})).status != FindStatus::Done ||
            !disk.theirs->Count(query.fts5, theirs) || theirs != disk.ours->Count()) {
            std::fprintf(stderr, "bench_find: %s on %ld people: ours %lld, FTS5 %ld %s\n", query.name,
                         disk.size, static_cast<long long>(disk.ours->Count()), theirs,
                         disk.theirs->Error().c_str());
            return false;
        }
        std::printf("%s/%ld: %ld people (%.3f%%)\n", query.name, disk.size, theirs,
                    100.0 * static_cast<double>(theirs) / static_cast<double>(disk.size));
    }
    return true;
}

void Register(Disk& disk) {
    for (const QueryClass& query : kClasses) {
        const std::string size = std::to_string(disk.size);
        const RecordSearchRequest request = RequestOf(query, {bench::kBenchCode});
        benchmark::RegisterBenchmark((std::string(query.name) + "/count/ours/" + size).c_str(),
                                     [&disk, request](benchmark::State& state) {
                                         for (auto _ : state) {
                                             disk.ours->Run(request);
                                             benchmark::DoNotOptimize(disk.ours->Count());
                                         }
                                     });
        benchmark::RegisterBenchmark((std::string(query.name) + "/count/fts5/" + size).c_str(),
                                     [&disk, query](benchmark::State& state) {
                                         long count = 0;
                                         for (auto _ : state) {
                                             disk.theirs->Count(query.fts5, count);
                                             benchmark::DoNotOptimize(count);
                                         }
                                     });
        benchmark::RegisterBenchmark((std::string(query.name) + "/page/ours/" + size).c_str(),
                                     [&disk, request](benchmark::State& state) {
                                         std::vector<std::int32_t> entries;
                                         for (auto _ : state) {
                                             disk.ours->Run(request);
                                             entries.clear();
                                             for (std::int64_t i = 0; i < 10 && i < disk.ours->Count(); ++i) {
                                                 int code = 0;
                                                 std::int32_t entry = 0;
                                                 disk.ours->EntryAt(i, code, entry);
                                                 entries.push_back(entry);
                                             }
                                             Summaries(disk.ours->Files(), entries);
                                         }
                                     });
        benchmark::RegisterBenchmark((std::string(query.name) + "/page/fts5/" + size).c_str(),
                                     [&disk, query](benchmark::State& state) {
                                         long count = 0;
                                         std::vector<std::int64_t> rowids;
                                         std::vector<std::int32_t> entries;
                                         for (auto _ : state) {
                                             disk.theirs->Count(query.fts5, count);
                                             disk.theirs->First(query.fts5, 10, rowids);
                                             entries.assign(rowids.begin(), rowids.end());
                                             Summaries(*disk.files, entries);
                                         }
                                     });
    }
}

// The whole sample disk: the first query, every index built, then later ones.
void RegisterSample(const std::string& sample) {
    static CDirectories dirs;
    dirs.SetDataDir(sample.c_str());
    static const std::string cache = std::filesystem::temp_directory_path().string() + "/bench-find-sample/";
    const std::vector<int> codes = catalogue::EveryDatabase();
    benchmark::RegisterBenchmark("sample/first_query_with_build",
                                 [codes](benchmark::State& state) {
                                     for (auto _ : state) {
                                         std::filesystem::remove_all(cache);
                                         CRecordSearch search(dirs, cache);
                                         search.Run(RequestOf(kClasses[1], codes));
                                         benchmark::DoNotOptimize(search.Count());
                                     }
                                 })
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    static std::unique_ptr<CRecordSearch> kept;
    benchmark::RegisterBenchmark("sample/later_query", [codes](benchmark::State& state) {
        if (kept == nullptr) {
            kept = std::make_unique<CRecordSearch>(dirs, cache);
            kept->Run(RequestOf(kClasses[1], codes));
        }
        const QueryClass later[] = {{"", "\"20th maine\"", nullptr, nullptr, ""},
                                    {"", "mukden", nullptr, nullptr, ""},
                                    {"", "queenstown", "7", nullptr, ""},
                                    {"", "s*", nullptr, "1944", ""}};
        std::size_t i = 0;
        for (auto _ : state) {
            const QueryClass& query = later[i++ % 4];
            kept->Run(RequestOf(query, codes));
            RecordHit person;
            for (std::int64_t k = 0; k < 10 && k < kept->Count(); ++k) kept->Person(k, person);
        }
    })->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    platform::SetMessageBoxHandler(platform::StderrMessageBox, nullptr);
    std::string root;
    std::string sample;
    bool build = true;
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
        } else if (argument == "--no-build") {
            build = false;
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
        if (!Prepare(*disk, build)) return 1;
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
