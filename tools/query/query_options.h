#pragma once
// The command line of chronara-query, checked and turned into one request.

#include <string>
#include <vector>

#include "browse/names/surname_match.h"
#include "browse/session/search_session.h"
#include "tools/query/query_find_options.h"
#include "tools/query/query_log_options.h"

namespace query_tool {

// Longest surname and first name, in Windows-1252 characters.
inline constexpr std::size_t kMaxSurname = CSearchSession::kMaxSurname;
inline constexpr std::size_t kMaxFirstName = CSearchSession::kMaxFirstName;
// Longest text a listing matches (a pattern may be longer than any key).
inline constexpr std::size_t kMaxListText = 50;

enum class ListFormat { Text, Tsv, Json };
enum class ExportFormat { None, Csv, Json, Gedcom };

struct QueryOptions {
    bool hasDataDir = false;
    std::string dataDir;
    bool hasInstallDir = false;
    std::string installDir;
    int code = 0;         // database code 1..14
    int row = -1;         // combo row that selects it, -1 when none does
    std::string surname;  // Windows-1252
    bool hasFirstName = false;
    std::string firstName;   // Windows-1252
    bool variants = false;   // the first-name filter also keeps name variants and initials
    bool largeText = false;  // page size 8 instead of 10
    std::string turns;       // letters n and p
    bool hasMoreInfo = false;
    long moreInfoRow = 0;
    bool hasCite = false;
    long citeRow = 0;
    // --record ROW: the whole record of a row, as text or (--format json) one object.
    bool hasRecord = false;
    long recordRow = 0;
    bool raw = false;
    // --links ROW: the people of the disk who may be the person at ROW.
    bool hasLinks = false;
    long linksRow = 0;
    // --links-all: every pair of the databases chosen (--database, or all).
    bool linksAll = false;
    // List mode.
    bool list = false;
    bool allDatabases = false;  // --database all
    MatchMode match = MatchMode::Exact;
    ListFormat format = ListFormat::Text;  // of a listing, and of --record (text or json)
    bool hasBatch = false;
    std::string batchFile;  // "-" for standard input
    // Page mode: every hit instead of a page.
    ExportFormat exportFormat = ExportFormat::None;
    // Lines for standard error that say which typed letters are searched as others.
    std::vector<std::string> notes;
    // Find mode (--find, --find-batch, --years): the record search.
    FindOptions find;
    // The research log: --history, --saved, --save, --log.
    LogRequest research;
};

enum class ParseResult { Run, Help, Version, UsageError };

// Reads argv[1..argc-1]. On UsageError, error says what is wrong.
ParseResult ParseQueryArguments(int argc, const char* const* argv, QueryOptions& options, std::string& error);

}  // namespace query_tool
