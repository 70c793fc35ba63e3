#pragma once
// The research log as the user reads it: when, where and what was searched
// and what it found, in words ("Searched SMITH, John in War of 1812 on
// 9 December 2026: nobody"), for the Research Log window, its printed
// report and its CSV file.

#include <string>

#include <QString>

#include "browse/research_log/log_entries.h"

namespace log_report {

// "9 December 2026", from the log's ISO 8601 time; the time itself when it
// is not one.
QString DayOf(const std::string& time);
// "9 December 2026 14:03", in the time's own offset.
QString WhenOf(const std::string& time);
// The database of a search: its title, or "all databases".
QString DatabaseOf(const std::string& database);
// "nobody", "1 person", "23 people"; for a listing "no surname", "1 surname", "4 surnames".
QString FoundOf(const research_log::LoggedSearch& search);
// What was asked, as the user reads it ("SMITH, John", "surnames like SMI
// (prefix)", "the records for "20th maine", years 1863-1865").
QString AskedOf(const research_log::AskedSearch& asked);
// The report's line of one search.
QString LineOf(const research_log::LoggedSearch& search);
// One CSV line (time, program, database, asked, count), CR LF ended.
std::string CsvLineOf(const research_log::LoggedSearch& search);
std::string CsvHeader();

}  // namespace log_report
