#pragma once
// The times the research log keeps: ISO 8601 in local time with its UTC
// offset (2026-12-09T14:03:11+01:00), so that a reader sees the hour the
// user saw and can still order times of different zones.

#include <ctime>
#include <string>
#include <string_view>

namespace research_log {

// The local time of when, with its offset.
std::string LogTime(std::time_t when);

// Whether text is a time as LogTime writes it (or with "Z" for the offset):
// what the log reads back is checked, as a hand-edited log may hold anything.
bool IsLogTime(std::string_view text);

}  // namespace research_log
