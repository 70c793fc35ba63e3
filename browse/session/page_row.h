#pragma once
// One row of a result page, and one record of history.buf: 300 bytes.

#include <cstdint>

#include "store/disk_format.h"

struct PageRow {
    std::int32_t extOffset;  // little-endian on disk; the hosts we build for are little-endian
    char givenNames[disk_format::kHistoryNamesSize];  // NUL-terminated, as stored in the .cor entry
    char summary[disk_format::kHistorySummarySize];   // NUL-terminated displayed summary
};

static_assert(sizeof(PageRow) == disk_format::kHistoryRowSize,
              "a page row is exactly one history.buf record");
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "history.buf rows are read straight into memory; a big-endian host needs byte swapping"
#endif
