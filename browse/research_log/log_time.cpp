#include "browse/research_log/log_time.h"

#include <cstdio>
#include <cstdlib>

namespace research_log {
namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int low, int high) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return value >= low && value <= high;
}

}  // namespace

std::string LogTime(std::time_t when) {
    struct tm local {};
    if (localtime_r(&when, &local) == nullptr) gmtime_r(&when, &local);
    long offset = local.tm_gmtoff / 60;
    const char sign = offset < 0 ? '-' : '+';
    offset = std::labs(offset);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, sign,
                  offset / 60 % 100, offset % 60);
    return text;
}

bool IsLogTime(std::string_view text) {
    // 2026-12-09T14:03:11+01:00, or ...:11Z
    const bool zulu = text.size() == 20 && text[19] == 'Z';
    if (text.size() != 25 && !zulu) return false;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return false;
    if (!Digits(text, 0, 4, 0, 9999) || !Digits(text, 5, 2, 1, 12) || !Digits(text, 8, 2, 1, 31) ||
        !Digits(text, 11, 2, 0, 23) || !Digits(text, 14, 2, 0, 59) || !Digits(text, 17, 2, 0, 60)) {
        return false;
    }
    if (zulu) return true;
    return (text[19] == '+' || text[19] == '-') && Digits(text, 20, 2, 0, 23) && text[22] == ':' &&
           Digits(text, 23, 2, 0, 59);
}

}  // namespace research_log
