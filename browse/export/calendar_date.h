#pragma once
// A day of the Gregorian calendar: the date an export is made or a record
// consulted, and the dates that records state.

#include <cstdint>
#include <string>

struct CalendarDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

namespace calendar_date {

// True for a day that exists (years 1 to 9999).
bool IsValid(const CalendarDate& date);

// The day in UTC that a count of seconds since 1970-01-01 falls on.
CalendarDate FromUnixSeconds(std::int64_t seconds);

// Today, in the local time zone.
CalendarDate Today();

// "January" .. "December"; "" outside 1..12.
const char* MonthName(int month);

// The month a word names (its English name or its first three letters, any
// case, a closing '.' allowed), or 0.
int MonthOfName(const std::string& word);

// "3 JAN 2026", the form of family-tree files.
std::string AsGedcom(const CalendarDate& date);

// "3 January 2026", the form of citations.
std::string AsWords(const CalendarDate& date);

}  // namespace calendar_date
