#pragma once
// What the research log is given, checked before anything is written:
// what it cannot keep is refused with the reason, so that every entry it
// writes reads back (log_rows.h).

#include <cstdint>
#include <string>

#include "browse/research_log/log_entries.h"
#include "browse/research_log/log_outcome.h"

namespace research_log {
namespace log_checks {

// Each false after putting the reason into outcome (kind Refused).
bool CheckAsked(const AskedSearch& asked, std::int64_t count, LogOutcome& outcome, const std::string& path);
bool CheckDisk(const DiskIdentity& disk, LogOutcome& outcome, const std::string& path);
bool CheckPlace(int code, std::int32_t entry, LogOutcome& outcome, const std::string& path);
// note may be null (not given).
bool CheckPerson(const PersonOnDisk& person, const std::string* note, LogOutcome& outcome,
                 const std::string& path);
bool Refuse(LogOutcome& outcome, const std::string& path, const std::string& why);

// The outcome of a write asked for while the log is turned off.
LogOutcome TurnedOff(const std::string& path);

// The summary is what the row showed, kept to be read again: a control
// character in it (a record may hold a tab) is kept as a blank.
std::string KeptSummary(std::string summary);

}  // namespace log_checks
}  // namespace research_log
