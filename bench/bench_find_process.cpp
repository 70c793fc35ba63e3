// bench_find_process: record searches as whole processes, one a query, as
// a user or a script runs them: chronara-query --find ... --limit 10 and
// --format count over the mixed query set, against SQLite FTS5
// (bench_fts5_query) and Xapian (bench_xapian_query), each answering the
// same count and first ten people with their summaries in a process of its
// own. Warm cache. Each engine's process start (the same program asked to
// do nothing: chronara-query --version, the others --noop) is measured
// apart and taken off its runs, so that the figures compare the work.
//
//   bench_find_process --data-root DIR --tools BUILD [--sizes 1000000,4000000]
//                      [benchmark flags]
//
// BUILD is the build folder (tools/query/chronara-query, bench/bench_*_query).
// Before anything is timed the three engines count every query and must agree.
// Names: process/<limit10|count|start>/<ours|fts5|xapian>/<people>; one
// iteration runs the whole mixed set (8 processes). Counters: cpu_ms (the
// processes' own processor time), start_ms (the start of 8 processes).

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_info.h"

namespace {

// The query classes of bench_find, in our syntax and FTS5's (Xapian's are named by class).
struct QueryClass {
    const char* name;
    std::vector<std::string> ours;  // the options after --find
    const char* fts5;
};

const QueryClass kClasses[] = {
    {"rare", {"--find", "850th"}, "\"850th\""},
    {"common", {"--find", "margraten"}, "margraten"},
    {"two_words", {"--find", "marine corporal"}, "marine corporal"},
    {"phrase", {"--find", "\"staff sergeant\""}, "\"staff sergeant\""},
    {"prefix", {"--find", "lieut*"}, "lieut*"},
    {"one_field", {"--find", "sergeant", "--field", "rank"}, "{f2} : sergeant"},
    {"exclusion", {"--find", "marine -corporal"}, "marine NOT corporal"},
    {"years", {"--years", "1950-1953"}, "1950 OR 1951 OR 1952 OR 1953"},
};

struct Run {
    bool ok = false;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    std::string out;
};

// Runs argv as a process: its wall time, its processor time, what it printed.
Run RunProcess(const std::vector<std::string>& argv) {
    Run run;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        run.out.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return run;
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

enum class Engine { Ours, Fts5, Xapian };
enum class Work { Limit10, Count, Start };

struct Setup {
    std::string build;
    std::string folder;
    std::string install;
};

std::vector<std::string> CommandOf(const Setup& setup, Engine engine, Work work, const QueryClass& query) {
    switch (engine) {
        case Engine::Ours: {
            const std::string tool = setup.build + "/tools/query/chronara-query";
            if (work == Work::Start) return {tool, "--version"};
            std::vector<std::string> args = {tool,          "--data-dir", setup.folder, "--install-dir",
                                             setup.install, "--database", "ww2_kor"};
            args.insert(args.end(), query.ours.begin(), query.ours.end());
            if (work == Work::Count) {
                args.insert(args.end(), {"--format", "count"});
            } else {
                args.insert(args.end(), {"--format", "tsv", "--limit", "10"});
            }
            return args;
        }
        case Engine::Fts5: {
            const std::string tool = setup.build + "/bench/bench_fts5_query";
            if (work == Work::Start) return {tool, "--noop"};
            std::vector<std::string> args = {tool, setup.folder, query.fts5};
            if (work == Work::Count) args.push_back("--count");
            return args;
        }
        case Engine::Xapian: {
            const std::string tool = setup.build + "/bench/bench_xapian_query";
            if (work == Work::Start) return {tool, "--noop"};
            std::vector<std::string> args = {tool, setup.folder, query.name};
            if (work == Work::Count) args.push_back("--count");
            return args;
        }
    }
    return {};
}

long FirstNumber(const std::string& text) {
    return text.empty() ? -1 : std::strtol(text.c_str(), nullptr, 10);
}

bool Prepare(const Setup& setup, long size, bool xapian) {
    // Our index, made by a first run in the cache of this run; Xapian's database once.
    for (const QueryClass& query : kClasses) {
        const Run ours = RunProcess(CommandOf(setup, Engine::Ours, Work::Count, query));
        const Run fts5 = RunProcess(CommandOf(setup, Engine::Fts5, Work::Count, query));
        const Run xap = xapian ? RunProcess(CommandOf(setup, Engine::Xapian, Work::Count, query)) : Run{};
        const long count = FirstNumber(ours.out);
        if (!ours.ok || !fts5.ok || FirstNumber(fts5.out) != count ||
            (xapian && (!xap.ok || FirstNumber(xap.out) != count))) {
            std::fprintf(stderr, "bench_find_process: %s on %ld people: ours %ld, FTS5 %ld, Xapian %ld\n",
                         query.name, size, count, FirstNumber(fts5.out), FirstNumber(xap.out));
            return false;
        }
        std::printf("%s/%ld: %ld people\n", query.name, size, count);
    }
    return true;
}

void Register(const Setup& setup, long size, bool xapian) {
    const struct {
        Engine engine;
        const char* name;
    } engines[] = {{Engine::Ours, "ours"}, {Engine::Fts5, "fts5"}, {Engine::Xapian, "xapian"}};
    const struct {
        Work work;
        const char* name;
    } works[] = {{Work::Limit10, "limit10"}, {Work::Count, "count"}, {Work::Start, "start"}};
    for (const auto& work : works) {
        for (const auto& engine : engines) {
            if (engine.engine == Engine::Xapian && !xapian) continue;
            const std::string name =
                std::string("process/") + work.name + "/" + engine.name + "/" + std::to_string(size);
            benchmark::RegisterBenchmark(
                name.c_str(),
                [setup, engine, work](benchmark::State& state) {
                    double cpu = 0;
                    for (auto _ : state) {
                        double wall = 0;
                        for (const QueryClass& query : kClasses) {
                            const Run run = RunProcess(CommandOf(setup, engine.engine, work.work, query));
                            if (!run.ok) state.SkipWithError("a run failed");
                            wall += run.wallSeconds;
                            cpu += run.cpuSeconds;
                        }
                        state.SetIterationTime(wall);
                    }
                    state.counters["cpu_ms"] =
                        benchmark::Counter(cpu * 1e3 / static_cast<double>(state.iterations()));
                })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string root;
    std::string build;
    std::set<long> sizes;
    std::vector<char*> passed{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--data-root" || argument == "--sizes" || argument == "--tools") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (argument == "--data-root") {
                root = value;
            } else if (argument == "--tools") {
                build = value;
            } else {
                bench::AddSizes(value, sizes);
            }
        } else {
            passed.push_back(argv[i]);
        }
    }
    if (sizes.empty()) sizes = {1000000, 4000000};
    if (root.empty() || build.empty()) {
        std::fprintf(stderr, "usage: bench_find_process --data-root DIR --tools BUILD [--sizes ...]\n");
        return 2;
    }
    // A cache and a settings folder of the run's own: the index is made by the first query.
    const std::string home = std::filesystem::absolute(root).string() + "/process-home";
    std::filesystem::create_directories(home + "/config");
    setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (home + "/config").c_str(), 1);
    const bool xapian = std::filesystem::exists(build + "/bench/bench_xapian_query");
    if (!xapian) std::printf("(no bench_xapian_query in this build: Xapian is left out)\n");
    for (long size : sizes) {
        Setup setup;
        setup.build = build;
        setup.folder = std::filesystem::absolute(root).string() + "/" + std::to_string(size);
        setup.install = home + "/install";
        std::filesystem::create_directories(setup.install);
        if (!std::filesystem::exists(setup.folder + "/bench.info")) continue;
        const bool withXapian = xapian && std::filesystem::exists(setup.folder + "/xapian-compact");
        if (xapian && !withXapian) {
            std::printf("building the Xapian database of %ld people\n", size);
            std::fflush(stdout);
            if (!RunProcess({build + "/bench/bench_xapian_query", "--build", setup.folder}).ok) return 1;
        }
        if (!Prepare(setup, size, xapian)) return 1;
        Register(setup, size, xapian);
    }
    int count = static_cast<int>(passed.size());
    benchmark::Initialize(&count, passed.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
