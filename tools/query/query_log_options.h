#pragma once
// The command line of chronara-query's research log: --history and --saved
// (modes of their own), --save ROW and --note TEXT (page mode), --log (a
// page, a listing or a record search logs itself) and --all-disks.

#include <cstdint>
#include <string>

namespace query_tool {

enum class LogMode { None, History, Saved };
enum class LogFormat { Tsv, Json, Csv, Gedcom };

// The option texts as the shell handed them over.
struct LogArguments {
    bool history = false;
    bool saved = false;
    bool allDisks = false;
    bool log = false;
    const char* save = nullptr;
    const char* note = nullptr;
    const char* verdict = nullptr;  // --verdict same|not-same|none
    const char* with = nullptr;     // --with DB:ENTRY
    bool Mode() const { return history || saved; }
};

struct LogRequest {
    LogMode mode = LogMode::None;
    LogFormat format = LogFormat::Tsv;
    bool allDisks = false;
    bool log = false;  // --log: the search is kept in the research log
    bool hasSave = false;
    long saveRow = 0;
    bool hasNote = false;
    std::string note;  // Windows-1252
    // --verdict on the person of --links ROW and the record --with names.
    enum class Verdict { None, Same, NotSame, Forget };
    Verdict verdict = Verdict::None;
    int withCode = 0;
    std::int32_t withEntry = -1;
};

// --history and --saved with the --format given (null: tsv). raw: --raw was
// given (Windows-1252 bytes in tsv). False with error on a usage error.
bool ConvertLogMode(const LogArguments& arguments, const char* format, bool raw, LogRequest& request,
                    std::string& error);

// --save, --verdict, --with, --note and --log of a page (page true), a
// listing or a record search; --all-disks belongs to --saved alone.
bool ConvertLogOfSearch(const LogArguments& arguments, bool page, bool raw, LogRequest& request,
                        std::string& error);

}  // namespace query_tool
