// bench_find_records_dialog: how the Find in Records dialog follows the
// typing, on Qt's offscreen platform, the dialog shown and painted.
//
//   bench_find_records_dialog --data-dir DISK [--large FOLDER] [benchmark flags]
//
// sample/...: one key on the sample disk (DISK) once the word indexes are
// made: wall-clock time from the key to the answer shown in the list (the
// query asked, answered by the query thread, the list's model reset, the
// count line and the selection). A frame of a 60 Hz screen is 16.7 ms.
//
// large/...: a query typed one key at a time, keys 40 ms apart, into the
// dialog over FOLDER, a benchmark data disk of make_bench_disk (1,000,000
// people), the queries running while the keys come. The time reported is
// from the last key to its answer shown; the counters say how long the
// interface thread was held at most: by one event (longest_event_ms
// wall-clock, longest_event_cpu_ms its own processor time) and between two
// beats of a 1 ms timer (longest_gap_ms, which includes the waits for a
// processor). large/while_index_made types the first query
// while the database's word index is still being made.

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "bench/bench_people.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_model.h"
#include "ui/find_records/record_finder.h"
#include "ui/results/people_commands.h"

namespace {

using Clock = std::chrono::steady_clock;
using Scope = CFindRecordsDlg::Scope;

double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

// Times every event the interface thread handles, outermost dispatches only.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0) return Nested(receiver, event);
        ++depth_;
        const Clock::time_point start = Clock::now();
        const double cpuStart = ThreadMilliseconds();
        const bool handled = QApplication::notify(receiver, event);
        longest_ = std::max(longest_, Clock::now() - start);
        longestCpu_ = std::max(longestCpu_, ThreadMilliseconds() - cpuStart);
        --depth_;
        return handled;
    }

    void ResetLongest() {
        longest_ = {};
        longestCpu_ = 0;
    }
    // Wall-clock, and the interface thread's own processor time.
    Clock::duration Longest() const { return longest_; }
    double LongestCpuMilliseconds() const { return longestCpu_; }

private:
    bool Nested(QObject* receiver, QEvent* event) {
        ++depth_;
        const bool handled = QApplication::notify(receiver, event);
        --depth_;
        return handled;
    }

    static double ThreadMilliseconds() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    }

    int depth_ = 0;
    Clock::duration longest_{};
    double longestCpu_ = 0;
};

// The longest time between two beats of a 1 ms timer while it runs.
class Heartbeat {
public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this]() {
            const Clock::time_point now = Clock::now();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
    }
    void Start() {
        longest_ = {};
        last_ = Clock::now();
        timer_.start();
    }
    Clock::duration Stop() {
        timer_.stop();
        return std::max(longest_, Clock::now() - last_);
    }

private:
    QTimer timer_;
    Clock::time_point last_;
    Clock::duration longest_{};
};

// The dialog as the viewer opens it, over dirs, with the parts it needs.
struct Viewer {
    Viewer(const CDirectories& dirs, const std::string& cacheFolder, int code, Scope scope)
        : commands(dirs, &window, []() { return false; }), finder(dirs, cacheFolder) {
        CFindRecordsDlg::Choices choices;
        choices.scope = scope;
        dialog = std::make_unique<CFindRecordsDlg>(&window, dirs, finder, commands,
                                                   catalogue::RowOfCode(code), choices);
        dialog->show();
    }

    QWidget window;
    CPeopleCommands commands;
    CRecordFinder finder;
    std::unique_ptr<CFindRecordsDlg> dialog;
};

// Runs the event loop until done holds.
void Until(const std::function<bool()>& done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool Whole(const CFindRecordsDlg& dialog) { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }

// One key into a box, as the keyboard sends it (ASCII: Qt's key codes are the capitals).
void Key(QLineEdit& box, char c) {
    const int code = QChar(QLatin1Char(c)).toUpper().unicode();
    const QString text = QString(QLatin1Char(c));
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(&box, &press);
    QApplication::sendEvent(&box, &release);
}

void Pause(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Empties the boxes and waits for the dialog to settle.
void Clear(CFindRecordsDlg& dialog) {
    for (QLineEdit* box : {dialog.TextField(), dialog.YearsFrom(), dialog.YearsTo()}) box->clear();
    Until([&dialog]() { return !dialog.RefreshPending(); });
}

struct SampleKey {
    const char* name;
    const char* text;
    const char* years;  // both ends, or null
    Scope scope;
};

const SampleKey kSampleKeys[] = {
    {"sample/all/\"20th maine\"", "\"20th maine\"", nullptr, Scope::AllDatabases},
    {"sample/all/mukden", "mukden", nullptr, Scope::AllDatabases},
    {"sample/all/queenstown", "queenstown", nullptr, Scope::AllDatabases},
    {"sample/all/s* 1944", "s*", "1944", Scope::AllDatabases},
    {"sample/one/\"20th maine\"", "\"20th maine\"", nullptr, Scope::ChosenDatabase},
};

void SampleOneKey(benchmark::State& state, const std::string& disk, const std::string& cache,
                  const SampleKey& key) {
    CDirectories dirs;
    dirs.SetDataDir(disk.c_str());
    // Row 1, the Civil War Medal of Honor roll, as Find Surname's benchmark.
    Viewer viewer(dirs, cache, catalogue::CodeOfRow(1), key.scope);
    CFindRecordsDlg& dialog = *viewer.dialog;
    if (key.years != nullptr) {
        dialog.YearsFrom()->setText(QString::fromLatin1(key.years));
        dialog.YearsTo()->setText(QString::fromLatin1(key.years));
    }
    const std::string text = key.text;
    // The indexes are made, untimed.
    dialog.TextField()->setText(QString::fromStdString(text));
    dialog.Refresh();
    Until([&dialog]() { return Whole(dialog); });
    std::int64_t found = 0;
    for (auto _ : state) {
        dialog.TextField()->setText(QString::fromStdString(text.substr(0, text.size() - 1)));
        dialog.Refresh();
        Until([&dialog]() { return dialog.Answered(); });
        const Clock::time_point start = Clock::now();
        Key(*dialog.TextField(), text.back());
        Until([&dialog]() { return !dialog.RefreshPending() && dialog.Answered(); });
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        found = dialog.Model()->Count();
    }
    state.counters["people"] = static_cast<double>(found);
}

struct TypedQuery {
    const char* name;
    const char* text;
    const char* from;
    const char* to;
};

// The query classes of bench_find, typed.
const TypedQuery kTypedQueries[] = {
    {"large/typed/marine corporal", "marine corporal", "", ""},
    {"large/typed/\"staff sergeant\"", "\"staff sergeant\"", "", ""},
    {"large/typed/lieut*", "lieut*", "", ""},
    {"large/typed/marine -corporal", "marine -corporal", "", ""},
    {"large/typed/years 1950-1953", "", "1950", "1953"},
};

constexpr int kKeyInterval = 40;

// Types the query key by key, then waits for its answer: the time from the last key.
Clock::duration TypeQuery(CFindRecordsDlg& dialog, const TypedQuery& query, bool wholeAnswer) {
    Clock::time_point last = Clock::now();
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {dialog.TextField(), query.text}, {dialog.YearsFrom(), query.from}, {dialog.YearsTo(), query.to}};
    for (const auto& [box, typed] : boxes) {
        for (const char* c = typed; *c != '\0'; ++c) {
            Pause(kKeyInterval);
            last = Clock::now();
            Key(*box, *c);
        }
    }
    Until([&dialog, wholeAnswer]() {
        return !dialog.RefreshPending() && dialog.Answered() && (!wholeAnswer || Whole(dialog));
    });
    return Clock::now() - last;
}

void LargeTyping(benchmark::State& state, TimedApplication& app, const std::string& folder,
                 const std::string& cache, const TypedQuery& query, bool whileIndexMade) {
    if (whileIndexMade) std::filesystem::remove_all(cache);
    CDirectories dirs;
    dirs.SetDataDir(folder.c_str());
    Viewer viewer(dirs, cache, bench::kBenchCode, Scope::ChosenDatabase);
    CFindRecordsDlg& dialog = *viewer.dialog;
    if (!whileIndexMade) {
        // The index is there, made now if need be, untimed.
        dialog.TextField()->setText(QStringLiteral("marine"));
        dialog.Refresh();
        Until([&dialog]() { return Whole(dialog); });
    }
    Heartbeat heartbeat;
    Clock::duration longestEvent{};
    double longestEventCpu = 0;
    Clock::duration longestGap{};
    std::int64_t found = 0;
    for (auto _ : state) {
        Clear(dialog);
        app.ResetLongest();
        heartbeat.Start();
        const Clock::duration toAnswer = TypeQuery(dialog, query, whileIndexMade);
        longestGap = std::max(longestGap, heartbeat.Stop());
        longestEvent = std::max(longestEvent, app.Longest());
        longestEventCpu = std::max(longestEventCpu, app.LongestCpuMilliseconds());
        state.SetIterationTime(std::chrono::duration<double>(toAnswer).count());
        found = dialog.Model()->Count();
    }
    state.counters["longest_event_ms"] = Milliseconds(longestEvent);
    state.counters["longest_event_cpu_ms"] = longestEventCpu;
    state.counters["longest_gap_ms"] = Milliseconds(longestGap);
    state.counters["people"] = static_cast<double>(found);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir;
    std::string large;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data-dir") == 0 && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--large") == 0 && i + 1 < argc) {
            large = argv[++i];
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (dataDir.empty()) {
        std::fprintf(stderr,
                     "usage: bench_find_records_dialog --data-dir DISK [--large FOLDER] [benchmark flags]\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    TimedApplication app(qtArgc, argv);
    // The word indexes of this run, made afresh and removed at the end.
    const std::string cache = std::filesystem::temp_directory_path().string() + "/bench-find-records-" +
                              std::to_string(QCoreApplication::applicationPid()) + "/";
    const std::string sampleCache = cache + "sample/";
    const std::string largeCache = cache + "large/";
    for (const SampleKey& key : kSampleKeys) {
        benchmark::RegisterBenchmark(key.name,
                                     [&dataDir, &sampleCache, &key](benchmark::State& state) {
                                         SampleOneKey(state, dataDir, sampleCache, key);
                                     })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    if (!large.empty()) {
        benchmark::RegisterBenchmark("large/while_index_made/marine corporal",
                                     [&app, &large, &largeCache](benchmark::State& state) {
                                         LargeTyping(state, app, large, largeCache, kTypedQueries[0], true);
                                     })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        for (const TypedQuery& query : kTypedQueries) {
            benchmark::RegisterBenchmark(query.name,
                                         [&app, &large, &largeCache, &query](benchmark::State& state) {
                                             LargeTyping(state, app, large, largeCache, query, false);
                                         })
                ->Iterations(5)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    int benchArgc = static_cast<int>(rest.size());
    benchmark::Initialize(&benchArgc, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(cache, ignored);
    return 0;
}
