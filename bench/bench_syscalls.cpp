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

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/bench_info.h"
#include "bench/bench_people.h"
#include "bench/bench_viewer.h"
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
        if (op != search.name) continue;
        // The same search once before: the viewer has searched before.
        viewer.Search(search.surname.c_str(), search.firstName);
        Mark(kBegin);
        viewer.Search(search.surname.c_str(), search.firstName);
        bench::PaintList(viewer, list);
        Mark(kEnd);
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
