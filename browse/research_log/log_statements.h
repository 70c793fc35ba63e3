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
#define CHRONARA_VERDICT_COLUMNS                                                                            \
    "v.id, v.time, v.verdict, v.database1, v.entry1, v.surname1, v.given_names1, v.summary1, v.database2, " \
    "v.entry2, v.surname2, v.given_names2, v.summary2, v.note, v.disk, d.name, d.version"
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
// The count of a filter with a text reads every search; without one it is
// counted in the index of databases alone, as it is asked at every opening
// of the window and every change of its filter.
inline constexpr char kCountSearches[] =
    "SELECT count(*) FROM searches WHERE (?1 = '' OR database = ?1) AND (?2 = '' OR asked LIKE ?2 ESCAPE "
    "'\\')";
inline constexpr char kCountAllSearches[] = "SELECT count(*) FROM searches";
inline constexpr char kCountSearchesOf[] = "SELECT count(*) FROM searches WHERE database = ?1";
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

// ?1 disk, ?2..?6 the first record (database, entry, surname, given names,
// summary), ?7..?11 the second, ?12 the verdict, ?13 note, ?14 time, ?15
// whether the note of a pair decided already changes.
inline constexpr char kSetVerdict[] =
    "INSERT INTO verdicts(disk, database1, entry1, surname1, given_names1, summary1, database2, entry2, "
    "surname2, given_names2, summary2, verdict, note, time) "
    "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14) "
    "ON CONFLICT(disk, database1, entry1, database2, entry2) DO UPDATE SET verdict = excluded.verdict, "
    "time = excluded.time, surname1 = excluded.surname1, given_names1 = excluded.given_names1, "
    "summary1 = excluded.summary1, surname2 = excluded.surname2, given_names2 = excluded.given_names2, "
    "summary2 = excluded.summary2, note = CASE WHEN ?15 THEN excluded.note ELSE note END RETURNING id";
#define CHRONARA_VERDICTS_FROM " FROM verdicts AS v LEFT JOIN disks AS d ON d.fingerprint = v.disk "
inline constexpr char kVerdictsOfDisk[] =
    "SELECT " CHRONARA_VERDICT_COLUMNS CHRONARA_VERDICTS_FROM "WHERE v.disk = ?1 ORDER BY v.id";
inline constexpr char kVerdictsAll[] =
    "SELECT " CHRONARA_VERDICT_COLUMNS CHRONARA_VERDICTS_FROM "ORDER BY v.id";
inline constexpr char kVerdictOn[] = "SELECT " CHRONARA_VERDICT_COLUMNS CHRONARA_VERDICTS_FROM
                                     "WHERE v.disk = ?1 AND v.database1 = ?2 AND v.entry1 = ?3 AND "
                                     "v.database2 = ?4 AND v.entry2 = ?5";
// Either side of the pair: the unique key serves the first, an index the second.
inline constexpr char kVerdictsOfPerson[] =
    "SELECT " CHRONARA_VERDICT_COLUMNS CHRONARA_VERDICTS_FROM
    "WHERE v.disk = ?1 AND ((v.database1 = ?2 AND v.entry1 = ?3) OR (v.database2 = ?2 AND v.entry2 = ?3)) "
    "ORDER BY v.id";
inline constexpr char kVerdictById[] =
    "SELECT " CHRONARA_VERDICT_COLUMNS CHRONARA_VERDICTS_FROM "WHERE v.id = ?1";
inline constexpr char kRemoveVerdict[] = "DELETE FROM verdicts WHERE id = ?1";
// A removed verdict back at its id where it is free; a pair decided again
// meanwhile keeps the newer verdict.
inline constexpr char kRestoreVerdict[] =
    "INSERT INTO verdicts(id, disk, database1, entry1, surname1, given_names1, summary1, database2, entry2, "
    "surname2, given_names2, summary2, verdict, note, time) "
    "VALUES((SELECT CASE WHEN EXISTS(SELECT 1 FROM verdicts WHERE id = ?1) THEN NULL ELSE ?1 END), "
    "?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15) "
    "ON CONFLICT(disk, database1, entry1, database2, entry2) DO NOTHING";
#undef CHRONARA_VERDICTS_FROM

inline constexpr char kClearVerdicts[] = "DELETE FROM verdicts";
inline constexpr char kClearSearches[] = "DELETE FROM searches";
inline constexpr char kClearSeen[] = "DELETE FROM seen";
inline constexpr char kClearSaved[] = "DELETE FROM saved_people";
inline constexpr char kClearDisks[] = "DELETE FROM disks";

#undef CHRONARA_SEARCH_COLUMNS
#undef CHRONARA_SAVED_COLUMNS
#undef CHRONARA_VERDICT_COLUMNS

}  // namespace log_sql

// Adds disk to the disks the log knows (in the caller's transaction).
int AddDisk(CLogConnection& connection, const DiskIdentity& disk);

}  // namespace research_log
