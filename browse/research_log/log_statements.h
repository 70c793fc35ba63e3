#pragma once
// The SQL of the research log's operations, one constant each: the
// connection prepares each once, keyed by the constant itself.

namespace research_log {

class CLogConnection;
struct DiskIdentity;

namespace log_sql {

#define CHRONARA_SEARCH_COLUMNS                                                                           \
    "id, time, program, database, kind, surname, first_name, options, query, field, year_from, year_to, " \
    "asked, "                                                                                             \
    "count"
#define CHRONARA_SAVED_COLUMNS                                                                         \
    "p.id, p.time, p.database, p.entry, p.surname, p.given_names, p.summary, p.note, p.disk, d.name, " \
    "d.version"

inline constexpr char kAddDisk[] =
    "INSERT INTO disks(fingerprint, name, version) VALUES(?1, ?2, ?3) ON CONFLICT(fingerprint) DO NOTHING";
inline constexpr char kAddSearch[] =
    "INSERT INTO searches(time, program, database, kind, surname, first_name, options, query, field, "
    "year_from, "
    "year_to, asked, count, disk) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)";
// ?1 the id searches are older than; ?2 the database ('' for any); ?3 the
// LIKE pattern of the text ('' for any); ?4 how many.
inline constexpr char kSearchesNewest[] = "SELECT " CHRONARA_SEARCH_COLUMNS
                                          " FROM searches WHERE id < ?1 AND (?2 = '' OR database = ?2) AND "
                                          "(?3 = '' OR asked LIKE ?3 ESCAPE '\\') ORDER BY id DESC LIMIT ?4";
inline constexpr char kCountSearches[] =
    "SELECT count(*) FROM searches WHERE (?1 = '' OR database = ?1) AND (?2 = '' OR asked LIKE ?2 ESCAPE "
    "'\\')";
inline constexpr char kAllSearches[] = "SELECT " CHRONARA_SEARCH_COLUMNS " FROM searches ORDER BY id";
// The newest search of each surname and first name of a database.
inline constexpr char kEarlierSearches[] =
    "SELECT " CHRONARA_SEARCH_COLUMNS
    " FROM searches WHERE id IN (SELECT max(id) FROM searches WHERE database = ?1 AND kind = 'surname' "
    "GROUP BY surname, first_name) ORDER BY id DESC LIMIT ?2";

// ?1 disk, ?2 database, ?3 entry, ?4 surname, ?5 given names, ?6 summary,
// ?7 note, ?8 time, ?9 whether the note of a person saved already changes.
inline constexpr char kSavePerson[] =
    "INSERT INTO saved_people(disk, database, entry, surname, given_names, summary, note, time) "
    "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT(disk, database, entry) DO UPDATE SET "
    "note = CASE WHEN ?9 THEN excluded.note ELSE note END RETURNING id";
inline constexpr char kSavedOfDisk[] =
    "SELECT " CHRONARA_SAVED_COLUMNS
    " FROM saved_people AS p LEFT JOIN disks AS d ON d.fingerprint = p.disk "
    "WHERE p.disk = ?1 ORDER BY p.id";
inline constexpr char kSavedAll[] = "SELECT " CHRONARA_SAVED_COLUMNS
                                    " FROM saved_people AS p LEFT JOIN disks AS d ON d.fingerprint = p.disk "
                                    "ORDER BY p.id";
inline constexpr char kSavedAt[] = "SELECT " CHRONARA_SAVED_COLUMNS
                                   " FROM saved_people AS p LEFT JOIN disks AS d ON d.fingerprint = p.disk "
                                   "WHERE p.disk = ?1 AND p.database = ?2 AND p.entry = ?3";
inline constexpr char kSavedById[] = "SELECT " CHRONARA_SAVED_COLUMNS
                                     " FROM saved_people AS p LEFT JOIN disks AS d ON d.fingerprint = p.disk "
                                     "WHERE p.id = ?1";
inline constexpr char kRemoveSaved[] = "DELETE FROM saved_people WHERE id = ?1";
// A removed person back at their id where it is free; a person saved
// again meanwhile keeps the newer row.
inline constexpr char kRestoreSaved[] =
    "INSERT INTO saved_people(id, disk, database, entry, surname, given_names, summary, note, time) "
    "VALUES((SELECT CASE WHEN EXISTS(SELECT 1 FROM saved_people WHERE id = ?1) THEN NULL ELSE ?1 END), "
    "?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9) ON CONFLICT(disk, database, entry) DO NOTHING";

inline constexpr char kMarkSeen[] =
    "INSERT INTO seen(disk, database, entry, time) VALUES(?1, ?2, ?3, ?4) "
    "ON CONFLICT(disk, database, entry) DO UPDATE SET time = excluded.time";
inline constexpr char kSeenAt[] = "SELECT time FROM seen WHERE disk = ?1 AND database = ?2 AND entry = ?3";

inline constexpr char kClearSearches[] = "DELETE FROM searches";
inline constexpr char kClearSeen[] = "DELETE FROM seen";
inline constexpr char kClearSaved[] = "DELETE FROM saved_people";
inline constexpr char kClearDisks[] = "DELETE FROM disks";

#undef CHRONARA_SEARCH_COLUMNS
#undef CHRONARA_SAVED_COLUMNS

}  // namespace log_sql

// Adds disk to the disks the log knows (in the caller's transaction).
int AddDisk(CLogConnection& connection, const DiskIdentity& disk);

}  // namespace research_log
