#pragma once
// The raw summary of a record: its first (up to) three non-blank fields,
// each with trailing blanks removed and followed by the separator 0xFF 0x20,
// stopped after about 30 bytes with "..." when the record goes on.
//
// One walk serves the .ext stream (CRecordDatabase::ReadSummary) and any
// other byte source, such as a record already in memory.

#include <cstddef>

#include "store/disk_format.h"

// nextByte() yields the record's next byte as 0..255, or -1 at its end.
// out: at least 35 bytes. Returns the first byte read (-1 when there was none).
template <typename NextByte>
int BuildRawSummary(NextByte&& nextByte, char* out) {
    constexpr int kFieldEnd = disk_format::kFieldEnd;
    constexpr int kMaxKeptFields = 3;
    constexpr std::size_t kSummaryLimit = 30;
    // n stays at most 31 before the tail: each pass adds at most two bytes
    // and the loop stops once n reaches 30, so out needs 31 + "..." + NUL = 35.
    std::size_t n = 0;
    std::size_t fieldStart = 0;
    int kept = 0;
    int firstByte = -2;
    for (;;) {
        const int b = nextByte();
        if (firstByte == -2) firstByte = b;
        if (b < 0) break;
        if (b != kFieldEnd) {
            out[n++] = static_cast<char>(b);
        } else {
            // Trailing blanks of the field go; a field of nothing but
            // blanks is dropped and does not count.
            while (n > fieldStart && out[n - 1] == ' ') --n;
            if (n > fieldStart) {
                out[n++] = static_cast<char>(kFieldEnd);
                out[n++] = ' ';
                ++kept;
            }
            fieldStart = n;
        }
        if (b == disk_format::kRecordEnd) {
            out[n] = '\0';
            return firstByte;
        }
        if (kept >= kMaxKeptFields || n >= kSummaryLimit) break;
    }
    // One more byte tells whether the record ended exactly here.
    if (nextByte() == disk_format::kRecordEnd) {
        out[n] = '\0';
        return firstByte;
    }
    out[n++] = '.';
    out[n++] = '.';
    out[n++] = '.';
    out[n] = '\0';
    return firstByte < 0 ? -1 : firstByte;
}
