// bench_research_log: the research log at the size its targets name:
// 100,000 searches and 10,000 saved people, in a log made for the run in a
// folder of its own (XDG_DATA_HOME and XDG_CONFIG_HOME point there; it is
// removed at the end). On Qt's offscreen platform:
//   - query: what the Research Log window asks of the log when it opens or
//     its filter changes (the count and the first page of searches: every
//     database, one database, a text) and the saved people;
//   - earlier_searches: what Up in Last Name walks, of one database;
//   - window_open: the Research Log window made, shown and painted once;
//   - log_search: what logging adds to a search, the core's write alone and
//     the viewer's (which tells the disk's identity too), run last as each
//     makes the log longer.
// Wall-clock times: the log is a file, and a write waits for its journal.
//
//   bench_research_log --data-dir DIR [--searches N] [--people N] [benchmark flags]
//
// DIR is a data disk, usually the sample disk of the build: the saved
// people are of it, as a viewer's would be.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>

#include "browse/research_log/disk_identity.h"
#include "browse/research_log/research_log.h"
#include "store/directories.h"
#include "ui/research_log/logged_search_model.h"
#include "ui/research_log/research_log_window.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_settings.h"
#include "ui/results/people_commands.h"

namespace {

using research_log::AskedSearch;
using research_log::CResearchLog;
using research_log::SearchKind;

const char* const kSurnames[] = {
    "SMITH",  "JOHNSON",  "WILLIAMS", "BROWN",  "JONES",    "MILLER",   "DAVIS",   "WILSON", "ANDERSON",
    "TAYLOR", "THOMAS",   "MOORE",    "MARTIN", "JACKSON",  "THOMPSON", "WHITE",   "HARRIS", "CLARK",
    "LEWIS",  "ROBINSON", "WALKER",   "YOUNG",  "ALLEN",    "KING",     "WRIGHT",  "SCOTT",  "GREEN",
    "BAKER",  "ADAMS",    "NELSON",   "HILL",   "CAMPBELL", "MITCHELL", "ROBERTS", "CARTER", "PHILLIPS",
    "EVANS",  "TURNER",   "TORRES",   "PARKER", "COLLINS",  "EDWARDS"};
const char* const kFirstNames[] = {"JOHN", "J", "WILLIAM", "MARY", "GEORGE", "JAMES", "THOMAS", "ANNA"};
const char* const kQueries[] = {"\"20th maine\"",  "mukden", "queenstown",
                                "marine corporal", "lieut*", "pennsylvania"};
const char* const kStems[] = {"congen", "ww2_kor", "w1812", "rev", "civmoh", "unigen", "ww1moh"};
constexpr std::size_t kCount = sizeof kSurnames / sizeof kSurnames[0];

// The i-th search of the made log: mostly surnames of one database, some
// with a first name or name variants, some Find Surname listings and
// record searches; one in five found nobody.
AskedSearch SearchNumber(std::size_t i) {
    AskedSearch asked;
    asked.database = i % 9 == 0 ? research_log::kAllDatabases : kStems[i % 7];
    asked.surname = kSurnames[(i * 7) % kCount];
    switch (i % 10) {
        case 0:
        case 1:
            asked.kind = SearchKind::Find;
            asked.surname.clear();
            asked.query = kQueries[i % 6];
            if (i % 20 == 0) {
                asked.yearFrom = 1861;
                asked.yearTo = 1865;
            }
            break;
        case 2:
            asked.kind = SearchKind::List;
            asked.options.push_back(i % 4 == 0 ? "soundex" : "prefix");
            break;
        default:
            asked.kind = SearchKind::Surname;
            asked.hasFirstName = i % 3 == 0;
            if (asked.hasFirstName) asked.firstName = kFirstNames[i % 8];
            if (i % 5 == 0) asked.options.push_back("variants");
            break;
    }
    return asked;
}

struct Fixture {
    std::filesystem::path folder;
    CDirectories dirs;
    research_log::DiskIdentity disk;
};

Fixture* g_fixture = nullptr;

// A clock a minute on for each entry, from 1 March 2025.
research_log::LogOptions BenchOptions() {
    research_log::LogOptions options;
    options.clock = [] {
        static std::time_t now = 1740787200;
        return now += 60;
    };
    return options;
}

bool MakeLog(std::size_t searches, std::size_t people) {
    CResearchLog log(BenchOptions());
    for (std::size_t i = 0; i < searches; ++i) {
        if (log.LogSearch(research_log::LogProgram::Viewer, SearchNumber(i), i % 5 == 0 ? 0 : (i % 300) + 1,
                          &g_fixture->disk)
                .Failed())
            return false;
    }
    for (std::size_t i = 0; i < people; ++i) {
        research_log::PersonOnDisk person;
        person.code = static_cast<int>(i % 13) + 1;
        person.entry = static_cast<std::int32_t>(i / 13);
        person.surname = kSurnames[i % kCount];
        person.givenNames = std::string(kFirstNames[i % 8]) + " H.";
        person.summary = "Pvt., Co. B, 20th Maine Infantry";
        const std::string note = i % 2 == 0 ? "Check the 1850 census" : "";
        if (log.SavePerson(g_fixture->disk, person, &note).Failed()) return false;
    }
    return true;
}

void LogOneSearchCore(benchmark::State& state) {
    CResearchLog log(BenchOptions());
    std::size_t i = 0;
    for (auto _ : state) {
        if (log.LogSearch(research_log::LogProgram::Viewer, SearchNumber(i), 3, &g_fixture->disk).Failed())
            state.SkipWithError("the search could not be logged");
        ++i;
    }
}

void LogOneSearchViewer(benchmark::State& state) {
    CViewerLog log(g_fixture->dirs, BenchOptions());
    std::size_t i = 0;
    for (auto _ : state) {
        log.LogSearch(SearchNumber(i), 3);
        ++i;
    }
}

// What the window reads of the searches when it opens or is filtered.
void FirstPage(benchmark::State& state, research_log::SearchFilter filter) {
    CResearchLog log(BenchOptions());
    std::int64_t total = 0;
    std::vector<research_log::LoggedSearch> page;
    for (auto _ : state) {
        if (log.CountSearches(filter, total).Failed() ||
            log.Searches(filter, 0, CLoggedSearchModel::kPage, page).Failed())
            state.SkipWithError("the log could not be read");
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["searches"] = static_cast<double>(total);
}

void SavedPeople(benchmark::State& state) {
    CResearchLog log(BenchOptions());
    std::vector<research_log::SavedPerson> people;
    for (auto _ : state) {
        if (log.SavedPeople(&g_fixture->disk, true, people).Failed())
            state.SkipWithError("the log could not be read");
    }
    state.counters["people"] = static_cast<double>(people.size());
}

void EarlierSearches(benchmark::State& state) {
    CViewerLog log(g_fixture->dirs, BenchOptions());
    std::size_t walked = 0;
    for (auto _ : state) walked = log.EarlierSearches("w1812").size();
    state.counters["walked"] = static_cast<double>(walked);
}

void WindowOpen(benchmark::State& state) {
    CViewerLog log(g_fixture->dirs, BenchOptions());
    CViewerSettings settings(QString::fromStdString((g_fixture->folder / "viewer.conf").string()));
    CPeopleCommands commands(g_fixture->dirs, nullptr, [] { return false; });
    int rows = 0;
    int people = 0;
    for (auto _ : state) {
        CResearchLogWindow window(nullptr, log, settings, commands, g_fixture->dirs);
        window.show();
        QApplication::processEvents();
        rows = window.SearchModel()->rowCount();
        people = static_cast<int>(window.People().size());
    }
    state.counters["rows"] = rows;
    state.counters["people"] = people;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir;
    std::size_t searches = 100000;
    std::size_t people = 10000;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data-dir") == 0 && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--searches") == 0 && i + 1 < argc) {
            searches = std::strtoul(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--people") == 0 && i + 1 < argc) {
            people = std::strtoul(argv[++i], nullptr, 10);
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (dataDir.empty()) {
        std::fprintf(
            stderr,
            "usage: bench_research_log --data-dir DIR [--searches N] [--people N] [benchmark flags]\n");
        return 2;
    }
    // The log and the settings of the run, never the user's.
    std::string folder = (std::filesystem::temp_directory_path() / "chronara-bench-log-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    Fixture fixture;
    fixture.folder = folder;
    fixture.dirs.SetDataDir(dataDir.c_str());
    g_fixture = &fixture;
    int status = 0;
    if (research_log::ReadDiskIdentity(fixture.dirs, fixture.disk).Failed()) {
        std::fprintf(stderr, "bench_research_log: %s is not a data disk\n", dataDir.c_str());
        status = 1;
    } else {
        const std::clock_t start = std::clock();
        const std::time_t wallStart = std::time(nullptr);
        if (!MakeLog(searches, people)) {
            std::fprintf(stderr, "bench_research_log: the log could not be made in %s\n", folder.c_str());
            status = 1;
        } else {
            std::fprintf(stderr,
                         "log of %zu searches and %zu saved people made in %.1f s (%.1f s processor)\n",
                         searches, people, std::difftime(std::time(nullptr), wallStart),
                         static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
        }
    }
    if (status == 0) {
        benchmark::RegisterBenchmark("query/every_database", FirstPage, research_log::SearchFilter{})
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("query/one_database", FirstPage, research_log::SearchFilter{"w1812", ""})
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("query/text", FirstPage, research_log::SearchFilter{"", "maine"})
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("query/saved_people", SavedPeople)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("earlier_searches", EarlierSearches)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("window_open", WindowOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
        // Last: each adds to the log.
        benchmark::RegisterBenchmark("log_search/core", LogOneSearchCore)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("log_search/viewer", LogOneSearchViewer)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        int benchArgc = static_cast<int>(rest.size());
        benchmark::Initialize(&benchArgc, rest.data());
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    std::error_code ignored;
    std::filesystem::remove_all(fixture.folder, ignored);
    return status;
}
