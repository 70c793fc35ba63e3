// The short read of a record behind a result row's summary: up to three
// non-blank fields, stopped after about 30 bytes.

#include <cstddef>

#include "store/record_database.h"

namespace {

constexpr int kFieldEnd = 0xFF;
constexpr int kMaxKeptFields = 3;
constexpr std::size_t kSummaryLimit = 30;

}  // namespace

void CRecordDatabase::ReadSummary(std::int32_t offset, char* out) {
    // n stays at most 31 before the tail: each pass adds at most two bytes
    // and the loop stops once n reaches 30, so out needs 31 + "..." + NUL = 35.
    std::size_t n = 0;
    std::size_t fieldStart = 0;
    int kept = 0;
    summaryFirstByte_ = -1;

    // An unreadable position reads like the end of the file.
    if (recordStream_.IsOpen() && offset >= 0 && recordStream_.Seek(offset)) {
        bool first = true;
        for (;;) {
            const int b = recordStream_.GetByte();
            if (first) {
                summaryFirstByte_ = b;
                first = false;
            }
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
            if (b == '\n') {
                out[n] = '\0';
                return;
            }
            if (kept >= kMaxKeptFields || n >= kSummaryLimit) break;
        }
        // One more byte tells whether the record ended exactly here.
        if (recordStream_.GetByte() == '\n') {
            out[n] = '\0';
            return;
        }
    }
    out[n++] = '.';
    out[n++] = '.';
    out[n++] = '.';
    out[n] = '\0';
}
