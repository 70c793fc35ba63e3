#include "browse/record_search.h"

#include <algorithm>

#include "browse/hit_export.h"
#include "browse/people_reader.h"
#include "browse/record_format.h"
#include "browse/record_people.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/raw_summary.h"
#include "store/record_database.h"

namespace {

// How often a long walk looks at the cancel flag.
constexpr std::int64_t kCancelStride = 512;

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

bool IsMissing(const StoreError& error) {
    return error.kind == StoreErrorKind::RecordFileMissing || error.kind == StoreErrorKind::EntryFileMissing ||
           error.kind == StoreErrorKind::IndexMissing;
}

}  // namespace

struct CRecordSearch::Database {
    int code = 0;
    record_fields::FieldSet fields;
    CPeopleList people;
    bool peopleKnown = false;
    // The people found, by entry, once listed.
    std::vector<std::int32_t> entries;
    bool listed = false;
    std::int64_t count = 0;
};

struct CRecordSearch::State {
    explicit State(const CDirectories& dirs) : database(dirs) {}
    CRecordDatabase database;
    record_query::Query query;
    std::vector<Database> results;
};

CRecordSearch::CRecordSearch(const CDirectories& dirs, std::string cacheFolder)
    : dirs_(dirs), cacheFolder_(std::move(cacheFolder)), state_(std::make_unique<State>(dirs)) {}

CRecordSearch::~CRecordSearch() = default;

bool CRecordSearch::CheckField(const record_fields::FieldChoice& field, const std::vector<int>& codes,
                               std::string& error) {
    if (field.kind != record_fields::FieldChoice::Kind::Heading) return true;
    std::vector<std::string> headings;
    for (int code : codes) {
        if (!record_fields::FieldSetOf(code, field).Empty()) return true;
        for (const std::string& heading : record_fields::HeadingsOf(code)) {
            if (std::find(headings.begin(), headings.end(), heading) == headings.end()) headings.push_back(heading);
        }
    }
    error = "--field: no heading '" + field.text + "' in " + (codes.size() == 1 ? "this database" : "these databases");
    std::string list;
    for (const std::string& heading : headings) list += (list.empty() ? "" : ", ") + heading;
    error += list.empty() ? "; it has no headings" : "; the headings are: " + list;
    error += " (or give a field number, surname or given)";
    return false;
}

FindOutcome CRecordSearch::Run(const RecordSearchRequest& request) {
    FindOutcome outcome;
    state_->results.clear();
    state_->query = request.query;
    if (!CheckField(request.field, request.codes, outcome.usage)) {
        outcome.status = FindStatus::UsageError;
        return outcome;
    }
    if (!(request.interactive ? CheckDataDisk(dirs_) : FindDataDisk(dirs_))) {
        outcome.status = FindStatus::NoDisk;
        return outcome;
    }
    state_->database.ForgetReads();
    for (int code : request.codes) {
        if (Cancelled()) {
            state_->results.clear();
            outcome.status = FindStatus::Cancelled;
            return outcome;
        }
        Database result;
        result.code = code;
        result.fields = record_fields::FieldSetOf(code, request.field);
        if (result.fields.Empty()) {
            outcome.withoutField.push_back(code);
            continue;
        }
        FindOutcome one = SearchOne(request, code, result);
        if (one.status == FindStatus::Failed && request.skipMissing && IsMissing(one.error)) {
            outcome.skipped.push_back(code);
            continue;
        }
        if (one.status != FindStatus::Done) {
            state_->results.clear();
            one.skipped = outcome.skipped;
            one.withoutField = outcome.withoutField;
            return one;
        }
        outcome.scanned.insert(outcome.scanned.end(), one.scanned.begin(), one.scanned.end());
        state_->results.push_back(std::move(result));
    }
    return outcome;
}

FindOutcome CRecordSearch::SearchOne(const RecordSearchRequest& request, int code, Database& result) {
    FindOutcome outcome;
    CRecordDatabase& database = state_->database;
    const OpenResult opened = database.OpenCode(code);
    if (!opened) {
        outcome.status = FindStatus::Failed;
        outcome.error = opened.error;
        outcome.errorCode = code;
        return outcome;
    }
    const CRecordMatcher matcher(request.query, result.fields);
    StoreError error = Scan(result, matcher);
    if (Cancelled()) {
        outcome.status = FindStatus::Cancelled;
        return outcome;
    }
    if (error.Failed()) {
        outcome.status = FindStatus::Failed;
        outcome.error = error;
        outcome.errorCode = code;
        return outcome;
    }
    outcome.scanned.push_back(code);
    return outcome;
}

StoreError CRecordSearch::Scan(Database& result, const CRecordMatcher& matcher) {
    CRecordDatabase& database = state_->database;
    StoreError error = ListPeople(*database.Index(), database.EntriesHeld(), result.people);
    if (error.Failed()) return error;
    result.peopleKnown = true;
    CPeopleReader reader(database, result.people);
    ReadPerson person;
    std::vector<std::string> fields;
    while (reader.Next(person)) {
        if (reader.Done() % kCancelStride == 0 && Cancelled()) return StoreError{};
        fields.clear();
        ForEachRecordField(std::string_view(person.record, person.recordLength),
                           [&](std::size_t, std::string_view field) { fields.emplace_back(field); });
        if (matcher.Matches(PersonText{person.surname, person.givenNames, &fields})) {
            result.entries.push_back(person.entry);
        }
    }
    if (reader.Error().Failed()) return reader.Error();
    result.listed = true;
    result.count = static_cast<std::int64_t>(result.entries.size());
    return StoreError{};
}

StoreError CRecordSearch::Materialize(Database& result) {
    (void)result;
    return StoreError{};
}

std::int64_t CRecordSearch::Count() const {
    std::int64_t count = 0;
    for (const Database& result : state_->results) count += result.count;
    return count;
}

std::int64_t CRecordSearch::CountIn(int code) const {
    for (const Database& result : state_->results) {
        if (result.code == code) return result.count;
    }
    return 0;
}

bool CRecordSearch::IndexReady(int code) {
    (void)code;
    return false;
}

StoreError CRecordSearch::Person(std::int64_t i, RecordHit& person) {
    person = RecordHit{};
    Database* result = nullptr;
    for (Database& one : state_->results) {
        if (i < one.count) {
            result = &one;
            break;
        }
        i -= one.count;
    }
    if (result == nullptr || i < 0) return StoreError{};
    if (!result->listed) {
        StoreError error = Materialize(*result);
        if (error.Failed()) return error;
    }
    CRecordDatabase& database = state_->database;
    const OpenResult opened = database.OpenCode(result->code);
    if (!opened) return opened.error;
    const std::int32_t entry = result->entries[static_cast<std::size_t>(i)];
    CorEntry cor;
    StoreError error = database.ReadEntry(entry, cor);
    if (error.Failed()) return error;
    char record[disk_format::kRecordBufferSize];
    std::size_t stored = 0;
    error = database.ReadRecord(cor.recordOffset, record, &stored);
    if (error.Failed()) return error;

    person.code = result->code;
    person.entry = entry;
    const PeopleRun* run = result->people.RunOf(entry);
    if (run != nullptr) person.surname = WithoutTrailingBlanks(result->people.surnames[run->surname]);
    person.givenNames = WithoutTrailingBlanks(cor.givenNames);
    person.fields = hit_export::FieldsOf(record);
    char text[record_format::kTextSize];
    record_format::BuildFullText(result->code, record, text, sizeof text);
    person.text = text;
    // The summary walks the record already read, as CollectHits does.
    char raw[record_format::kRawSummarySize];
    char summary[record_format::kSummarySize];
    std::size_t at = 0;
    const int firstByte =
        BuildRawSummary([&] { return at < stored ? static_cast<unsigned char>(record[at++]) : -1; }, raw);
    record_format::BuildDisplayedSummary(result->code, raw, firstByte, summary);
    person.summary = summary;
    const CRecordMatcher matcher(state_->query, result->fields);
    const std::string surname = run != nullptr ? result->people.surnames[run->surname] : std::string();
    matcher.Matches(PersonText{surname, cor.givenNames, &person.fields}, &person.hits);
    return StoreError{};
}
