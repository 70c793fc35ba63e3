#pragma once
// One row of a result page, and one record of history.buf: 300 bytes.

#include <cstdint>

struct PageRow {
    std::int32_t extOffset;  // little-endian on disk; the hosts we build for are little-endian
    char givenNames[255];    // NUL-terminated, as stored in the .cor entry
    char summary[41];        // NUL-terminated displayed summary
};

static_assert(sizeof(PageRow) == 300, "a page row is exactly one history.buf record");
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "history.buf rows are read straight into memory; a big-endian host needs byte swapping"
#endif
