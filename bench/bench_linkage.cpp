// bench_linkage: links every person of a disk made to be linked
// (bench/linked_disk.h) and says how long it took, in how much memory, and
// how right it was: the share of "likely" pairs that are true, and the
// share of true pairs found as likely or possible.
//
//   bench_linkage FOLDER PEOPLE [SHARE]
//
// FOLDER is made with PEOPLE records in each of its two databases, SHARE of
// them (default 0.2) the same people, unless it already holds a disk (then
// run again for the time and memory of the linking alone: making the disk
// holds every record in memory).

#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "bench/linked_disk.h"
#include "browse/linkage/link_disk.h"
#include "browse/names/given_name_table.h"
#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "platform/message_box.h"
#include "store/directories.h"
#include "store/record_database.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of the process so far, user and system: on a shared
// machine the wall-clock time says more of the others than of the linking.
double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The person number of every entry of code.
bool NumbersOf(const CDirectories& dirs, int code, std::size_t field, std::map<std::int32_t, long>& numbers) {
    CRecordDatabase database(dirs);
    if (!database.OpenCode(code)) return false;
    CPeopleList people;
    if (ListPeople(*database.Index(), database.EntriesHeld(), people).Failed()) return false;
    CPeopleReader reader(database, people);
    ReadPerson person;
    while (reader.Next(person)) {
        std::string value;
        ForEachRecordField(std::string_view(person.record, person.recordLength),
                           [&](std::size_t k, std::string_view text) {
                               if (k == field) value = std::string(text);
                           });
        numbers[person.entry] = bench::PersonNumber(value);
    }
    return !reader.Error().Failed();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_linkage FOLDER PEOPLE [SHARE]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const long people = std::atol(argv[2]);
    const double share = argc > 3 ? std::atof(argv[3]) : 0.2;
    mkdir(folder.c_str(), 0755);
    platform::SetMessageBoxHandler(
        [](const char* text, const char*, platform::MessageButtons, platform::MessageIcon, const char*,
           void*) {
            std::fprintf(stderr, "bench_linkage: %s\n", text);
            return platform::MessageAnswer::Cancel;
        },
        nullptr);

    Clock::time_point start = Clock::now();
    bench::LinkedDiskStats stats;
    stats.shared = static_cast<long>(static_cast<double>(people) * share);
    struct stat marker {};
    if (stat((folder + "/chronaradb.id").c_str(), &marker) != 0) {
        std::string error;
        if (!bench::MakeLinkedDisk(folder, people, share, 20261209, stats, error)) {
            std::fprintf(stderr, "bench_linkage: %s\n", error.c_str());
            return 1;
        }
        std::printf("disk: %ld people in each of two databases, %ld in both, %ld look-alikes (%.1f s)\n",
                    people, stats.shared, stats.lookalikes, SecondsSince(start));
        std::fflush(stdout);
    }

    CDirectories dirs;
    dirs.SetDataDir(folder.c_str());
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    start = Clock::now();
    double processor = ProcessorSeconds();
    linkage::CLinkIndex index(names);
    const linkage::LoadOutcome loaded = linkage::LoadPeople(dirs, {10, 11}, index, DiskPrompt{});
    if (loaded.noDisk || loaded.error.Failed()) {
        std::fprintf(stderr, "bench_linkage: the disk could not be read\n");
        return 1;
    }
    const double readSeconds = SecondsSince(start);
    std::printf("read %.2f s, %.2f s of processor time (%zu people), peak %ld MB\n", readSeconds,
                ProcessorSeconds() - processor, index.Size(), PeakMegabytes());
    std::fflush(stdout);
    start = Clock::now();
    processor = ProcessorSeconds();
    std::size_t candidates = 0;
    index.ForEachCandidatePair([&](std::uint32_t, std::uint32_t) { ++candidates; });
    const double blockSeconds = SecondsSince(start);
    const double blockProcessor = ProcessorSeconds() - processor;
    start = Clock::now();
    processor = ProcessorSeconds();
    const std::vector<linkage::LinkPair> links = linkage::AllLinks(index, names);
    const double linkSeconds = SecondsSince(start);
    const double linkProcessor = ProcessorSeconds() - processor;

    std::map<std::int32_t, long> prisoners;
    std::map<std::int32_t, long> graves;
    if (!NumbersOf(dirs, 10, 1, prisoners) || !NumbersOf(dirs, 11, 5, graves)) {
        std::fprintf(stderr, "bench_linkage: the person numbers could not be read\n");
        return 1;
    }
    long likely = 0;
    long likelyTrue = 0;
    long proposedTrue = 0;
    for (const linkage::LinkPair& pair : links) {
        const int codeA = index.CodeOf(pair.first);
        const int codeB = index.CodeOf(pair.second);
        const long na = (codeA == 10 ? prisoners : graves)[index.EntryOf(pair.first)];
        const long nb = (codeB == 10 ? prisoners : graves)[index.EntryOf(pair.second)];
        const bool same = codeA != codeB && na == nb && na >= 0;
        likely += pair.judgement.verdict == linkage::Verdict::Likely;
        likelyTrue += same && pair.judgement.verdict == linkage::Verdict::Likely;
        proposedTrue += same;
    }
    std::printf(
        "blocking alone %.2f s (%.2f s of processor time); blocked and judged %.2f s (%.2f s); peak %ld MB\n",
        blockSeconds, blockProcessor, linkSeconds, linkProcessor, PeakMegabytes());
    std::printf("%zu surname pairs, %zu candidate pairs judged, %zu proposed (%ld likely)\n",
                index.SurnamePairCount(), candidates, links.size(), likely);
    std::printf("likely right: %.1f%% (%ld of %ld); true pairs found: %.1f%% (%ld of %ld)\n",
                likely > 0 ? 100.0 * static_cast<double>(likelyTrue) / static_cast<double>(likely) : 0.0,
                likelyTrue, likely,
                stats.shared > 0
                    ? 100.0 * static_cast<double>(proposedTrue) / static_cast<double>(stats.shared)
                    : 0.0,
                proposedTrue, stats.shared);
    return 0;
}
