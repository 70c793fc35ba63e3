#include "tools/query/query_options.h"

#include <algorithm>
#include <cstring>

#include "browse/record_query/record_words.h"
#include "store/catalogue.h"
#include "tools/query/typed_text.h"

namespace query_tool {
namespace {

// The option texts before conversion, as the shell handed them over.
struct RawArguments {
    const char* dataDir = nullptr;
    const char* installDir = nullptr;
    const char* database = nullptr;
    const char* surname = nullptr;
    const char* firstName = nullptr;
    const char* pageSize = nullptr;
    const char* turns = nullptr;
    const char* moreInfo = nullptr;
    const char* record = nullptr;
    const char* cite = nullptr;
    const char* match = nullptr;
    const char* format = nullptr;
    const char* batch = nullptr;
    const char* exportAs = nullptr;
    const char* links = nullptr;
    FindArguments find;
    LogArguments logs;
    bool raw = false;
    bool list = false;
    bool variants = false;
    bool abbreviations = false;
    bool linksAll = false;
};

// Digits only, no sign; value clamped so that a long run of digits cannot overflow.
bool ParseDigits(const char* text, long& value) {
    if (text == nullptr || *text == '\0') return false;
    value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        if (value < 1000000) value = value * 10 + (*p - '0');
    }
    return true;
}

// A row number: digits with an optional minus sign.
bool ParseRowNumber(const char* text, long& value) {
    const bool negative = text[0] == '-';
    if (!ParseDigits(negative ? text + 1 : text, value)) return false;
    if (negative) value = -value;
    return true;
}

// The row of a person option (--more-info ROW and the like), when it is given.
bool TakeRow(const char* option, const char* text, long& row, bool& given, std::string& error) {
    if (text == nullptr) return true;
    if (!ParseRowNumber(text, row)) {
        error = std::string(option) + ": ROW must be a row number";
        return false;
    }
    given = true;
    return true;
}

bool ParseDatabase(const char* text, QueryOptions& options, std::string& error) {
    if (std::strcmp(text, "all") == 0) {
        if (!options.list && !options.find.active && !options.linksAll) {
            error = "--database all lists every database: it needs --list, --find or --links-all";
            return false;
        }
        options.allDatabases = true;
        return true;
    }
    long row = 0;
    if (ParseDigits(text, row)) {
        if (row >= catalogue::kRowCount) {
            error = "--database: a list row must be 0 to 12";
            return false;
        }
        options.row = static_cast<int>(row);
        options.code = catalogue::CodeOfRow(options.row);
        return true;
    }
    const int code = catalogue::CodeOfStem(text);
    if (code == 0) {
        error = std::string("--database: no database is called '") + text + "'";
        return false;
    }
    options.code = code;
    options.row = catalogue::RowOfCode(code);
    return true;
}

// NAME and TEXT: the Windows-1252 text searched (typed_text.h), then 1..limit
// characters; a note for standard error when a letter was searched as another.
bool TakeName(const char* option, const char* text, bool raw, std::size_t limit, std::string& out,
              std::vector<std::string>& notes, std::string& error) {
    std::string note;
    if (!ConvertTypedText(option, text, raw, out, note, error)) return false;
    if (!note.empty()) notes.push_back(note);
    if (out.empty() || out.size() > limit) {
        error = std::string(option) + ": must be 1 to " + std::to_string(limit) + " characters";
        return false;
    }
    return true;
}

// What only one of the two modes takes.
bool CheckModeOptions(const RawArguments& raw, std::string& error) {
    struct Only {
        const char* given;
        const char* name;
    };
    if (raw.list) {
        const Only pageOnly[] = {
            {raw.firstName, "--first-name"}, {raw.pageSize, "--page-size"}, {raw.turns, "--turn"},
            {raw.moreInfo, "--more-info"},   {raw.cite, "--cite"},          {raw.exportAs, "--export"},
            {raw.record, "--record"},        {raw.links, "--links"}};
        for (const Only& only : pageOnly) {
            if (only.given != nullptr) {
                error = std::string(only.name) + " is for a page of people; --list prints surnames";
                return false;
            }
        }
        if (raw.variants) {
            error = "--variants is for a page of people; --list prints surnames";
            return false;
        }
        if (raw.surname != nullptr && raw.batch != nullptr) {
            error = "--batch takes the place of --surname: give one of them";
            return false;
        }
        if (raw.surname == nullptr && raw.batch == nullptr) {
            error = "--list needs --surname or --batch";
            return false;
        }
        return true;
    }
    // --links ROW prints its links as tsv or json, --record ROW its whole record as text or json.
    const Only listOnly[] = {
        {raw.links == nullptr && raw.record == nullptr ? raw.format : nullptr, "--format"},
        {raw.batch, "--batch"}};
    for (const Only& only : listOnly) {
        if (only.given != nullptr) {
            error = std::string(only.name) + " needs --list";
            return false;
        }
    }
    if (raw.record != nullptr && raw.moreInfo != nullptr) {
        error = "--record takes the place of --more-info: give one of them";
        return false;
    }
    if (raw.record != nullptr && raw.links != nullptr) {
        error = "--record and --links each take --format of their own: give one of them";
        return false;
    }
    if (raw.record != nullptr && raw.format != nullptr && std::strcmp(raw.format, "text") != 0 &&
        std::strcmp(raw.format, "json") != 0) {
        error = std::string("--record prints text or json, not '") + raw.format + "'";
        return false;
    }
    if (raw.record != nullptr && raw.format != nullptr && std::strcmp(raw.format, "json") == 0 &&
        raw.cite != nullptr) {
        error = "--format json prints the record alone: it takes no --cite";
        return false;
    }
    if (raw.match != nullptr && std::strcmp(raw.match, "exact") != 0) {
        error = std::string("--match ") + raw.match +
                ": a page shows one surname exactly as typed; use --list to find surnames by " + raw.match;
        return false;
    }
    if (raw.exportAs != nullptr && (raw.turns != nullptr || raw.moreInfo != nullptr || raw.cite != nullptr ||
                                    raw.record != nullptr || raw.links != nullptr)) {
        error =
            "--export prints every person found: it takes no --turn, --more-info, --record, --cite or "
            "--links";
        return false;
    }
    if (raw.surname == nullptr) {
        error = "--surname is required";
        return false;
    }
    if (raw.variants && raw.firstName == nullptr) {
        error = "--variants widens the first-name filter: it needs --first-name";
        return false;
    }
    return true;
}

bool ConvertChoices(const RawArguments& raw, QueryOptions& options, std::string& error) {
    if (raw.match != nullptr && !ParseMatchMode(raw.match, options.match)) {
        error = std::string("--match must be exact, prefix, pattern, soundex, dm or close, not '") +
                raw.match + "'";
        return false;
    }
    if (raw.format != nullptr) {
        if (std::strcmp(raw.format, "text") == 0) {
            options.format = ListFormat::Text;
        } else if (std::strcmp(raw.format, "tsv") == 0) {
            options.format = ListFormat::Tsv;
        } else if (std::strcmp(raw.format, "json") == 0) {
            options.format = ListFormat::Json;
        } else {
            error = std::string("--format must be text, tsv or json, not '") + raw.format + "'";
            return false;
        }
    }
    if (raw.exportAs != nullptr) {
        if (std::strcmp(raw.exportAs, "csv") == 0) {
            options.exportFormat = ExportFormat::Csv;
        } else if (std::strcmp(raw.exportAs, "json") == 0) {
            options.exportFormat = ExportFormat::Json;
        } else if (std::strcmp(raw.exportAs, "gedcom") == 0) {
            options.exportFormat = ExportFormat::Gedcom;
        } else {
            error = std::string("--export must be csv, json or gedcom, not '") + raw.exportAs + "'";
            return false;
        }
    }
    // JSON and the exports are UTF-8 by definition.
    if (raw.raw && (options.exportFormat != ExportFormat::None || options.format == ListFormat::Json)) {
        error = "--raw writes Windows-1252 bytes, but JSON and the exports are UTF-8";
        return false;
    }
    if (raw.batch != nullptr) {
        options.hasBatch = true;
        options.batchFile = raw.batch;
        if (options.batchFile.empty()) {
            error = "--batch needs a file, or - for standard input";
            return false;
        }
    }
    return true;
}

// --data-dir and --install-dir, as every mode takes them.
void TakeFolders(const RawArguments& raw, QueryOptions& options) {
    if (raw.dataDir != nullptr) {
        options.hasDataDir = true;
        options.dataDir = raw.dataDir;
    }
    if (raw.installDir != nullptr) {
        options.hasInstallDir = true;
        options.installDir = raw.installDir;
    }
}

// Find mode takes none of the options of a page or a listing.
bool ConvertFind(const RawArguments& raw, QueryOptions& options, std::string& error) {
    const struct {
        bool given;
        const char* name;
    } others[] = {{raw.list, "--list"},
                  {raw.surname != nullptr, "--surname"},
                  {raw.firstName != nullptr, "--first-name"},
                  {raw.pageSize != nullptr, "--page-size"},
                  {raw.turns != nullptr, "--turn"},
                  {raw.moreInfo != nullptr, "--more-info"},
                  {raw.record != nullptr, "--record"},
                  {raw.exportAs != nullptr, "--export"},
                  {raw.match != nullptr, "--match"},
                  {raw.batch != nullptr, "--batch"}};
    for (const auto& other : others) {
        if (other.given) {
            error = std::string(other.name) + " is not for a record search (--find, --find-batch, --years)";
            return false;
        }
    }
    FindArguments find = raw.find;
    find.format = raw.format;
    find.abbreviations = raw.abbreviations;
    if (!ConvertFindArguments(find, raw.raw, options.find, options.notes, error)) return false;
    if (raw.database == nullptr) {
        error = "--database is required";
        return false;
    }
    if (!ParseDatabase(raw.database, options, error)) return false;
    TakeFolders(raw, options);
    return true;
}

// --links-all: every pair of the databases chosen, with no search of its own.
bool ConvertLinksAll(const RawArguments& raw, QueryOptions& options, std::string& error) {
    const struct {
        bool given;
        const char* name;
    } others[] = {{raw.list, "--list"},
                  {raw.find.Given(), "--find"},
                  {raw.surname != nullptr, "--surname"},
                  {raw.firstName != nullptr, "--first-name"},
                  {raw.pageSize != nullptr, "--page-size"},
                  {raw.turns != nullptr, "--turn"},
                  {raw.moreInfo != nullptr, "--more-info"},
                  {raw.cite != nullptr, "--cite"},
                  {raw.exportAs != nullptr, "--export"},
                  {raw.match != nullptr, "--match"},
                  {raw.batch != nullptr, "--batch"},
                  {raw.links != nullptr, "--links"},
                  {raw.logs.save != nullptr, "--save"},
                  {raw.logs.verdict != nullptr, "--verdict"},
                  {raw.variants, "--variants"},
                  {raw.abbreviations, "--abbreviations"}};
    for (const auto& other : others) {
        if (other.given) {
            error = std::string(other.name) +
                    " is not for --links-all, which links every person of the databases";
            return false;
        }
    }
    options.linksAll = true;
    if (!ConvertChoices(raw, options, error)) return false;
    if (raw.database == nullptr) {
        error = "--database is required";
        return false;
    }
    if (!ParseDatabase(raw.database, options, error)) return false;
    TakeFolders(raw, options);
    return true;
}

// --history and --saved answer from the research log alone: no search.
bool ConvertLogAnswer(const RawArguments& raw, QueryOptions& options, std::string& error) {
    const char* mode = raw.logs.history ? "--history" : "--saved";
    const struct {
        bool given;
        const char* name;
    } searchOnly[] = {{raw.list, "--list"},
                      {raw.variants, "--variants"},
                      {raw.database != nullptr, "--database"},
                      {raw.surname != nullptr, "--surname"},
                      {raw.firstName != nullptr, "--first-name"},
                      {raw.pageSize != nullptr, "--page-size"},
                      {raw.turns != nullptr, "--turn"},
                      {raw.moreInfo != nullptr, "--more-info"},
                      {raw.cite != nullptr, "--cite"},
                      {raw.match != nullptr, "--match"},
                      {raw.batch != nullptr, "--batch"},
                      {raw.exportAs != nullptr, "--export"},
                      {raw.find.find != nullptr, "--find"},
                      {raw.find.findBatch != nullptr, "--find-batch"},
                      {raw.find.field != nullptr, "--field"},
                      {raw.find.years != nullptr, "--years"},
                      {raw.find.limit != nullptr, "--limit"},
                      {raw.find.facet != nullptr, "--facet"},
                      {raw.links != nullptr, "--links"},
                      {raw.linksAll, "--links-all"},
                      {raw.abbreviations, "--abbreviations"}};
    for (const auto& only : searchOnly) {
        if (only.given) {
            error = std::string(only.name) + " is not for " + mode;
            return false;
        }
    }
    options.raw = raw.raw;
    if (!ConvertLogMode(raw.logs, raw.format, raw.raw, options.research, error)) return false;
    TakeFolders(raw, options);
    return true;
}

bool Convert(const RawArguments& raw, QueryOptions& options, std::string& error) {
    if (raw.logs.Mode()) return ConvertLogAnswer(raw, options, error);
    if (raw.logs.save != nullptr &&
        (raw.moreInfo != nullptr || raw.cite != nullptr || raw.exportAs != nullptr)) {
        error = "--save saves a person and prints nothing: it takes no --more-info, --cite or --export";
        return false;
    }
    if (!ConvertLogOfSearch(raw.logs, !raw.list && !raw.find.Given(), raw.raw, options.research, error))
        return false;
    options.raw = raw.raw;
    options.list = raw.list;
    options.variants = raw.variants;
    if (raw.linksAll) return ConvertLinksAll(raw, options, error);
    if (raw.find.Given()) {
        options.find.active = true;
        return ConvertFind(raw, options, error);
    }
    const struct {
        const char* given;
        const char* name;
    } findOnly[] = {{raw.find.field, "--field"},
                    {raw.find.limit, "--limit"},
                    {raw.find.facet, "--facet"},
                    {raw.abbreviations ? "" : nullptr, "--abbreviations"}};
    for (const auto& only : findOnly) {
        if (only.given != nullptr) {
            error = std::string(only.name) + " needs --find, --find-batch or --years";
            return false;
        }
    }
    if (raw.database == nullptr) {
        error = "--database is required";
        return false;
    }
    if (!CheckModeOptions(raw, error) || !ConvertChoices(raw, options, error)) return false;
    if (!ParseDatabase(raw.database, options, error)) return false;
    if (raw.surname != nullptr &&
        !TakeName("--surname", raw.surname, raw.raw, options.list ? kMaxListText : kMaxSurname,
                  options.surname, options.notes, error)) {
        return false;
    }
    // Blanks or punctuation alone match no key: say so rather than "0 records
    // found." (a pattern of wildcards alone lists every surname).
    if (raw.surname != nullptr && !(options.list && options.match == MatchMode::Pattern) &&
        std::none_of(options.surname.begin(), options.surname.end(), record_words::IsWordByte)) {
        error = "--surname: holds no letter or digit";
        return false;
    }
    if (raw.firstName != nullptr) {
        options.hasFirstName = true;
        if (!TakeName("--first-name", raw.firstName, raw.raw, kMaxFirstName, options.firstName, options.notes,
                      error)) {
            return false;
        }
    }
    if (raw.pageSize != nullptr) {
        if (std::strcmp(raw.pageSize, "8") == 0) {
            options.largeText = true;
        } else if (std::strcmp(raw.pageSize, "10") != 0) {
            error = "--page-size must be 8 or 10";
            return false;
        }
    }
    if (raw.turns != nullptr) {
        if (raw.turns[std::strspn(raw.turns, "np")] != '\0') {
            error = "--turn: only the letters n and p";
            return false;
        }
        options.turns = raw.turns;
    }
    if (!TakeRow("--more-info", raw.moreInfo, options.moreInfoRow, options.hasMoreInfo, error) ||
        !TakeRow("--record", raw.record, options.recordRow, options.hasRecord, error) ||
        !TakeRow("--cite", raw.cite, options.citeRow, options.hasCite, error) ||
        !TakeRow("--links", raw.links, options.linksRow, options.hasLinks, error)) {
        return false;
    }
    if (options.research.verdict != LogRequest::Verdict::None && !options.hasLinks) {
        error = "--verdict is on the person of --links ROW: it needs --links";
        return false;
    }
    TakeFolders(raw, options);
    return true;
}

}  // namespace

ParseResult ParseQueryArguments(int argc, const char* const* argv, QueryOptions& options,
                                std::string& error) {
    options = QueryOptions{};
    RawArguments raw;
    struct Valued {
        const char* name;
        const char* RawArguments::*slot;
    };
    static constexpr Valued kValued[] = {
        {"--data-dir", &RawArguments::dataDir},     {"--install-dir", &RawArguments::installDir},
        {"--database", &RawArguments::database},    {"--surname", &RawArguments::surname},
        {"--first-name", &RawArguments::firstName}, {"--page-size", &RawArguments::pageSize},
        {"--turn", &RawArguments::turns},           {"--more-info", &RawArguments::moreInfo},
        {"--record", &RawArguments::record},        {"--match", &RawArguments::match},
        {"--format", &RawArguments::format},        {"--batch", &RawArguments::batch},
        {"--export", &RawArguments::exportAs},      {"--cite", &RawArguments::cite},
        {"--links", &RawArguments::links},
    };
    // The record search's options, kept together with its other texts.
    struct FindValued {
        const char* name;
        const char* FindArguments::*slot;
    };
    static constexpr FindValued kFindValued[] = {
        {"--find", &FindArguments::find},   {"--find-batch", &FindArguments::findBatch},
        {"--field", &FindArguments::field}, {"--years", &FindArguments::years},
        {"--limit", &FindArguments::limit}, {"--facet", &FindArguments::facet},
    };

    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) return ParseResult::Help;
        if (std::strcmp(arg, "--version") == 0) return ParseResult::Version;
        if (std::strcmp(arg, "--list") == 0) {
            if (raw.list) {
                error = "--list given twice";
                return ParseResult::UsageError;
            }
            raw.list = true;
            continue;
        }
        // The options that take no value.
        bool* flag = nullptr;
        if (std::strcmp(arg, "--raw") == 0) flag = &raw.raw;
        if (std::strcmp(arg, "--variants") == 0) flag = &raw.variants;
        if (std::strcmp(arg, "--abbreviations") == 0) flag = &raw.abbreviations;
        if (std::strcmp(arg, "--links-all") == 0) flag = &raw.linksAll;
        if (std::strcmp(arg, "--history") == 0) flag = &raw.logs.history;
        if (std::strcmp(arg, "--saved") == 0) flag = &raw.logs.saved;
        if (std::strcmp(arg, "--all-disks") == 0) flag = &raw.logs.allDisks;
        if (std::strcmp(arg, "--log") == 0) flag = &raw.logs.log;
        if (flag != nullptr) {
            if (*flag) {
                error = std::string(arg) + " given twice";
                return ParseResult::UsageError;
            }
            *flag = true;
            continue;
        }
        // The research log's options with a value.
        const char** logValue = nullptr;
        if (std::strcmp(arg, "--save") == 0) logValue = &raw.logs.save;
        if (std::strcmp(arg, "--note") == 0) logValue = &raw.logs.note;
        if (std::strcmp(arg, "--verdict") == 0) logValue = &raw.logs.verdict;
        if (std::strcmp(arg, "--with") == 0) logValue = &raw.logs.with;
        if (logValue != nullptr) {
            if (*logValue != nullptr) {
                error = std::string(arg) + " given twice";
                return ParseResult::UsageError;
            }
            if (i + 1 >= argc) {
                error = std::string(arg) + " needs a value";
                return ParseResult::UsageError;
            }
            *logValue = argv[++i];
            continue;
        }
        const Valued* match = nullptr;
        for (const Valued& valued : kValued) {
            if (std::strcmp(arg, valued.name) == 0) match = &valued;
        }
        const FindValued* findMatch = nullptr;
        for (const FindValued& valued : kFindValued) {
            if (std::strcmp(arg, valued.name) == 0) findMatch = &valued;
        }
        if (findMatch != nullptr) {
            const char*& slot = raw.find.*(findMatch->slot);
            if (slot != nullptr) {
                error = std::string(findMatch->name) + " given twice";
                return ParseResult::UsageError;
            }
            if (i + 1 >= argc) {
                error = std::string(findMatch->name) + " needs a value";
                return ParseResult::UsageError;
            }
            slot = argv[++i];
            continue;
        }
        if (match == nullptr) {
            error = std::string("unknown argument '") + arg + "'";
            return ParseResult::UsageError;
        }
        if (raw.*(match->slot) != nullptr) {
            error = std::string(match->name) + " given twice";
            return ParseResult::UsageError;
        }
        if (i + 1 >= argc) {
            error = std::string(match->name) + " needs a value";
            return ParseResult::UsageError;
        }
        raw.*(match->slot) = argv[++i];
    }
    return Convert(raw, options, error) ? ParseResult::Run : ParseResult::UsageError;
}

}  // namespace query_tool
