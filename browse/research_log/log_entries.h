#pragma once
// What the research log keeps, as its callers give it and get it back.
// Every text is Windows-1252, as everywhere in the core; the log stores it
// as UTF-8, so that the file reads well in any SQLite tool.

#include <cstdint>
#include <string>
#include <vector>

#include "store/disk_label.h"

namespace research_log {

// The programs that write the log, by the names the log gives them.
enum class LogProgram { Viewer, Query };
inline constexpr char kViewerName[] = "chronara";
inline constexpr char kQueryName[] = "chronara-query";
const char* ProgramName(LogProgram program);

// The database of a search: a stem, or this word for every database.
inline constexpr char kAllDatabases[] = "all";

// Longest texts the log takes and gives back, in bytes; a longer one is
// refused when written and counts as damage when read.
inline constexpr std::size_t kMaxNote = 2000;
inline constexpr std::size_t kMaxAskedPart = 1000;  // a surname, first name, query, field, option
inline constexpr std::size_t kMaxSummary = 200;

// Which disk a person came from. The fingerprint tells one disk from
// another (see disk_identity.h); the label is how the user knows it.
struct DiskIdentity {
    DiskLabel label;
    std::string fingerprint;
};

enum class SearchKind {
    Surname,  // a page of one surname (the Search button, chronara-query's page mode)
    List,     // surnames that match a text (Find Surname, --list)
    Find,     // people by what their records say (Find in Records, --find)
};
// "surname", "list", "find", as the log stores them.
const char* KindName(SearchKind kind);

// What was asked, field by field; the readable text is made of them
// (asked_text.h).
struct AskedSearch {
    SearchKind kind = SearchKind::Surname;
    std::string database = kAllDatabases;  // a stem or kAllDatabases
    // Surname: the surname searched (upper-cased); List: the text matched.
    std::string surname;
    bool hasFirstName = false;
    std::string firstName;
    // Surname: "variants" when name variants were matched. List: the match,
    // "exact", "prefix", "pattern", "soundex", "dm" or "close". Words the
    // program does not know are kept and shown as they are.
    std::vector<std::string> options;
    // Find: the query as typed, the field (a heading or a number, empty for
    // every field) and the years (0 when open).
    std::string query;
    std::string field;
    int yearFrom = 0;
    int yearTo = 0;
};

// One search as the log holds it.
struct LoggedSearch {
    std::int64_t id = 0;  // grows with every search logged
    std::string time;     // ISO 8601 with its UTC offset: 2026-12-09T14:03:11+01:00
    std::string program;  // kViewerName or kQueryName
    AskedSearch asked;
    std::string askedText;  // as the user reads it: surname SMITH, first name J
    std::int64_t count = 0;
};

// A person as the result list and More Info know them.
struct PersonOnDisk {
    int code = 0;             // database code 1..14
    std::int32_t entry = -1;  // 0-based entry number, as --find gives it
    std::string surname;      // as the index holds it
    std::string givenNames;
    std::string summary;  // as the result row shows it
};

struct SavedPerson {
    std::int64_t id = 0;
    std::string time;  // when first saved
    PersonOnDisk person;
    std::string note;
    DiskIdentity disk;
    bool ofThisDisk = false;  // saved from the disk the listing was asked for
};

// A person by where the disk holds them, for the seen marks of a page.
struct PersonPlace {
    int code = 0;
    std::int32_t entry = -1;
};

// What the researcher decided about two records: one person, or two.
enum class Sameness { Same, NotSame };
// "same", "not-same", as the log stores them.
const char* SamenessName(Sameness sameness);
// "Same person", "Not the same person", as the viewer's buttons say it.
const char* SamenessText(Sameness sameness);

// A verdict on two records of one disk. The log keeps the pair in one order
// (PairOrder below): first is the record of the lower database code, or of
// the lower entry of one database, whichever way round it was given.
struct PairVerdict {
    std::int64_t id = 0;
    std::string time;  // when given (given again: the latest time)
    Sameness sameness = Sameness::Same;
    PersonOnDisk first;
    PersonOnDisk second;
    std::string note;
    DiskIdentity disk;
    bool ofThisDisk = false;

    // The other record of the pair than place (first when place is neither).
    const PersonOnDisk& OtherThan(const PersonPlace& place) const;
};

// Whether a comes before b in the order a pair is kept in.
bool PairOrder(const PersonPlace& a, const PersonPlace& b);

// The filter of the Research Log window's searches: empty texts filter nothing.
struct SearchFilter {
    std::string database;  // a stem or kAllDatabases: only searches of it
    std::string text;      // only searches whose readable text holds it (any case)
};

}  // namespace research_log
