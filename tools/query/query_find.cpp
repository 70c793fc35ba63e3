#include "tools/query/query_find.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "browse/export/gedcom_writer.h"
#include "browse/names/surname_listing.h"
#include "browse/record_search/record_search.h"
#include "browse/record_text/search_messages.h"
#include "browse/word_index/word_index_cache.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "store/disk_label.h"
#include "tools/query/query_batch.h"
#include "tools/query/query_find_output.h"
#include "tools/query/query_gedcom.h"
#include "tools/query/query_options.h"
#include "tools/query/query_run.h"
#include "tools/query/typed_text.h"

namespace query_tool {
namespace {

// Longest query text, in Windows-1252 characters.
constexpr std::size_t kMaxQueryText = 1000;

// The text typed for option (typed_text.h), at most kMaxQueryText characters;
// a note when a letter is searched as another.
bool TakeText(const char* option, const char* text, bool raw, std::string& out,
              std::vector<std::string>& notes, std::string& error) {
    std::string note;
    if (!ConvertTypedText(option, text, raw, out, note, error)) return false;
    if (!note.empty()) notes.push_back(note);
    if (out.size() > kMaxQueryText) {
        error = std::string(option) + ": at most " + std::to_string(kMaxQueryText) + " characters";
        return false;
    }
    return true;
}

bool ParseFormat(const char* text, FindFormat& format, std::string& error) {
    static const struct {
        const char* name;
        FindFormat format;
    } kFormats[] = {{"text", FindFormat::Text}, {"tsv", FindFormat::Tsv},     {"json", FindFormat::Json},
                    {"csv", FindFormat::Csv},   {"count", FindFormat::Count}, {"gedcom", FindFormat::Gedcom}};
    for (const auto& known : kFormats) {
        if (std::strcmp(text, known.name) == 0) {
            format = known.format;
            return true;
        }
    }
    error = std::string("--format must be text, tsv, json, csv, count or gedcom, not '") + text + "'";
    return false;
}

// A progress line on standard error while an index is built, when it is a terminal.
class ProgressLine {
public:
    ProgressLine() : shown_(isatty(2) == 1) {}
    ~ProgressLine() { Clear(); }
    void Show(const FindProgress& progress) {
        if (!shown_ || progress.total <= 0) return;
        const long percent = static_cast<long>(progress.done * 100 / progress.total);
        if (percent == last_ && progress.code == code_) return;
        last_ = percent;
        code_ = progress.code;
        std::fprintf(stderr, "\rchronara-query: indexing %s: %ld%%\x1b[K",
                     catalogue::NameOfCode(progress.code), percent);
        std::fflush(stderr);
        written_ = true;
    }
    void Clear() {
        if (!written_) return;
        std::fputs("\r\x1b[K", stderr);
        std::fflush(stderr);
        written_ = false;
    }

private:
    bool shown_;
    bool written_ = false;
    long last_ = -1;
    int code_ = 0;
};

struct NamedQuery {
    std::string text;
    record_query::Query query;
};

bool CollectQueries(const QueryOptions& options, std::vector<NamedQuery>& queries) {
    const FindOptions& find = options.find;
    if (!find.hasBatch) {
        const record_query::Parsed parsed = record_query::Parse(find.text, find.years);
        queries.push_back(NamedQuery{find.text, parsed.query});
        return true;  // checked with the options
    }
    std::vector<BatchText> lines;
    if (!ReadBatchLines("--find-batch", find.batchFile, options.raw, kMaxQueryText, "query", lines))
        return false;
    for (const BatchText& line : lines) {
        const record_query::Parsed parsed = record_query::Parse(line.text, find.years);
        if (!parsed.ok) {
            Complain(BatchPlace(find.batchFile, line.line) + parsed.error);
            return false;
        }
        queries.push_back(NamedQuery{line.text, parsed.query});
    }
    return true;
}

// The exit status of a search that did not end Done, after its message.
int StatusOf(const FindOutcome& outcome) {
    switch (outcome.status) {
        case FindStatus::Done:
            return kExitSearched;
        case FindStatus::UsageError:
            Complain(outcome.usage);
            return kExitFailed;
        case FindStatus::NoDisk:
        case FindStatus::Cancelled:
            return kExitFailed;
        case FindStatus::Failed:
            break;
    }
    Complain(search_messages::MessageOf(outcome.error));
    return ExitStatusOf(outcome.error);
}

}  // namespace

bool ConvertFindArguments(const FindArguments& arguments, bool raw, FindOptions& find,
                          std::vector<std::string>& notes, std::string& error) {
    find = FindOptions{};
    find.active = true;
    if (arguments.find != nullptr && arguments.findBatch != nullptr) {
        error = "--find-batch takes the place of --find: give one of them";
        return false;
    }
    if (arguments.format != nullptr && !ParseFormat(arguments.format, find.format, error)) return false;
    if (raw && (find.format == FindFormat::Json || find.format == FindFormat::Csv ||
                find.format == FindFormat::Gedcom)) {
        error = "--raw writes Windows-1252 bytes, but JSON, CSV and GEDCOM are UTF-8";
        return false;
    }
    // One family-tree file holds the people of one query.
    if (find.format == FindFormat::Gedcom && arguments.findBatch != nullptr) {
        error = "--format gedcom takes one query: give --find, not --find-batch";
        return false;
    }
    if (arguments.years != nullptr && !record_query::ParseYears(arguments.years, find.years, error))
        return false;
    if (arguments.field != nullptr) {
        record_fields::FieldChoice choice;
        if (!TakeText("--field", arguments.field, raw, find.field, notes, error) ||
            !record_fields::ParseFieldChoice(find.field, choice, error)) {
            return false;
        }
        find.hasField = true;
    }
    if (arguments.limit != nullptr) {
        const char* text = arguments.limit;
        const bool digits = *text != '\0' && text[std::strspn(text, "0123456789")] == '\0';
        if (!digits || std::strlen(text) > 9 || std::strtol(text, nullptr, 10) < 1) {
            error = std::string("--limit takes a number of people from 1, not '") + text + "'";
            return false;
        }
        find.limit = std::strtol(text, nullptr, 10);
    }
    if (arguments.findBatch != nullptr) {
        find.hasBatch = true;
        find.batchFile = arguments.findBatch;
        if (find.batchFile.empty()) {
            error = "--find-batch needs a file, or - for standard input";
            return false;
        }
        return true;
    }
    if (arguments.find != nullptr && !TakeText("--find", arguments.find, raw, find.text, notes, error))
        return false;
    const record_query::Parsed parsed = record_query::Parse(find.text, find.years);
    if (!parsed.ok) {
        error = "--find: " + parsed.error;
        return false;
    }
    return true;
}

int RunFind(const QueryOptions& options) {
    const FindOptions& find = options.find;
    std::vector<NamedQuery> queries;
    if (!CollectQueries(options, queries)) return kExitFailed;
    CitationContext cited;
    if (find.format == FindFormat::Gedcom && !DateOfRun(cited.date)) return kExitFailed;

    RecordSearchRequest request;
    std::string error;
    if (find.hasField) record_fields::ParseFieldChoice(find.field, request.field, error);
    request.codes = options.allDatabases ? catalogue::EveryDatabase() : std::vector<int>{options.code};
    request.skipMissing = options.allDatabases;
    request.prompt = DiskPromptOfTool();
    if (!CRecordSearch::CheckField(request.field, request.codes, error)) {
        Complain(error);
        return kExitFailed;
    }

    CDirectories dirs;
    LoadDirectoriesOf(options, dirs);
    CRecordSearch search(dirs, word_index::CacheFolder());
    ProgressLine progress;
    search.SetProgress([&](const FindProgress& step) { progress.Show(step); });

    std::vector<FindAnswer> answers;
    std::vector<int> skipped;
    for (const NamedQuery& named : queries) {
        request.query = named.query;
        const FindOutcome outcome = search.Run(request);
        progress.Clear();
        if (outcome.status != FindStatus::Done) return StatusOf(outcome);
        if (answers.empty()) skipped = outcome.skipped;
        FindAnswer answer;
        answer.query = named.text;
        answer.total = search.Count();
        answer.listed = find.limit >= 0 && find.limit < answer.total ? find.limit : answer.total;
        if (ListsPeople(find.format)) {
            answer.people.resize(static_cast<std::size_t>(answer.listed));
            for (std::int64_t i = 0; i < answer.listed; ++i) {
                const StoreError failed = search.Person(i, answer.people[static_cast<std::size_t>(i)]);
                if (failed.Failed()) {
                    Complain(search_messages::MessageOf(failed));
                    return ExitStatusOf(failed);
                }
            }
        }
        answers.push_back(std::move(answer));
    }
    for (int code : skipped) {
        Complain(std::string("note: ") + catalogue::NameOfCode(code) +
                 " is skipped: its files are not on the data disk");
    }
    std::string text;
    if (find.format == FindFormat::Gedcom) {
        // The disk names itself as the source's publisher.
        const StoreError unlabelled = ReadDiskLabel(dirs, cited.disk);
        if (unlabelled.Failed()) {
            Complain(search_messages::MessageOf(unlabelled));
            return ExitStatusOf(unlabelled);
        }
        CGedcomWriter writer(cited, [&text](const std::string& piece) {
            text += piece;
            return true;
        });
        for (const RecordHit& person : answers.front().people) writer.Add(person);
        writer.Finish();
    } else {
        text = FormatAnswers(find.format, answers, find.hasBatch, options.raw);
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return FinishStandardOutput(kExitSearched);
}

}  // namespace query_tool
