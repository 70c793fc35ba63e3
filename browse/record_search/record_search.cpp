#include "browse/record_search/record_search.h"

#include "browse/record_search/record_search_state.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "browse/abbreviations/abbreviated_query.h"
#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "browse/record_text/record_format.h"
#include "browse/record_text/record_parts.h"
#include "browse/word_index/word_index_cache.h"
#include "browse/word_index/word_index_reader.h"
#include "browse/word_index/word_index_writer.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/data_file.h"
#include "store/directories.h"
#include "store/file_fingerprint.h"
#include "store/io_calls.h"
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
    return error.kind == StoreErrorKind::RecordFileMissing ||
           error.kind == StoreErrorKind::EntryFileMissing || error.kind == StoreErrorKind::IndexMissing;
}

}  // namespace

CRecordSearch::CRecordSearch(const CDirectories& dirs, std::string cacheFolder)
    : dirs_(dirs), cacheFolder_(std::move(cacheFolder)), state_(std::make_unique<State>(dirs)) {}

CRecordSearch::~CRecordSearch() = default;

bool CRecordSearch::CheckField(const record_fields::FieldChoice& field, const std::vector<int>& codes,
                               std::string& error, const char* option) {
    std::vector<FieldHeadings> databases;
    for (int code : codes) databases.emplace_back(code);
    return CheckField(field, databases, error, option);
}

bool CRecordSearch::CheckField(const record_fields::FieldChoice& field,
                               const std::vector<FieldHeadings>& databases, std::string& error,
                               const char* option) {
    if (field.kind != record_fields::FieldChoice::Kind::Heading) return true;
    for (const FieldHeadings& headings : databases) {
        if (!record_fields::FieldSetOf(headings, field).Empty()) return true;
    }
    const std::vector<std::string> headings = record_fields::HeadingsOfAll(databases);
    error = std::string(option) + ": no heading '" + field.text + "' in " +
            (databases.size() == 1 ? "this database" : "these databases");
    std::string list;
    for (const std::string& heading : headings) list += (list.empty() ? "" : ", ") + heading;
    error += list.empty() ? "; it has no headings" : "; the headings are: " + list;
    error += " (or give a field number, surname or given)";
    return false;
}

FindOutcome CRecordSearch::Run(const RecordSearchRequest& request) {
    FindOutcome outcome;
    state_->results.clear();
    state_->order.clear();
    state_->headings.clear();
    state_->query = request.query;
    state_->keepWalked = request.keepWalked;
    if (request.abbreviations && !abbreviations::Widen(state_->query, outcome.usage)) {
        outcome.status = FindStatus::UsageError;
        return outcome;
    }
    if (!CheckDataDisk(dirs_, request.prompt)) {
        outcome.status = FindStatus::NoDisk;
        return outcome;
    }
    // A field is chosen by the headings the disk gives as well as by the label tables'.
    std::vector<FieldHeadings> databases;
    for (int code : request.codes) {
        FieldHeadings headings;
        const StoreError error = ReadFieldHeadings(dirs_, code, headings);
        if (error.Failed()) {
            outcome.status = FindStatus::Failed;
            outcome.error = error;
            outcome.errorCode = code;
            return outcome;
        }
        state_->headings[code] = headings;
        databases.push_back(std::move(headings));
    }
    if (!CheckField(request.field, databases, outcome.usage)) {
        outcome.status = FindStatus::UsageError;
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
        result.headings = state_->headings[code];
        result.fields = record_fields::FieldSetOf(result.headings, request.field);
        if (result.fields.Empty()) {
            outcome.withoutField.push_back(code);
            continue;
        }
        FindOutcome one = SearchOne(code, result);
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

FindOutcome CRecordSearch::SearchOne(int code, Database& result) {
    FindOutcome outcome;
    auto failed = [&](const StoreError& error) {
        outcome.status = FindStatus::Failed;
        outcome.error = error;
        outcome.errorCode = code;
        return outcome;
    };
    CRecordDatabase& database = state_->database;
    const OpenResult opened = database.OpenCode(code);
    if (!opened) return failed(opened.error);
    const word_index::IndexStatus indexed = Indexed(result);
    if (Cancelled() || indexed == word_index::IndexStatus::Cancelled) {
        outcome.status = FindStatus::Cancelled;
        return outcome;
    }
    if (indexed == word_index::IndexStatus::Ready) return outcome;
    if (indexed == word_index::IndexStatus::ReadFailed && state_->dataError.Failed())
        return failed(state_->dataError);
    // No index could be kept or read: every record is read instead.
    const CRecordMatcher matcher(state_->query, result.fields);
    const StoreError error = Scan(result, matcher);
    if (Cancelled()) {
        outcome.status = FindStatus::Cancelled;
        return outcome;
    }
    if (error.Failed()) return failed(error);
    outcome.scanned.push_back(code);
    return outcome;
}

StoreError CRecordSearch::Fingerprints(int code, FileFingerprint (&files)[word_index::kFileCount]) {
    for (int i = 0; i < word_index::kFileCount; ++i) {
        const std::string name = std::string(catalogue::StemOf(code)) + word_index::kExtensions[i];
        const std::string path = std::string(dirs_.DataDir()) + name;
        struct stat info {};
        const int failed = io_calls::StatPath(path.c_str(), info);
        if (failed != 0) return StoreError::Of(StoreErrorKind::OpenFailed, name, failed);
        const FileIdentity identity = IdentityOf(info);
        const auto known = state_->printed.find(path);
        if (known != state_->printed.end() && known->second.identity == identity && identity.size >= 0) {
            files[i] = known->second.fingerprint;
            continue;
        }
        bool missing = false;
        StoreError error = FingerprintFile(path, name, files[i], missing);
        if (error.Failed()) return error;
        if (missing) return StoreError::Of(StoreErrorKind::OpenFailed, name, ENOENT);
        state_->printed[path] = State::Printed{identity, files[i]};
    }
    return StoreError{};
}

word_index::IndexStatus CRecordSearch::OpenIndex(int code, word_index::CWordIndexReader& reader, bool build,
                                                 const FileFingerprint (&files)[word_index::kFileCount],
                                                 bool rebuild) {
    using word_index::IndexStatus;
    const std::string path = word_index::IndexPath(cacheFolder_, dirs_, code);
    IndexStatus status = rebuild ? IndexStatus::Damaged : reader.Open(path, code, files);
    if (status == IndexStatus::Ready || !build) return status;
    // Built on the first query, and again whenever it is stale or damaged.
    if (word_index::IsOnDataDisk(cacheFolder_, dirs_) || !word_index::PrepareFolder(cacheFolder_))
        return IndexStatus::Missing;
    CRecordDatabase& database = state_->database;
    CPeopleList people;
    state_->dataError = ListPeople(*database.Index(), database.EntriesHeld(), people);
    if (state_->dataError.Failed()) return IndexStatus::ReadFailed;
    const word_index::BuildResult built =
        word_index::Build(database, people, files, path, [&](std::int64_t done) {
            if (progress_) progress_(FindProgress{code, done, people.total});
            return !Cancelled();
        });
    switch (built.status) {
        case word_index::BuildStatus::Built:
            break;
        case word_index::BuildStatus::Cancelled:
            return IndexStatus::Cancelled;
        case word_index::BuildStatus::ReadFailed:
            state_->dataError = built.error;
            return IndexStatus::ReadFailed;
        case word_index::BuildStatus::WriteFailed:
            return IndexStatus::Missing;
    }
    return reader.Open(path, code, files);
}

word_index::IndexStatus CRecordSearch::Indexed(Database& result) {
    using word_index::IndexStatus;
    state_->dataError = StoreError{};
    if (cacheFolder_.empty()) return IndexStatus::Missing;
    FileFingerprint files[word_index::kFileCount];
    state_->dataError = Fingerprints(result.code, files);
    if (state_->dataError.Failed()) return IndexStatus::ReadFailed;
    // A damage met while answering is built over once; then the records are read.
    bool rebuild = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        State::Kept& kept = state_->kept[result.code];
        bool same = kept.reader != nullptr;
        for (int i = 0; i < word_index::kFileCount && same; ++i) same = kept.files[i] == files[i];
        if (!same) {
            kept = State::Kept{};
            auto reader = std::make_shared<word_index::CWordIndexReader>();
            const IndexStatus status = OpenIndex(result.code, *reader, true, files, rebuild);
            if (status != IndexStatus::Ready) return status;
            for (int i = 0; i < word_index::kFileCount; ++i) kept.files[i] = files[i];
            kept.reader = std::move(reader);
        }
        std::vector<std::int32_t> walked;
        const IndexStatus status = kept.reader->Count(state_->query, result.fields, result.count, cancel_,
                                                      &walked, state_->keepWalked ? -1 : kFirstListing);
        if (status == IndexStatus::Ready) {
            result.names = kept.reader;
            // People walked to be counted are kept: listing them again would walk the index twice.
            result.entries = std::move(walked);
            result.listed = static_cast<std::int64_t>(result.entries.size()) == result.count;
            if (!result.listed) result.index = kept.reader;
            return status;
        }
        state_->kept.erase(result.code);
        if (status != IndexStatus::Damaged) return status;
        // Built over, not removed by name: the name may hold by now a sound
        // index another process renamed into place.
        rebuild = true;
    }
    return IndexStatus::Damaged;
}

StoreError CRecordSearch::Scan(Database& result, const CRecordMatcher& matcher) {
    CRecordDatabase& database = state_->database;
    result.people = std::make_shared<CPeopleList>();
    StoreError error = ListPeople(*database.Index(), database.EntriesHeld(), *result.people);
    if (error.Failed()) return error;
    CPeopleReader reader(database, *result.people);
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

StoreError CRecordSearch::Materialize(Database& result, std::int64_t wanted) {
    using word_index::IndexStatus;
    CRecordDatabase& database = state_->database;
    IndexStatus status = IndexStatus::Damaged;
    if (result.index != nullptr) {
        status = IndexStatus::Ready;
        // Listed in growing pieces: a list that is only scrolled a little is read a little.
        const std::int64_t limit = std::max<std::int64_t>(kFirstListing, wanted * 2);
        if (status == IndexStatus::Ready) {
            status = result.index->List(state_->query, result.fields, limit < result.count ? limit : -1,
                                        result.entries, cancel_);
        }
        if (status == IndexStatus::Ready) {
            result.listed = static_cast<std::int64_t>(result.entries.size()) >= result.count;
            if (result.listed) result.index.reset();
            if (static_cast<std::int64_t>(result.entries.size()) >= std::min(wanted, result.count))
                return StoreError{};
        }
    }
    // The index failed us after the count: the records are read, and say the same.
    result.index.reset();
    result.names.reset();
    result.entries.clear();
    const OpenResult opened = database.OpenCode(result.code);
    if (!opened) return opened.error;
    const CRecordMatcher matcher(state_->query, result.fields);
    StoreError error = Scan(result, matcher);
    if (!error.Failed() && Cancelled()) error = StoreError::Of(StoreErrorKind::ReadFailed, "", ECANCELED);
    return error;
}

std::int64_t CRecordSearch::Count() const {
    std::int64_t count = 0;
    for (const Database& result : state_->results) count += result.count;
    return count;
}

FieldHeadings CRecordSearch::HeadingsOf(int code) const {
    const auto known = state_->headings.find(code);
    return known != state_->headings.end() ? known->second : FieldHeadings(code);
}

std::int64_t CRecordSearch::CountIn(int code) const {
    for (const Database& result : state_->results) {
        if (result.code == code) return result.count;
    }
    return 0;
}

bool CRecordSearch::IndexReady(int code) {
    FileFingerprint files[word_index::kFileCount];
    if (cacheFolder_.empty() || Fingerprints(code, files).Failed()) return false;
    word_index::CWordIndexReader reader;
    return OpenIndex(code, reader, false, files) == word_index::IndexStatus::Ready;
}

FindOutcome CRecordSearch::PrepareIndex(int code) {
    using word_index::IndexStatus;
    FindOutcome outcome;
    outcome.errorCode = code;
    if (!CheckDataDisk(dirs_, DiskPrompt{})) {
        outcome.status = FindStatus::NoDisk;
        return outcome;
    }
    auto failed = [&outcome](const StoreError& error) {
        outcome.status = FindStatus::Failed;
        outcome.error = error;
        return outcome;
    };
    const OpenResult opened = state_->database.OpenCode(code);
    if (!opened) return failed(opened.error);
    state_->dataError = StoreError{};
    FileFingerprint files[word_index::kFileCount];
    IndexStatus status = IndexStatus::Missing;
    if (!cacheFolder_.empty()) {
        state_->dataError = Fingerprints(code, files);
        if (state_->dataError.Failed()) return failed(state_->dataError);
        word_index::CWordIndexReader reader;
        status = OpenIndex(code, reader, true, files);
    }
    if (status == IndexStatus::Cancelled || Cancelled()) {
        outcome.status = FindStatus::Cancelled;
        return outcome;
    }
    if (status == IndexStatus::ReadFailed && state_->dataError.Failed()) return failed(state_->dataError);
    if (status != IndexStatus::Ready) outcome.scanned.push_back(code);
    return outcome;
}

StoreError CRecordSearch::Locate(std::int64_t i, Database*& found, std::int32_t& entry) {
    found = nullptr;
    for (Database& one : state_->results) {
        if (i < one.count) {
            found = &one;
            break;
        }
        i -= one.count;
    }
    if (found == nullptr || i < 0) return StoreError{};
    if (!found->listed && i >= static_cast<std::int64_t>(found->entries.size())) {
        StoreError error = Materialize(*found, i + 1);
        if (error.Failed()) {
            found = nullptr;
            return error;
        }
    }
    // Records read again after the count (the index failed us) hold fewer
    // people when the database changed under the search: said, not read past.
    if (i >= static_cast<std::int64_t>(found->entries.size())) {
        const int code = found->code;
        found = nullptr;
        return StoreError::Of(StoreErrorKind::ReadFailed, std::string(catalogue::StemOf(code)) + ".cor",
                              kFileCutShort);
    }
    entry = found->entries[static_cast<std::size_t>(i)];
    return StoreError{};
}

StoreError CRecordSearch::EntryAt(std::int64_t i, int& code, std::int32_t& entry) {
    Database* result = nullptr;
    code = 0;
    StoreError error = Locate(FoundPosition(i), result, entry);
    if (result != nullptr) code = result->code;
    return error;
}

StoreError CRecordSearch::Person(std::int64_t i, RecordHit& person) {
    person = RecordHit{};
    Database* result = nullptr;
    std::int32_t entry = 0;
    StoreError error = Locate(FoundPosition(i), result, entry);
    if (result == nullptr) return error;
    CRecordDatabase& database = state_->database;
    const OpenResult opened = database.OpenCode(result->code);
    if (!opened) return opened.error;
    CorEntry cor;
    error = database.ReadEntry(entry, cor);
    if (error.Failed()) return error;
    char record[disk_format::kRecordBufferSize];
    std::size_t stored = 0;
    error = database.ReadRecord(cor.recordOffset, record, &stored);
    if (error.Failed()) return error;

    person.code = result->code;
    person.entry = entry;
    std::string surname;
    error = SurnameOf(*result, entry, surname);
    if (error.Failed()) return error;
    person.surname = WithoutTrailingBlanks(surname);
    person.givenNames = WithoutTrailingBlanks(cor.givenNames);
    person.fields = record_parts::FieldsOf(record);
    person.headings = result->headings.First(person.fields.size());
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
    matcher.Matches(PersonText{surname, cor.givenNames, &person.fields}, &person.hits);
    return StoreError{};
}
StoreError CRecordSearch::SurnameOf(Database& result, std::int32_t entry, std::string& surname) {
    surname.clear();
    // From the index's block of people that holds the entry: a page reads its own people alone.
    if (result.people == nullptr && result.names != nullptr) {
        if (result.names->SurnameOf(entry, surname) == word_index::IndexStatus::Ready) return StoreError{};
        result.names.reset();
    }
    // The people as the surname index names them, when no index can say.
    if (result.people == nullptr) {
        CRecordDatabase& database = state_->database;
        const OpenResult opened = database.OpenCode(result.code);
        if (!opened) return opened.error;
        auto people = std::make_shared<CPeopleList>();
        const StoreError error = ListPeople(*database.Index(), database.EntriesHeld(), *people);
        if (error.Failed()) return error;
        result.people = people;
    }
    const PeopleRun* run = result.people->RunOf(entry);
    if (run != nullptr) surname = result.people->surnames[run->surname];
    return StoreError{};
}

CRecordDatabase& CRecordSearch::Files() { return state_->database; }
