#include "bench/memory_summary.h"

#include "store/raw_summary.h"

namespace bench {

int RawSummaryOf(const unsigned char* record, std::size_t size, char* out) {
    std::size_t at = 0;
    return BuildRawSummary([&]() { return at < size ? static_cast<int>(record[at++]) : -1; }, out);
}

}  // namespace bench
