// bench_gedcom_export: the family-tree export of a search of 100,000
// people, end to end as a user runs it: chronara-query --export gedcom in a
// process of its own, its wall-clock and processor time and its peak
// resident memory (from the kernel's accounting of the child), against the
// targets of 2 seconds and 64 MB.
//
//   bench_gedcom_export FOLDER QUERY_TOOL [PEOPLE] [RUNS]
//
// FOLDER gets, the first time, a data disk whose war-graves database
// (ww2_kor) holds PEOPLE (default 100,000) people of the benchmark
// population, all under the surname SMITH, so that one search finds them
// all. The export goes to FOLDER/export.ged and is checked: every person
// once, one source, the trailer last.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_people.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/database_writer.h"

namespace {

constexpr double kTargetSeconds = 2.0;
constexpr double kTargetMegabytes = 64.0;
constexpr char kSurname[] = "SMITH";

int Fail(const std::string& text) {
    std::fprintf(stderr, "bench_gedcom_export: %s\n", text.c_str());
    return 1;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The disk of people people of one surname; false with error set.
bool MakeDisk(const std::string& disk, long people, std::string& error) {
    ::mkdir(disk.c_str(), 0777);
    const bench::Population population(static_cast<std::size_t>(people));
    CDatabaseWriter writer(bench::kBenchCode);
    for (std::size_t i = 0; i < population.People(); ++i) {
        PersonRecord person = population.Person(i, false);
        person.surname = kSurname;
        if (!writer.Add(person, &error)) return false;
    }
    if (!writer.Write(disk, 0, &error)) return false;
    std::FILE* marker = std::fopen((disk + "/" + kMarkerFileName).c_str(), "w");
    const bool written = marker != nullptr && std::fputs("Chronara benchmark disk\n", marker) >= 0;
    if (marker == nullptr || std::fclose(marker) != 0 || !written) {
        error = "cannot write the marker file";
        return false;
    }
    return true;
}

struct Run {
    double seconds = 0;
    double processorSeconds = 0;
    double peakMegabytes = 0;
    int status = -1;
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// One export in a child process, standard output to out.
Run Export(const std::string& tool, const std::string& disk, const std::string& install,
           const std::string& out) {
    Run run;
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::dup2(fd, 1) < 0) _exit(126);
        ::setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
        ::execl(tool.c_str(), tool.c_str(), "--data-dir", disk.c_str(), "--install-dir", install.c_str(),
                "--database", "ww2_kor", "--surname", kSurname, "--export", "gedcom",
                static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.processorSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return run;
}

// Counts the people and the sources of the file, and looks for its trailer.
bool CheckExport(const std::string& path, long people, long& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "no export";
        return false;
    }
    long persons = 0;
    long sources = 0;
    std::string last;
    char line[512];
    bytes = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const std::string text = line;
        bytes += static_cast<long>(text.size());
        if (text.size() > 257) error = "a line over 255 bytes";
        if (text.compare(0, 4, "0 @I") == 0) ++persons;
        if (text.compare(0, 4, "0 @S") == 0) ++sources;
        last = text;
    }
    std::fclose(file);
    if (persons != people) error = std::to_string(persons) + " people in the export";
    if (sources != 1) error = std::to_string(sources) + " sources in the export";
    if (last != "0 TRLR\r\n") error = "the trailer is not last";
    return error.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: bench_gedcom_export FOLDER QUERY_TOOL [PEOPLE] [RUNS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string tool = argv[2];
    const long people = argc > 3 ? std::atol(argv[3]) : 100000;
    const int runs = argc > 4 ? std::atoi(argv[4]) : 5;
    if (people < 1000 || runs < 1) return Fail("PEOPLE must be at least 1000 and RUNS at least 1");

    ::mkdir(folder.c_str(), 0777);
    const std::string disk = folder + "/disk-" + std::to_string(people);
    const std::string install = folder + "/install/";
    ::mkdir(install.c_str(), 0777);
    if (!Exists(disk + "/" + kMarkerFileName)) {
        std::printf("making a disk of %ld people named %s\n", people, kSurname);
        // In a process of its own: the people drawn would otherwise stay in
        // this one, and a child forked from it starts with them resident.
        const pid_t maker = ::fork();
        if (maker == 0) {
            std::string error;
            _exit(MakeDisk(disk, people, error) ? 0 : Fail(error));
        }
        int status = 1;
        if (maker < 0 || ::waitpid(maker, &status, 0) != maker || status != 0)
            return Fail("the disk was not made");
    }

    const std::string out = folder + "/export.ged";
    std::vector<Run> done;
    for (int i = 0; i < runs; ++i) {
        const Run run = Export(tool, disk, install, out);
        if (run.status != 0) return Fail("chronara-query ended with status " + std::to_string(run.status));
        long bytes = 0;
        std::string error;
        if (!CheckExport(out, people, bytes, error)) return Fail(error);
        if (i == 0) std::printf("export: %ld bytes, %ld people, one source\n", bytes, people);
        done.push_back(run);
    }
    std::sort(done.begin(), done.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    const Run& median = done[done.size() / 2];
    double peak = 0;
    for (const Run& run : done) peak = std::max(peak, run.peakMegabytes);
    std::printf("| people | runs | wall s (median) | processor s | peak MB (largest) | targets |\n");
    std::printf("|---:|---:|---:|---:|---:|---|\n");
    std::printf("| %ld | %d | %.2f | %.2f | %.1f | %s |\n", people, runs, median.seconds,
                median.processorSeconds, peak,
                median.seconds < kTargetSeconds && peak < kTargetMegabytes ? "met" : "NOT met");
    return 0;
}
