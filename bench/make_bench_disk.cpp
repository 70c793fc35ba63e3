// make_bench_disk: writes one benchmark data disk into a folder: the war
// graves database (ww2_kor .ext/.cor/.tre) written by CDatabaseWriter, the
// disk's marker file, the same people in SQLite, and bench.info naming the
// surnames the benchmarks search. The same size always gives the same bytes.
//
//   make_bench_disk FOLDER PEOPLE

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "bench/bench_info.h"
#include "bench/bench_people.h"
#include "bench/sqlite_baseline.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/database_writer.h"
#include "store/index_key.h"
#include "store/name_index.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "make_bench_disk: %s\n", text.c_str());
    return 1;
}

std::string KeyOf(const std::string& surname) {
    char key[kMaxKeySurname + 1] = {};
    std::snprintf(key, sizeof key, "%s", surname.c_str());
    MakeIndexKey(bench::kBenchCode, key);
    return key;
}

struct Found {
    std::int32_t first = -1;
    std::int32_t count = 0;
    long pagesRead = 0;
};

// Each lookup on an index opened afresh, so that the pages it reads below
// the root tell the depth of the key (no page kept from an earlier lookup).
Found LookUp(const std::string& tre, const std::string& surname) {
    Found found;
    CNameIndex index(catalogue::KeyFieldWidth(bench::kBenchCode));
    index.Open(tre, "index");
    const long before = index.PagesReadFromFile();
    index.Lookup(KeyOf(surname).c_str(), found.first, found.count);
    found.pagesRead = index.PagesReadFromFile() - before;
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_bench_disk FOLDER PEOPLE\n");
        return 2;
    }
    const std::string folder = argv[1];
    char* end = nullptr;
    const long people = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || people < 1000 || people > 20000000) {
        return Fail("PEOPLE must be a number from 1000 to 20000000");
    }
    platform::SetMessageBoxHandler(platform::StderrMessageBox, nullptr);
    mkdir(folder.c_str(), 0777);
    mkdir((folder + "/" + bench::kInstallFolderName).c_str(), 0777);  // history.buf goes there
    const auto started = Clock::now();

    const bench::Population population(static_cast<std::size_t>(people));
    std::printf("%ld people drawn over %zu surnames (Zipf exponent %.4f) in %.1f s\n", people,
                population.PoolSize(), population.Exponent(), SecondsSince(started));

    // The rare surname: one of three people; several candidates, since the
    // one chosen must lie on the deepest level of the tree. The long record
    // goes to the first person of a surname of a few people.
    std::vector<std::uint32_t> rareCandidates;
    std::uint32_t longRank = 0;
    bool haveLong = false;
    for (std::uint32_t rank = 1000; rank < population.PoolSize(); ++rank) {
        const std::size_t count = population.CountOf(rank);
        if (count == 3 && rareCandidates.size() < 400) rareCandidates.push_back(rank);
        if (!haveLong && count >= 2 && count <= 6 && count != 3) {
            longRank = rank;
            haveLong = true;
        }
        if (haveLong && rareCandidates.size() >= 400) break;
    }
    if (rareCandidates.empty() || !haveLong) return Fail("no surname of a few people was drawn");
    std::size_t longPerson = 0;
    while (population.Rank(longPerson) != longRank) ++longPerson;

    CDatabaseWriter writer(bench::kBenchCode);
    std::string error;
    auto phase = Clock::now();
    long longRecordBytes = 0;
    for (std::size_t i = 0; i < population.People(); ++i) {
        const PersonRecord person = population.Person(i, i == longPerson);
        if (i == longPerson) {
            for (const std::string& field : person.fields)
                longRecordBytes += static_cast<long>(field.size()) + 1;
            ++longRecordBytes;  // the line feed
        }
        if (!writer.Add(person, &error)) return Fail("person " + std::to_string(i) + ": " + error);
    }
    std::printf("added to the writer in %.1f s (peak %ld MB)\n", SecondsSince(phase), PeakMegabytes());
    phase = Clock::now();
    DatabaseSummary summary;
    if (!writer.Write(folder, 0, &error, &summary)) return Fail(error);
    std::printf(
        "written in %.1f s (peak %ld MB): %ld surnames, tree height %d, name width %d, largest range %ld\n",
        SecondsSince(phase), PeakMegabytes(), summary.surnames, summary.treeHeight, summary.nameWidth,
        summary.largestRange);

    std::FILE* marker = std::fopen((folder + "/" + kMarkerFileName).c_str(), "w");
    if (marker == nullptr || std::fputs("Chronara benchmark disk\n", marker) < 0 ||
        std::fclose(marker) != 0) {
        return Fail("cannot write the marker file");
    }

    bench::DiskInfo info;
    info.people = people;
    info.surnames = summary.surnames;
    info.treeHeight = summary.treeHeight;
    info.nameWidth = summary.nameWidth;
    info.zipfExponent = population.Exponent();
    info.longRecordBytes = longRecordBytes;
    {
        const std::string tre = folder + "/" + catalogue::StemOf(bench::kBenchCode) + ".tre";
        const long deepest = summary.treeHeight - 1;

        info.common = population.Surname(0);
        info.commonCount = static_cast<long>(population.CountOf(0));
        const Found common = LookUp(tre, info.common);
        if (common.count != info.commonCount)
            return Fail("the index disagrees on the common surname's count");

        for (std::uint32_t rank : rareCandidates) {
            const Found found = LookUp(tre, population.Surname(rank));
            if (found.count != 3) return Fail("the index disagrees on " + population.Surname(rank));
            if (found.pagesRead == deepest) {
                info.rare = population.Surname(rank);
                info.rareCount = found.count;
                break;
            }
        }
        if (info.rare.empty()) return Fail("no rare surname lies on the deepest level");

        info.absent = population.AbsentSurname();
        if (LookUp(tre, info.absent).first != -1) return Fail("the absent surname was found");
        info.longSurname = population.Surname(longRank);
        if (LookUp(tre, info.longSurname).count != static_cast<std::int32_t>(population.CountOf(longRank))) {
            return Fail("the index disagrees on the long record's surname");
        }
    }
    for (std::size_t i = 0; i < population.People(); ++i) {
        if (population.Rank(i) != 0) continue;
        const PersonRecord person = population.Person(i, false);
        if (bench::PassesPrefix(person.givenNames, bench::kFewHitsPrefix)) ++info.fewHits;
        if (bench::PassesPrefix(person.givenNames, bench::kManyHitsPrefix)) ++info.manyHits;
    }

    // The same people in SQLite, in entry order: surnames in index-key
    // order, one surname's people in the order they were drawn.
    phase = Clock::now();
    std::vector<std::string> keys(population.PoolSize());
    for (std::uint32_t rank = 0; rank < population.PoolSize(); ++rank) {
        if (population.CountOf(rank) > 0) keys[rank] = KeyOf(population.Surname(rank));
    }
    std::vector<std::uint32_t> order(population.People());
    std::iota(order.begin(), order.end(), 0U);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::string& ka = keys[population.Rank(a)];
        const std::string& kb = keys[population.Rank(b)];
        const int c = std::memcmp(ka.data(), kb.data(), std::min(ka.size(), kb.size()));
        return c != 0 ? c < 0 : ka.size() < kb.size();
    });
    if (!bench::BuildSqliteDatabase(folder + "/" + bench::kSqliteFileName, population, order.data(),
                                    order.size(), longPerson, &error)) {
        return Fail(error);
    }
    std::printf("SQLite database written in %.1f s\n", SecondsSince(phase));

    if (!bench::SaveInfo(folder + "/" + bench::kInfoFileName, info, &error)) return Fail(error);
    std::printf(
        "common %s (%ld), rare %s, absent %s, long record %ld bytes under %s; "
        "filter %s: %ld hits, %s: %ld hits; total %.1f s, peak %ld MB\n",
        info.common.c_str(), info.commonCount, info.rare.c_str(), info.absent.c_str(), info.longRecordBytes,
        info.longSurname.c_str(), bench::kFewHitsPrefix, info.fewHits, bench::kManyHitsPrefix, info.manyHits,
        SecondsSince(started), PeakMegabytes());
    return 0;
}
