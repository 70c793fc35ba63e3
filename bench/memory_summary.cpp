#include "bench/memory_summary.h"

namespace bench {

int RawSummaryOf(const unsigned char* record, std::size_t size, char* out) {
    constexpr int kFieldEnd = 0xFF;
    std::size_t at = 0;
    auto next = [&]() { return at < size ? static_cast<int>(record[at++]) : -1; };
    const int firstByte = size > 0 ? record[0] : -1;
    std::size_t n = 0;
    std::size_t fieldStart = 0;
    int kept = 0;
    for (;;) {
        const int b = next();
        if (b < 0) break;
        if (b != kFieldEnd) {
            out[n++] = static_cast<char>(b);
        } else {
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
            return firstByte;
        }
        if (kept >= 3 || n >= 30) {
            if (next() == '\n') {
                out[n] = '\0';
                return firstByte;
            }
            break;
        }
    }
    out[n++] = '.';
    out[n++] = '.';
    out[n++] = '.';
    out[n] = '\0';
    return firstByte;
}

}  // namespace bench
