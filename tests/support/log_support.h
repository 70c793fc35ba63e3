#pragma once
// What the research log's tests share: a log in a scratch folder with a
// clock that the test sets, made-up disks and people, and SQLite itself,
// to look into a log or to damage it as a hand or another version would.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "browse/research_log/research_log.h"

namespace testing_support {

// A disk identity of the recipe's form, distinct for each n.
research_log::DiskIdentity MadeUpDisk(int n, const std::string& name = "Chronara data disk");

// Person n of database code (entry n, surname and given names of n).
research_log::PersonOnDisk MadeUpPerson(int code, std::int32_t entry);

// The options of a log at path, with a clock that starts at
// 2026-12-09 10:00:00 UTC and goes on a second at every call.
research_log::LogOptions LogAt(const std::string& path);

// A folder for scratch logs where syncing a file costs nothing (a memory
// file system), when the machine has one; else "" (the temp folder). The
// sweeps close and reopen logs thousands of times, and each close syncs.
std::string QuickScratchParent();

// SQL on the file at path, outside the log: false with error when SQLite
// refused it.
bool RunSql(const std::string& path, const std::string& sql, std::string* error = nullptr);
// The one integer (or text) a query gives; -1 (or "") when it failed.
std::int64_t SqlInteger(const std::string& path, const std::string& sql);
std::string SqlText(const std::string& path, const std::string& sql);

// Makes the tables of version 1 .. version of the log at path, by the
// steps the log takes (a log of that version, as it was made then).
bool ApplySchemaSteps(const std::string& path, int version);

}  // namespace testing_support
