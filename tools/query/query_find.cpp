#include "tools/query/query_find.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "browse/export/gedcom_writer.h"
#include "browse/record_search/record_search.h"
#include "browse/record_text/search_messages.h"
#include "browse/word_index/word_index_cache.h"
#include "store/catalogue.h"
#include "store/database_about.h"
#include "store/directories.h"
#include "store/disk_label.h"
#include "tools/query/query_batch.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_find_output.h"
#include "tools/query/query_gedcom.h"
#include "tools/query/query_log.h"
#include "tools/query/query_same_person.h"
#include "tools/query/query_services.h"

namespace query_tool {
namespace {

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

// A failure's message, then what it leaves out on a line of its own.
void ComplainOf(const StoreError& error, const CDirectories& dirs) {
    Complain(search_messages::MessageOf(error));
    const std::string details = search_messages::DetailsOf(error, dirs.DataDir());
    if (!details.empty()) Complain(details);
}

// The exit status of a search that did not end Done, after its message.
int StatusOf(const FindOutcome& outcome, const CDirectories& dirs) {
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
    ComplainOf(outcome.error, dirs);
    return ExitStatusOf(outcome.error);
}

void NoteSkipped(const std::vector<int>& skipped) {
    for (int code : skipped) {
        Complain(search_messages::SkippedNote(catalogue::NameOfCode(code)));
    }
}

// --facet: the people of one query counted by database, year or value.
int RunFacet(const QueryOptions& options, const CDirectories& dirs, CRecordSearch& search,
             RecordSearchRequest& request, ProgressLine& progress) {
    const FindOptions& find = options.find;
    request.query = record_query::Parse(find.text, find.years).query;
    const FindOutcome outcome = search.Run(request);
    progress.Clear();
    if (outcome.status != FindStatus::Done) return StatusOf(outcome, dirs);
    // Counted by facets, it is still the search of these people.
    LogSearch(options, search.Files().Directories(), AskedOfOptions(options), search.Count());
    facets::FacetRequest asked;
    std::string error;
    switch (find.facet) {
        case FacetKind::Database:
            asked.databases = true;
            break;
        case FacetKind::Years:
            asked.years = true;
            asked.yearsOfField = find.hasFacetField;
            if (find.hasFacetField) record_fields::ParseFieldChoice(find.facetField, asked.yearsField, error);
            break;
        case FacetKind::Field:
            asked.values = true;
            record_fields::ParseFieldChoice(find.facetField, asked.valuesField, error);
            break;
        case FacetKind::None:
            break;
    }
    facets::FacetCounts counts;
    const FindOutcome counted = search.Facets(asked, counts);
    if (counted.status != FindStatus::Done) return StatusOf(counted, dirs);
    NoteSkipped(outcome.skipped);
    const std::string text = FormatFacets(find.facet, find.format, counts, find.limit, options.raw);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return FinishStandardOutput(kExitSearched);
}

}  // namespace

int RunFind(const QueryOptions& options) {
    const FindOptions& find = options.find;
    std::vector<NamedQuery> queries;
    if (!CollectQueries(options, queries)) return kExitFailed;
    CitationContext cited;
    if (find.format == FindFormat::Gedcom && !DateOfRun(cited.date)) return kExitFailed;

    CDirectories dirs;
    LoadDirectoriesOf(options, dirs);
    RecordSearchRequest request;
    std::string error;
    if (find.hasField) record_fields::ParseFieldChoice(find.field, request.field, error);
    request.codes = options.allDatabases ? catalogue::EveryDatabase() : std::vector<int>{options.code};
    request.skipMissing = options.allDatabases;
    request.prompt = DiskPromptOfTool(dirs);
    request.abbreviations = find.abbreviations;
    // A count, or a first page, is all that is printed: the count's walk keeps the page
    // alone. A longer list would be listed again in growing pieces, and facets count every
    // person found, so those walked are kept for them.
    request.keepWalked =
        find.facet != FacetKind::None ||
        (ListsPeople(find.format) && (find.limit < 0 || find.limit > CRecordSearch::kFirstListing));
    // The field is checked by the search, against the headings the disk gives too.

    CRecordSearch search(dirs, word_index::CacheFolder());
    ProgressLine progress;
    search.SetProgress([&](const FindProgress& step) { progress.Show(step); });

    if (find.facet != FacetKind::None) return RunFacet(options, dirs, search, request, progress);

    std::vector<FindAnswer> answers;
    std::vector<int> skipped;
    for (const NamedQuery& named : queries) {
        request.query = named.query;
        const FindOutcome outcome = search.Run(request);
        progress.Clear();
        if (outcome.status != FindStatus::Done) return StatusOf(outcome, dirs);
        research_log::AskedSearch asked = AskedOfOptions(options);
        asked.query = named.text;
        LogSearch(options, dirs, asked, search.Count());
        if (answers.empty()) skipped = outcome.skipped;
        FindAnswer answer;
        answer.query = named.text;
        answer.total = search.Count();
        answer.listed = find.limit >= 0 && find.limit < answer.total ? find.limit : answer.total;
        for (int code : request.codes) answer.headings[code] = search.HeadingsOf(code);
        if (ListsPeople(find.format)) {
            answer.people.resize(static_cast<std::size_t>(answer.listed));
            for (std::int64_t i = 0; i < answer.listed; ++i) {
                const StoreError failed = search.Person(i, answer.people[static_cast<std::size_t>(i)]);
                if (failed.Failed()) {
                    ComplainOf(failed, dirs);
                    return ExitStatusOf(failed);
                }
            }
        }
        answers.push_back(std::move(answer));
    }
    NoteSkipped(skipped);
    std::string text;
    bool unreadVerdicts = false;
    if (find.format == FindFormat::Gedcom) {
        // The disk names itself as the source's publisher.
        const StoreError unlabelled = ReadDiskLabel(dirs, cited.disk);
        if (unlabelled.Failed()) {
            ComplainOf(unlabelled, dirs);
            return ExitStatusOf(unlabelled);
        }
        CGedcomWriter writer(cited, [&text](const std::string& piece) {
            text += piece;
            return true;
        });
        // A person confirmed the same as other records is written once, with them.
        CSamePeople samePeople(dirs);
        bool verdictsRead = false;
        const int diskRead = samePeople.Load(verdictsRead);
        if (diskRead != kExitSearched) return diskRead;
        if (!verdictsRead) unreadVerdicts = true;
        int status = kExitSearched;
        std::vector<FoundPerson> same;
        for (const RecordHit& person : answers.front().people) {
            if (!samePeople.RecordsWith(person, same, status)) {
                if (status != kExitSearched) return status;
                continue;
            }
            // Each database's source is named as the disk's provenance names it.
            std::vector<int> codes{person.code};
            for (const FoundPerson& record : same) codes.push_back(record.code);
            for (const int code : codes) {
                if (writer.HasProvenance(code)) continue;
                std::vector<ProvenanceEntry> provenance;
                const StoreError unread = ReadDatabaseProvenance(dirs, code, provenance);
                if (unread.Failed()) {
                    Complain(search_messages::MessageOf(unread));
                    return ExitStatusOf(unread);
                }
                writer.AddProvenance(code, std::move(provenance));
            }
            writer.Add(person, same);
        }
        writer.Finish();
    } else {
        text = FormatAnswers(find.format, answers, find.hasBatch, options.raw);
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return FinishStandardOutput(unreadVerdicts ? kExitUnreadable : kExitSearched);
}

}  // namespace query_tool
