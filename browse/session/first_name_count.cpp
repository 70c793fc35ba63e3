#include "browse/session/first_name_count.h"

#include <algorithm>
#include <vector>

#include "browse/session/first_name_test.h"
#include "store/record_database.h"

namespace first_name_count {
namespace {

// Entries are read in runs of this many.
constexpr std::int32_t kRun = 2048;

}  // namespace

StoreError Count(const CDirectories& dirs, const std::vector<ListedSurname>& matches, const char* firstName,
                 bool variants, std::vector<std::int32_t>& kept) {
    kept.assign(matches.size(), 0);
    CRecordDatabase database(dirs);
    std::vector<char> run;
    for (std::size_t m = 0; m < matches.size(); ++m) {
        const ListedSurname& match = matches[m];
        const OpenResult opened = database.OpenCode(match.code);
        if (!opened) {
            kept.clear();
            return opened.error;
        }
        const std::int32_t width =
            std::clamp<std::int32_t>(database.NameWidth(), 0, disk_format::kMaxNameWidth);
        const CFirstNameTest test(firstName, static_cast<std::size_t>(width), variants);
        const auto entrySize = static_cast<std::size_t>(database.EntrySize());
        run.resize(static_cast<std::size_t>(kRun) * entrySize);
        // The range the search of the surname walks, found as it finds it.
        const EntryRange range = database.FindRange(match.surname.c_str());
        if (range.error.Failed()) {
            kept.clear();
            return range.error;
        }
        if (!range.found) continue;
        const std::int64_t end = static_cast<std::int64_t>(range.first) + range.count;
        for (std::int64_t at = range.first; at >= 0 && at < end;) {
            const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(end - at, kRun));
            const StoreError error = database.ReadEntryBytes(static_cast<std::int32_t>(at), n, run.data());
            if (error.Failed()) {
                kept.clear();
                return error;
            }
            for (std::int32_t i = 0; i < n; ++i) {
                const char* entry = run.data() + static_cast<std::size_t>(i) * entrySize;
                if (test.Passes(entry + disk_format::kEntryOffsetSize)) ++kept[m];
            }
            at += n;
        }
    }
    return StoreError{};
}

}  // namespace first_name_count
