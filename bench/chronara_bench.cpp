// chronara_bench: the viewer's operations on the benchmark databases, side
// by side with the same operations on the same people in SQLite.
//
//   chronara_bench --data-root DIR [--sizes 10000,100000] [benchmark flags]
//
// DIR holds one folder per size (made by make_bench_disk). Before anything
// is timed, both sides run every operation once and must paint the same
// list and build the same full text; a difference stops the run.
// Names: <operation>/<ours|sqlite>/<people>.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_info.h"
#include "bench/bench_people.h"
#include "bench/bench_viewer.h"
#include "bench/search_floor.h"
#include "bench/sqlite_baseline.h"
#include "browse/names/surname_listing.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/name_index.h"

namespace {

using bench::BenchViewer;
using bench::PaintedList;
using bench::SqliteViewer;

struct Disk {
    long size = 0;
    std::string folder;
    std::string install;
    bench::DiskInfo info;

    std::string Sqlite() const { return folder + "/" + bench::kSqliteFileName; }
    std::string Tree() const { return folder + "/" + catalogue::StemOf(bench::kBenchCode) + ".tre"; }
};

// A search the benchmarks run: the surname as typed and the first name.
struct Request {
    std::string surname;
    const char* firstName;  // null for none; the prefix letters the filter keeps
};

std::string Upper(const std::string& text) { return bench::UpperCased(text); }

// Reads every file of the folder once, so that every figure is a warm-cache figure.
void WarmFiles(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<char> buffer(1 << 20);
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const int fd = open((folder + "/" + entry->d_name).c_str(), O_RDONLY);
        if (fd < 0) continue;
        while (read(fd, buffer.data(), buffer.size()) > 0) {
        }
        close(fd);
    }
    closedir(dir);
}

bool SameList(const PaintedList& a, const PaintedList& b, std::string* why) {
    if (std::strcmp(a.countLine, b.countLine) != 0) {
        *why = std::string("count line \"") + a.countLine + "\" against \"" + b.countLine + "\"";
        return false;
    }
    if (a.rowCount != b.rowCount || a.prev != b.prev || a.next != b.next) {
        *why = "rows or button states differ";
        return false;
    }
    for (int i = 0; i < a.rowCount; ++i) {
        if (std::strcmp(a.rows[i], b.rows[i]) != 0) {
            *why = std::string("row \"") + a.rows[i] + "\" against \"" + b.rows[i] + "\"";
            return false;
        }
    }
    return true;
}

// Both sides: the search, then a walk of Next and Prev turns, then the full
// text of every row of the first page. Returns false with the reason.
bool Verify(const Disk& disk, const Request& request, int turns, std::string* why) {
    BenchViewer ours(disk.folder, disk.install);
    SqliteViewer theirs(disk.Sqlite());
    ours.Search(request.surname.c_str(), request.firstName);
    if (!theirs.Begin(Upper(request.surname).c_str(), request.firstName)) {
        *why = theirs.Error();
        return false;
    }
    PaintedList a{};
    PaintedList b{};
    for (int step = 0; step <= 2 * turns; ++step) {
        if (step > 0) {
            const bool forward = step <= turns;
            if (forward ? !ours.HasNext() : !ours.HasPrev()) continue;
            if (forward) {
                ours.NextPage();
                theirs.NextPage();
            } else {
                ours.PrevPage();
                theirs.PrevPage();
            }
        }
        PaintList(ours, a);
        PaintList(theirs, b);
        if (!SameList(a, b, why)) {
            *why = request.surname + " step " + std::to_string(step) + ": " + *why;
            return false;
        }
    }
    for (int row = 0; row < a.rowCount; ++row) {
        const std::string text = ours.FullText(row);
        if (text != theirs.FullText(row)) {
            *why = request.surname + ": full text of row " + std::to_string(row) + " differs";
            return false;
        }
    }
    if (ours.MessagesShown() != 0) {
        *why = request.surname + ": a message box was shown";
        return false;
    }
    return true;
}

bool Fail(benchmark::State& state, const std::string& text) {
    state.SkipWithError(text.c_str());
    return false;
}

// --- the whole search ---

void OursSearch(benchmark::State& state, const Disk* disk, Request request) {
    BenchViewer viewer(disk->folder, disk->install);
    PaintedList list{};
    for (auto _ : state) {
        viewer.Search(request.surname.c_str(), request.firstName);
        PaintList(viewer, list);
        benchmark::DoNotOptimize(list);
    }
    state.counters["hits"] = static_cast<double>(viewer.RecordCount());
    if (viewer.MessagesShown() != 0) Fail(state, "a message box was shown");
}

// keptOpen: one connection from the first search on, else one a search.
void SqliteSearch(benchmark::State& state, const Disk* disk, Request request, bool keptOpen) {
    SqliteViewer viewer(disk->Sqlite());
    const std::string surname = Upper(request.surname);
    PaintedList list{};
    for (auto _ : state) {
        const bool searched = keptOpen ? viewer.SearchKeptOpen(surname.c_str(), request.firstName)
                                       : viewer.Search(surname.c_str(), request.firstName);
        if (!searched) {
            Fail(state, viewer.Error());
            break;
        }
        PaintList(viewer, list);
        benchmark::DoNotOptimize(list);
    }
    state.counters["hits"] = static_cast<double>(viewer.RecordCount());
}

// The floor: the system calls of the bytes the search reads, and nothing else.
void FloorSearch(benchmark::State& state, const Disk* disk, Request request) {
    bench::SearchFloor floor;
    std::string error;
    if (!floor.Prepare(disk->folder, bench::kBenchCode, request.surname, CResultPager::kMaxRows, &error)) {
        Fail(state, error);
        return;
    }
    for (auto _ : state) {
        if (!floor.Run()) {
            Fail(state, "a call of the floor failed");
            break;
        }
    }
    state.counters["pages"] = static_cast<double>(floor.Pages());
}

// --- listings: a Soundex and a close-spelling listing of one database,
// beside reading its index file once from start to end ---

void OursListing(benchmark::State& state, const Disk* disk, MatchMode mode, const std::string& surname) {
    CDirectories dirs;
    dirs.SetDataDir(disk->folder.c_str());
    dirs.SetInstallDir(disk->install.c_str());
    const std::vector<CSurnameMatcher> queries{CSurnameMatcher(mode, surname)};
    std::size_t found = 0;
    for (auto _ : state) {
        const ListingOutcome outcome = surname_listing::List(dirs, {bench::kBenchCode}, queries, {});
        found = outcome.matches[0].size();
        if (outcome.error.Failed()) {
            Fail(state, "the listing failed");
            break;
        }
    }
    state.counters["surnames"] = static_cast<double>(found);
}

void FloorReadIndex(benchmark::State& state, const Disk* disk) {
    std::vector<char> buffer(1 << 20);
    std::size_t total = 0;
    for (auto _ : state) {
        const int fd = ::open(disk->Tree().c_str(), O_RDONLY);
        total = 0;
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) total += static_cast<std::size_t>(got);
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.counters["bytes"] = static_cast<double>(total);
}

// --- page turns: the pager's turn and the painting of the new page; the
// view's data-disk check before a turn is measured on its own ---

template <typename Viewer>
void TurnPages(benchmark::State& state, Viewer& viewer, bool forward, const std::function<void()>& rewind) {
    PaintedList list{};
    for (auto _ : state) {
        if (forward ? !viewer.HasNext() : !viewer.HasPrev()) {
            // At the end of the range: back to where turning can go on, untimed.
            state.PauseTiming();
            rewind();
            state.ResumeTiming();
        }
        if (forward) {
            viewer.NextPage();
        } else {
            viewer.PrevPage();
        }
        PaintList(viewer, list);
        benchmark::DoNotOptimize(list);
    }
}

void OursTurn(benchmark::State& state, const Disk* disk, Request request, bool forward) {
    BenchViewer viewer(disk->folder, disk->install);
    auto rewind = [&]() {
        viewer.Search(request.surname.c_str(), request.firstName);
        if (!forward) {
            while (viewer.HasNext()) viewer.NextPage();
        }
    };
    rewind();
    if (viewer.RecordCount() <= CResultPager::kMaxRows) {
        Fail(state, "the range has a single page");
        return;
    }
    TurnPages(state, viewer, forward, rewind);
    if (viewer.MessagesShown() != 0) Fail(state, "a message box was shown");
}

void SqliteTurn(benchmark::State& state, const Disk* disk, Request request, bool forward) {
    SqliteViewer viewer(disk->Sqlite());
    const std::string surname = Upper(request.surname);
    bool ok = true;
    auto rewind = [&]() {
        ok = ok && viewer.Begin(surname.c_str(), request.firstName);
        if (!forward) {
            while (ok && viewer.HasNext()) ok = viewer.NextPage();
        }
    };
    rewind();
    if (!ok) {
        Fail(state, viewer.Error());
        return;
    }
    TurnPages(state, viewer, forward, rewind);
    if (!ok) Fail(state, viewer.Error());
}

// --- the full text of the long record (More Info), and the disk check ---

void OursFullText(benchmark::State& state, const Disk* disk) {
    BenchViewer viewer(disk->folder, disk->install);
    viewer.Search(disk->info.longSurname.c_str(), nullptr);
    std::size_t length = 0;
    for (auto _ : state) {
        const char* text = viewer.FullText(0);
        benchmark::DoNotOptimize(text);
        length = std::strlen(text);
    }
    state.counters["chars"] = static_cast<double>(length);
    if (length < 3000) Fail(state, "the long record was not found");
}

void SqliteFullText(benchmark::State& state, const Disk* disk) {
    SqliteViewer viewer(disk->Sqlite());
    if (!viewer.Begin(Upper(disk->info.longSurname).c_str(), nullptr)) {
        Fail(state, viewer.Error());
        return;
    }
    std::size_t length = 0;
    for (auto _ : state) {
        const char* text = viewer.FullText(0);
        benchmark::DoNotOptimize(text);
        length = std::strlen(text);
    }
    state.counters["chars"] = static_cast<double>(length);
}

void OursDiskCheck(benchmark::State& state, const Disk* disk) {
    BenchViewer viewer(disk->folder, disk->install);
    for (auto _ : state) {
        bool present = viewer.CheckDataDisk();
        benchmark::DoNotOptimize(present);
    }
}

// --- the index lookup alone, on an index held open ---

void OursLookup(benchmark::State& state, const Disk* disk) {
    CNameIndex index(catalogue::KeyFieldWidth(bench::kBenchCode));
    index.Open(disk->Tree(), "index");
    char key[kMaxKeySurname + 1] = {};
    std::snprintf(key, sizeof key, "%s", disk->info.rare.c_str());
    MakeIndexKey(bench::kBenchCode, key);
    std::int32_t first = -1;
    std::int32_t count = 0;
    const long before = index.PagesReadFromFile();
    for (auto _ : state) {
        index.Lookup(key, first, count);
        benchmark::DoNotOptimize(first);
        benchmark::DoNotOptimize(count);
    }
    state.counters["pages"] =
        static_cast<double>(index.PagesReadFromFile() - before) / static_cast<double>(state.iterations());
    if (count != disk->info.rareCount) Fail(state, "the rare surname was not found");
}

void SqliteLookup(benchmark::State& state, const Disk* disk) {
    SqliteViewer viewer(disk->Sqlite());
    const std::string surname = Upper(disk->info.rare);
    if (!viewer.Begin(surname.c_str(), nullptr)) {
        Fail(state, viewer.Error());
        return;
    }
    bool found = false;
    for (auto _ : state) {
        found = viewer.Lookup(surname.c_str());
        benchmark::DoNotOptimize(found);
    }
    if (!found) Fail(state, "the rare surname was not found");
}

void Register(const std::string& name, const std::function<void(benchmark::State&)>& run) {
    benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMicrosecond)->UseRealTime();
}

void RegisterSize(const Disk* disk) {
    const std::string size = "/" + std::to_string(disk->size);
    const bench::DiskInfo& info = disk->info;
    const Request rare{info.rare, nullptr};
    const Request common{info.common, nullptr};
    const Request absent{info.absent, nullptr};
    const Request few{info.common, bench::kFewHitsPrefix};
    const Request many{info.common, bench::kManyHitsPrefix};

    const std::pair<const char*, Request> searches[] = {
        {"search_rare", rare}, {"search_common", common}, {"search_absent", absent},
        {"filter_few", few},   {"filter_many", many},
    };
    for (const auto& search : searches) {
        const Request request = search.second;
        Register(std::string(search.first) + "/ours" + size,
                 [disk, request](benchmark::State& s) { OursSearch(s, disk, request); });
        Register(std::string(search.first) + "/sqlite" + size,
                 [disk, request](benchmark::State& s) { SqliteSearch(s, disk, request, false); });
        Register(std::string(search.first) + "/sqlite_open" + size,
                 [disk, request](benchmark::State& s) { SqliteSearch(s, disk, request, true); });
        if (request.firstName == nullptr) {
            Register(std::string(search.first) + "/floor" + size,
                     [disk, request](benchmark::State& s) { FloorSearch(s, disk, request); });
        }
    }
    const std::string commonSurname = info.common;
    Register("list_soundex/ours" + size, [disk, commonSurname](benchmark::State& s) {
        OursListing(s, disk, MatchMode::Soundex, commonSurname);
    });
    // The common surname (five letters: two edits) and the rare one, typed
    // with two neighbours swapped as a transcriber might.
    std::string misspelt = info.rare;
    if (misspelt.size() > 2) std::swap(misspelt[1], misspelt[2]);
    Register("list_close/ours" + size, [disk, commonSurname](benchmark::State& s) {
        OursListing(s, disk, MatchMode::Close, commonSurname);
    });
    Register("list_close_rare/ours" + size,
             [disk, misspelt](benchmark::State& s) { OursListing(s, disk, MatchMode::Close, misspelt); });
    Register("read_index/floor" + size, [disk](benchmark::State& s) { FloorReadIndex(s, disk); });
    const struct {
        const char* name;
        Request request;
        bool forward;
    } turns[] = {
        {"next_direct", common, true},
        {"prev_direct", common, false},
        {"next_filtered", many, true},
        {"prev_filtered", many, false},
    };
    for (const auto& turn : turns) {
        const Request request = turn.request;
        const bool forward = turn.forward;
        Register(std::string(turn.name) + "/ours" + size,
                 [disk, request, forward](benchmark::State& s) { OursTurn(s, disk, request, forward); });
        Register(std::string(turn.name) + "/sqlite" + size,
                 [disk, request, forward](benchmark::State& s) { SqliteTurn(s, disk, request, forward); });
    }
    Register("full_text/ours" + size, [disk](benchmark::State& s) { OursFullText(s, disk); });
    Register("full_text/sqlite" + size, [disk](benchmark::State& s) { SqliteFullText(s, disk); });
    Register("lookup/ours" + size, [disk](benchmark::State& s) { OursLookup(s, disk); });
    Register("lookup/sqlite" + size, [disk](benchmark::State& s) { SqliteLookup(s, disk); });
    Register("disk_check/ours" + size, [disk](benchmark::State& s) { OursDiskCheck(s, disk); });
}

// A close-spelling listing over every database of a disk (the sample disk:
// thirteen small indexes), as Find Surname's "Close spelling" runs it.
void RegisterWholeDiskListing(const std::string& folder) {
    for (const char* typed : {"Smtih", "Lee", "OBrein"}) {
        const std::string text = typed;
        Register(std::string("list_close_all/ours/") + typed, [folder, text](benchmark::State& state) {
            CDirectories dirs;
            dirs.SetDataDir(folder.c_str());
            const std::vector<CSurnameMatcher> queries{CSurnameMatcher(MatchMode::Close, text)};
            std::size_t found = 0;
            for (auto _ : state) {
                const ListingOutcome outcome =
                    surname_listing::List(dirs, catalogue::EveryDatabase(), queries, {true, {}});
                if (outcome.error.Failed() || outcome.cancelled) {
                    Fail(state, "the listing failed");
                    break;
                }
                found = outcome.matches[0].size();
            }
            state.counters["surnames"] = static_cast<double>(found);
        });
    }
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: chronara_bench --data-root DIR [--sizes N,N,...] [--sample-disk DIR] [benchmark flags]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string root;
    std::string sampleDisk;
    std::set<long> sizes;
    std::vector<char*> passed{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--data-root" || argument == "--sizes" || argument == "--sample-disk") &&
            i + 1 < argc) {
            const std::string value = argv[++i];
            if (argument == "--sample-disk") {
                sampleDisk = value;
            } else if (argument == "--data-root") {
                root = value;
            } else {
                bench::AddSizes(value, sizes);
            }
        } else {
            passed.push_back(argv[i]);
        }
    }
    if (root.empty()) return Usage();
    if (sizes.empty()) sizes = {10000, 100000, 1000000, 4000000};

    std::vector<std::unique_ptr<Disk>> disks;
    for (long size : sizes) {
        auto disk = std::make_unique<Disk>();
        disk->size = size;
        disk->folder = root + "/" + std::to_string(size);
        disk->install = disk->folder + "/" + bench::kInstallFolderName;
        std::string error;
        if (!bench::LoadInfo(disk->folder + "/" + bench::kInfoFileName, disk->info, &error)) {
            std::fprintf(stderr, "chronara_bench: %s\n", error.c_str());
            return 1;
        }
        ::mkdir(disk->install.c_str(), 0777);
        WarmFiles(disk->folder);
        const Request checks[] = {
            {disk->info.rare, nullptr},
            {disk->info.common, nullptr},
            {disk->info.absent, nullptr},
            {disk->info.common, bench::kFewHitsPrefix},
            {disk->info.common, bench::kManyHitsPrefix},
            {disk->info.longSurname, nullptr},
        };
        for (const Request& check : checks) {
            if (!Verify(*disk, check, 3, &error)) {
                std::fprintf(stderr, "chronara_bench: %ld people: the two sides differ: %s\n", size,
                             error.c_str());
                return 1;
            }
        }
        std::fprintf(stderr, "%ld people: both sides paint the same lists and full texts\n", size);
        disks.push_back(std::move(disk));
    }
    for (const auto& disk : disks) RegisterSize(disk.get());
    if (!sampleDisk.empty()) RegisterWholeDiskListing(sampleDisk);

    int count = static_cast<int>(passed.size());
    benchmark::Initialize(&count, passed.data());
    if (benchmark::ReportUnrecognizedArguments(count, passed.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
