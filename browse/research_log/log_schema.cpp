#include "browse/research_log/log_schema.h"

#include <sqlite3.h>

#include <string>

#include "browse/research_log/sqlite_link.h"

namespace research_log {
namespace log_schema {
namespace {

// Version 1: the disks people came from, the searches, the people saved and
// the people seen. A disk is named by its fingerprint itself, never by a
// number a row was given: a number freed by clearing the log could be
// given to another disk, and its people taken for the first one's.
// Searches are read newest first by id, whole or of one database (the
// history an edit box walks); a page's seen marks are point lookups of the
// primary key.
constexpr char kVersion1[] = R"sql(
CREATE TABLE disks(
  fingerprint TEXT PRIMARY KEY,
  name TEXT NOT NULL,
  version TEXT NOT NULL DEFAULT ''
);
CREATE TABLE searches(
  id INTEGER PRIMARY KEY,
  time TEXT NOT NULL,
  program TEXT NOT NULL,
  database TEXT NOT NULL,
  kind TEXT NOT NULL,
  surname TEXT NOT NULL DEFAULT '',
  first_name TEXT,
  options TEXT NOT NULL DEFAULT '',
  query TEXT NOT NULL DEFAULT '',
  field TEXT NOT NULL DEFAULT '',
  year_from INTEGER NOT NULL DEFAULT 0,
  year_to INTEGER NOT NULL DEFAULT 0,
  asked TEXT NOT NULL,
  count INTEGER NOT NULL,
  disk TEXT REFERENCES disks(fingerprint)
);
CREATE INDEX searches_of_database ON searches(database, kind, id);
CREATE TABLE saved_people(
  id INTEGER PRIMARY KEY,
  disk TEXT NOT NULL REFERENCES disks(fingerprint),
  database TEXT NOT NULL,
  entry INTEGER NOT NULL,
  surname TEXT NOT NULL,
  given_names TEXT NOT NULL DEFAULT '',
  summary TEXT NOT NULL DEFAULT '',
  note TEXT NOT NULL DEFAULT '',
  time TEXT NOT NULL,
  UNIQUE(disk, database, entry)
);
CREATE TABLE seen(
  disk TEXT NOT NULL REFERENCES disks(fingerprint),
  database TEXT NOT NULL,
  entry INTEGER NOT NULL,
  time TEXT NOT NULL,
  PRIMARY KEY(disk, database, entry)
) WITHOUT ROWID;
)sql";

// Version 2: what the researcher decided about two records of a disk, the
// same person or not. The pair is kept in one order (log_verdicts.h), so
// that it has one row whichever record it was decided from; the names and
// summaries are kept with it, so that the Research Log window lists it
// without the disk. A person's verdicts are read from either side.
constexpr char kVersion2[] = R"sql(
CREATE TABLE verdicts(
  id INTEGER PRIMARY KEY,
  disk TEXT NOT NULL REFERENCES disks(fingerprint),
  database1 TEXT NOT NULL,
  entry1 INTEGER NOT NULL,
  surname1 TEXT NOT NULL,
  given_names1 TEXT NOT NULL DEFAULT '',
  summary1 TEXT NOT NULL DEFAULT '',
  database2 TEXT NOT NULL,
  entry2 INTEGER NOT NULL,
  surname2 TEXT NOT NULL,
  given_names2 TEXT NOT NULL DEFAULT '',
  summary2 TEXT NOT NULL DEFAULT '',
  verdict TEXT NOT NULL,
  note TEXT NOT NULL DEFAULT '',
  time TEXT NOT NULL,
  UNIQUE(disk, database1, entry1, database2, entry2)
);
CREATE INDEX verdicts_of_second ON verdicts(disk, database2, entry2);
)sql";

const char* const kSteps[kCurrentVersion] = {kVersion1, kVersion2};

}  // namespace

int ApplyStep(CSqliteConnection& connection, int toVersion) {
    if (toVersion < 1 || toVersion > kCurrentVersion) return SQLITE_MISUSE;
    const int code = connection.Execute(kSteps[toVersion - 1]);
    if (code != SQLITE_OK) return code;
    return connection.Execute(("PRAGMA user_version = " + std::to_string(toVersion)).c_str());
}

int Migrate(CSqliteConnection& connection, std::int64_t from) {
    for (std::int64_t version = from + 1; version <= kCurrentVersion; ++version) {
        const int code = ApplyStep(connection, static_cast<int>(version));
        if (code != SQLITE_OK) return code;
    }
    return connection.Execute(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
}

}  // namespace log_schema
}  // namespace research_log
