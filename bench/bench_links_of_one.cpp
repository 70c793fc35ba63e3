// bench_links_of_one: the links of one person as the viewer's More Info asks
// for them, once the people of the disk are read: the candidates judged
// (linkage::LinksOf) and each linked record read from the disk for its
// summary. Times every person of the disk in turn and prints the processor
// time of the people read, then the median, the 99th percentile and the
// longest of one person's links, with who that was.
//
//   bench_links_of_one DISK

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "browse/linkage/link_disk.h"
#include "browse/linkage/link_index.h"
#include "browse/names/given_name_table.h"
#include "browse/research_log/saved_person_reader.h"
#include "browse/same_person/kept_person.h"
#include "store/blank_trim.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "store/record_database.h"

namespace {

// Processor time of this thread: the figure that does not move with the
// machine's other work.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_links_of_one DISK\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') folder += '/';
    CDirectories dirs;
    dirs.SetDataDir(folder.c_str());

    const CGivenNameTable& names = CGivenNameTable::Builtin();
    linkage::CLinkIndex index(names);
    const double readStart = ThreadMilliseconds();
    const linkage::LoadOutcome loaded =
        linkage::LoadPeople(dirs, catalogue::EveryDatabaseOfDisk(), index, DiskPrompt{});
    const double readMs = ThreadMilliseconds() - readStart;
    if (loaded.noDisk || loaded.error.Failed()) {
        std::fprintf(stderr, "bench_links_of_one: the disk at %s could not be read\n", folder.c_str());
        return 1;
    }

    CRecordDatabase database(dirs);
    std::vector<double> times;
    times.reserve(index.Size());
    std::size_t links = 0;
    std::size_t unread = 0;
    std::uint32_t slowest = 0;
    for (std::uint32_t i = 0; i < index.Size(); ++i) {
        const double start = ThreadMilliseconds();
        for (const linkage::Link& link : linkage::LinksOf(index, i, names)) {
            ExportedHit record;
            StoreError error;
            if (research_log::ReadSavedPerson(database, same_person::KeptPersonOf(index.Person(link.other)),
                                              record, error) != research_log::SavedPersonRead::Read)
                ++unread;
            ++links;
        }
        times.push_back(ThreadMilliseconds() - start);
        if (times.back() > times[slowest]) slowest = i;
    }
    if (times.empty()) {
        std::fprintf(stderr, "bench_links_of_one: nobody on the disk\n");
        return 1;
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const linkage::LinkPerson who = index.Person(slowest);
    std::printf("people read: %zu in %.1f ms of processor time\n", static_cast<std::size_t>(index.Size()),
                readMs);
    std::printf(
        "links of one person (judged, each linked record read), processor ms: median %.3f, 99th %.3f, "
        "longest %.3f (%s %s, %s entry %d)\n",
        sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back(),
        TrimmedRight(who.surname).c_str(), TrimmedRight(who.givenNames).c_str(), catalogue::StemOf(who.code),
        static_cast<int>(who.entry));
    std::printf("links listed: %zu, records not read: %zu\n", links, unread);
    return unread == 0 ? 0 : 1;
}
