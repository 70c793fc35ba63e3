#include "browse/export/calendar_date.h"

#include <ctime>

namespace calendar_date {
namespace {

const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysIn(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(const std::string& word, const char* name, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (Lower(word[i]) != Lower(name[i])) return false;
    }
    return true;
}

}  // namespace

bool IsValid(const CalendarDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysIn(date.year, date.month);
}

CalendarDate FromUnixSeconds(std::int64_t seconds) {
    // Days to a civil date (the proleptic Gregorian calendar), after
    // H. Hinnant's algorithm: exact for every day, with no time zone involved.
    std::int64_t days = seconds / 86400;
    if (seconds % 86400 < 0) --days;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
    CalendarDate date;
    date.day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    date.month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

CalendarDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return FromUnixSeconds(static_cast<std::int64_t>(now));
    return CalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

const char* MonthName(int month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : ""; }

int MonthOfName(const std::string& word) {
    std::string letters = word;
    if (!letters.empty() && letters.back() == '.') letters.pop_back();
    for (int month = 1; month <= 12; ++month) {
        const std::string name = kMonths[month - 1];
        if (letters.size() == name.size() && SameLetters(letters, name.c_str(), name.size())) return month;
        // "Jan." and "Jan", but not "Ja" or "Janu".
        if (letters.size() == 3 && SameLetters(letters, name.c_str(), 3)) return month;
    }
    return 0;
}

std::string AsGedcom(const CalendarDate& date) {
    std::string month = std::string(MonthName(date.month)).substr(0, 3);
    for (char& c : month) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return std::to_string(date.day) + " " + month + " " + std::to_string(date.year);
}

std::string AsWords(const CalendarDate& date) {
    return std::to_string(date.day) + " " + MonthName(date.month) + " " + std::to_string(date.year);
}

}  // namespace calendar_date
