// bench_fts5_query: one record query answered by SQLite FTS5 in a process
// of its own, as chronara-query --find answers one in its own: the table
// opened, the people counted, the first ten people's entries taken in
// entry order and their summaries read from the .cor and .ext, printed.
//
//   bench_fts5_query FOLDER MATCH [--count]
//   bench_fts5_query --noop        (starts and ends: the start of a process)
//
// FOLDER is a benchmark disk with its fts5.sqlite (made by bench_find).

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_people.h"
#include "bench/fts5_baseline.h"
#include "browse/record_text/record_format.h"
#include "store/directories.h"
#include "store/record_database.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--noop") == 0) return 0;
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_fts5_query FOLDER MATCH [--count] | --noop\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool countOnly = argc > 3 && std::strcmp(argv[3], "--count") == 0;
    bench::Fts5Search search(folder + "/fts5.sqlite");
    long count = 0;
    if (!search.Count(argv[2], count)) {
        std::fprintf(stderr, "bench_fts5_query: %s\n", search.Error().c_str());
        return 1;
    }
    std::printf("%ld\n", count);
    if (countOnly) return 0;
    std::vector<std::int64_t> rowids;
    if (!search.First(argv[2], 10, rowids)) return 1;
    CDirectories dirs;
    dirs.SetDataDir(folder.c_str());
    CRecordDatabase database(dirs);
    if (!database.OpenCode(bench::kBenchCode)) return 1;
    for (std::int64_t rowid : rowids) {
        CorEntry cor;
        char raw[record_format::kRawSummarySize];
        char shown[record_format::kSummarySize];
        int first = 0;
        if (database.ReadEntry(static_cast<std::int32_t>(rowid), cor).Failed() ||
            database.ReadSummary(cor.recordOffset, raw, first).Failed()) {
            return 1;
        }
        record_format::BuildDisplayedSummary(bench::kBenchCode, raw, first, shown);
        std::printf("%lld\t%s\t%s\n", static_cast<long long>(rowid), cor.givenNames, shown);
    }
    return 0;
}
