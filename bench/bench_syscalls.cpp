// bench_syscalls: runs one viewer operation once, between two marker
// writes to standard error, so that a system-call trace (strace -o) of the
// program can be cut down to exactly that operation. Everything the
// operation needs (the pager, an earlier search, the page position) is set
// up before the first marker, as it would be in a running viewer.
//
//   bench_syscalls DISK_FOLDER OPERATION
//
// OPERATION: search_rare search_common search_absent filter_few filter_many
// next_direct prev_direct next_filtered prev_filtered full_text lookup disk_check

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench_info.h"
#include "bench/bench_people.h"
#include "bench/bench_viewer.h"
#include "bench/search_floor.h"
#include "store/catalogue.h"
#include "store/index_key.h"
#include "store/name_index.h"

namespace {

constexpr const char kBegin[] = "--- operation begins ---\n";
constexpr const char kEnd[] = "--- operation ends ---\n";

void Mark(const char* text) {
    // A raw write: the trace shows it as one call with exactly this text.
    if (::write(2, text, std::strlen(text)) < 0) std::perror("write");
}

// With CHRONARA_COLD set: the database files are dropped from the system's
// cache just before the operation, and the reads the device served during it
// are printed (from /sys/dev/block/MAJOR:MINOR/stat of the folder's device).
struct DeviceReads {
    long requests = 0;
    long sectors = 0;
};

bool ColdRun() { return std::getenv("CHRONARA_COLD") != nullptr; }

std::string DeviceStat(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return "";
    return "/sys/dev/block/" + std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev)) +
           "/stat";
}

DeviceReads ReadsSoFar(const std::string& statFile) {
    DeviceReads reads;
    std::ifstream in(statFile);
    long merged = 0;
    in >> reads.requests >> merged >> reads.sectors;
    return reads;
}

void DropFromCache(const std::string& folder) {
    for (const char* extension : {".ext", ".cor", ".tre"}) {
        const std::string path = folder + "/" + catalogue::StemOf(bench::kBenchCode) + extension;
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0) continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// Marks the start of the operation (dropping the cache first on a cold run).
DeviceReads Begin(const std::string& folder) {
    if (ColdRun()) DropFromCache(folder);
    const DeviceReads before = ColdRun() ? ReadsSoFar(DeviceStat(folder)) : DeviceReads{};
    Mark(kBegin);
    return before;
}

void End(const std::string& folder, const DeviceReads& before) {
    Mark(kEnd);
    if (!ColdRun()) return;
    const DeviceReads after = ReadsSoFar(DeviceStat(folder));
    std::fprintf(stderr, "device reads: %ld requests, %ld bytes\n", after.requests - before.requests,
                 (after.sectors - before.sectors) * 512);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_syscalls DISK_FOLDER OPERATION\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string op = argv[2];
    bench::DiskInfo info;
    std::string error;
    if (!bench::LoadInfo(folder + "/" + bench::kInfoFileName, info, &error)) {
        std::fprintf(stderr, "bench_syscalls: %s\n", error.c_str());
        return 1;
    }
    const std::string install = folder + "/" + bench::kInstallFolderName;
    ::mkdir(install.c_str(), 0777);
    bench::BenchViewer viewer(folder, install);
    bench::PaintedList list{};

    struct Search {
        const char* name;
        std::string surname;
        const char* firstName;
    };
    const Search searches[] = {
        {"search_rare", info.rare, nullptr},
        {"search_common", info.common, nullptr},
        {"search_absent", info.absent, nullptr},
        {"filter_few", info.common, bench::kFewHitsPrefix},
        {"filter_many", info.common, bench::kManyHitsPrefix},
    };
    for (const Search& search : searches) {
        if (op == std::string("floor_") + search.name && search.firstName == nullptr) {
            bench::SearchFloor floor;
            if (!floor.Prepare(folder, bench::kBenchCode, search.surname, 10, &error)) {
                std::fprintf(stderr, "bench_syscalls: %s\n", error.c_str());
                return 1;
            }
            if (std::getenv("CHRONARA_FIRST") == nullptr) floor.Run();
            const DeviceReads before = Begin(folder);
            const bool ran = floor.Run();
            End(folder, before);
            return ran ? 0 : 1;
        }
        if (op != search.name) continue;
        // The same search once before: the viewer has searched before
        // (unless CHRONARA_FIRST asks for the first search of a process).
        if (std::getenv("CHRONARA_FIRST") == nullptr) viewer.Search(search.surname.c_str(), search.firstName);
        const DeviceReads before = Begin(folder);
        viewer.Search(search.surname.c_str(), search.firstName);
        bench::PaintList(viewer, list);
        End(folder, before);
        return viewer.MessagesShown() == 0 ? 0 : 1;
    }

    const bool filtered = op == "next_filtered" || op == "prev_filtered";
    if (filtered || op == "next_direct" || op == "prev_direct") {
        viewer.Search(info.common.c_str(), filtered ? bench::kManyHitsPrefix : nullptr);
        const bool forward = op.compare(0, 4, "next") == 0;
        // A turn from the middle of the range, one page after another turn.
        viewer.NextPage();
        viewer.NextPage();
        if (forward ? !viewer.HasNext() : !viewer.HasPrev()) {
            std::fprintf(stderr, "bench_syscalls: the range is too short for %s\n", op.c_str());
            return 1;
        }
        Mark(kBegin);
        if (forward) {
            viewer.NextPage();
        } else {
            viewer.PrevPage();
        }
        bench::PaintList(viewer, list);
        Mark(kEnd);
        return viewer.MessagesShown() == 0 ? 0 : 1;
    }
    if (op == "full_text") {
        viewer.Search(info.longSurname.c_str(), nullptr);
        viewer.FullText(1 < viewer.RowsOnPage() ? 1 : 0);
        Mark(kBegin);
        const char* text = viewer.FullText(0);
        Mark(kEnd);
        return std::strlen(text) > 3000 ? 0 : 1;
    }
    if (op == "disk_check") {
        viewer.CheckDataDisk();
        Mark(kBegin);
        const bool present = viewer.CheckDataDisk();
        Mark(kEnd);
        return present ? 0 : 1;
    }
    if (op == "lookup") {
        const std::string tree = folder + "/" + catalogue::StemOf(bench::kBenchCode) + ".tre";
        CNameIndex index(catalogue::KeyFieldWidth(bench::kBenchCode));
        index.Open(tree, "index");
        char key[kMaxKeySurname + 1] = {};
        std::snprintf(key, sizeof key, "%s", info.rare.c_str());
        MakeIndexKey(bench::kBenchCode, key);
        std::int32_t first = -1;
        std::int32_t count = 0;
        index.Lookup(key, first, count);
        const long before = index.PagesReadFromFile();
        Mark(kBegin);
        index.Lookup(key, first, count);
        Mark(kEnd);
        std::fprintf(stderr, "index pages read: %ld\n", index.PagesReadFromFile() - before);
        return count == info.rareCount ? 0 : 1;
    }
    std::fprintf(stderr, "bench_syscalls: no operation %s\n", op.c_str());
    return 2;
}
