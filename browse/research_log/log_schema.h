#pragma once
// The tables of the research log and how a log of any earlier version is
// brought to this one.
//
// PRAGMA user_version is the version of the tables; PRAGMA application_id
// marks the file as a research log, so that another program's database at
// the log's path is told from a log. Version 0 is a file without tables
// (new, or empty). Each later version is one step, run in the transaction
// that opens the log (BEGIN IMMEDIATE, so two programs never both run it),
// and a step only ever adds: a table, an index, a column with a default.
//
// A person is everywhere the triple (disk, database, entry): the disk's
// fingerprint (its row in disks), the database's stem, the 0-based entry.
// Version 2 keeps what the researcher decided about two records (the same
// person, or not): a table of two such places with the verdict, a note and
// the time, unique on the pair.

#include <cstdint>

namespace research_log {

class CSqliteConnection;

namespace log_schema {

inline constexpr std::int64_t kApplicationId = 0x4368524C;  // "ChRL"
inline constexpr int kCurrentVersion = 2;

// Runs the step that takes a log of version toVersion - 1 to toVersion
// (1 .. kCurrentVersion) and sets user_version; the caller holds the
// transaction. An SQLite result code.
int ApplyStep(CSqliteConnection& connection, int toVersion);

// Every step from version from to kCurrentVersion, and the application id.
int Migrate(CSqliteConnection& connection, std::int64_t from);

}  // namespace log_schema
}  // namespace research_log
