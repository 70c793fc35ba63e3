// bench_find_dialog: how long the Find Surname dialog takes to follow one
// key: listing the matches of the typed text over the disk and showing them
// in its list (the model reset and the selection), on Qt's offscreen platform.
//
//   bench_find_dialog --data-dir DIR [benchmark flags]
//
// DIR is a data disk, usually the sample disk of the build. A frame of a
// 60 Hz screen is 16.7 ms.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "store/directories.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/find_surname/surname_match_model.h"

namespace {

struct Typed {
    const char* name;
    MatchMode mode;
    CFindSurnameDlg::Scope scope;
    const char* text;
};

const Typed kTyped[] = {
    {"prefix_all/S", MatchMode::Prefix, CFindSurnameDlg::Scope::AllDatabases, "S"},
    {"prefix_all/Smi", MatchMode::Prefix, CFindSurnameDlg::Scope::AllDatabases, "Smi"},
    {"exact_all/Smith", MatchMode::Exact, CFindSurnameDlg::Scope::AllDatabases, "Smith"},
    {"soundex_all/Smith", MatchMode::Soundex, CFindSurnameDlg::Scope::AllDatabases, "Smith"},
    {"dm_all/Schmidt", MatchMode::DaitchMokotoff, CFindSurnameDlg::Scope::AllDatabases, "Schmidt"},
    {"pattern_all/*son", MatchMode::Pattern, CFindSurnameDlg::Scope::AllDatabases, "*son"},
    {"soundex_one/Smith", MatchMode::Soundex, CFindSurnameDlg::Scope::ChosenDatabase, "Smith"},
};

void FollowOneKey(benchmark::State& state, const CDirectories& directories, const Typed& typed) {
    CFindSurnameDlg::Choices choices;
    choices.mode = typed.mode;
    choices.scope = typed.scope;
    // Row 1: a database of the sample disk with many surnames.
    CFindSurnameDlg dialog(nullptr, directories, 1, QString::fromLatin1(typed.text), choices);
    long matches = 0;
    for (auto _ : state) {
        dialog.Refresh();
        matches = dialog.Model()->rowCount();
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = static_cast<double>(matches);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data-dir") == 0 && i + 1 < argc) {
            dataDir = argv[++i];
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (dataDir.empty()) {
        std::fprintf(stderr, "usage: bench_find_dialog --data-dir DIR [benchmark flags]\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    CDirectories directories;
    directories.SetDataDir(dataDir.c_str());
    for (const Typed& typed : kTyped) {
        benchmark::RegisterBenchmark(typed.name, [&directories, &typed](benchmark::State& state) {
            FollowOneKey(state, directories, typed);
        })->Unit(benchmark::kMillisecond);
    }
    int benchArgc = static_cast<int>(rest.size());
    benchmark::Initialize(&benchArgc, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
