#include "ui/find_records/record_finder.h"

#include <QMetaObject>
#include <QStringList>

#include "browse/record_search/match_snippet.h"
#include "browse/record_search/record_search.h"
#include "store/data_disk.h"
#include "store/directories.h"
#include "ui/common/cp1252_qt.h"

namespace {

QString Text(const std::string& windows1252) {
    return cp1252::ToQString(windows1252.data(), windows1252.size());
}

const std::string* SlotText(const RecordHit& person, int slot) {
    if (slot == record_fields::kSurnameSlot) return &person.surname;
    if (slot == record_fields::kGivenSlot) return &person.givenNames;
    const auto k = static_cast<std::size_t>(slot - record_fields::kFirstRecordSlot);
    return k < person.fields.size() ? &person.fields[k] : nullptr;
}

QString HeadingOfSlot(const FieldHeadings& headings, int slot) {
    if (slot == record_fields::kSurnameSlot) return QStringLiteral("Surname");
    if (slot == record_fields::kGivenSlot) return QStringLiteral("Given names");
    const record_fields::FieldLabel label = record_fields::LabelOfSlot(headings, slot);
    return label.heading.empty() ? QStringLiteral("Field %1").arg(label.number) : Text(label.heading);
}

}  // namespace

CRecordFinder::Row CRecordFinder::RowOf(const RecordHit& person, const FieldHeadings& headings) {
    CRecordFinder::Row row;
    row.code = person.code;
    row.entry = person.entry;
    row.surname = Text(person.surname);
    row.givenNames = Text(person.givenNames);
    row.summary = Text(person.summary);
    match_snippet::Options marks;
    const char open[] = {static_cast<char>(CRecordFinder::kMarkOpen), '\0'};
    const char close[] = {static_cast<char>(CRecordFinder::kMarkClose), '\0'};
    marks.open = open;
    marks.close = close;
    // Fewer words around the match than the tool prints: the list's column is narrow.
    marks.context = 3;
    QStringList places;
    for (const FieldHit& hit : person.hits) {
        const std::string* field = SlotText(person, hit.slot);
        if (field == nullptr) continue;
        places << HeadingOfSlot(headings, hit.slot) + QStringLiteral(": ") +
                      Text(match_snippet::Build(*field, hit.positions, marks));
    }
    row.match = places.join(QStringLiteral("; "));
    return row;
}

CRecordFinder::CRecordFinder(const CDirectories& dirs, std::string cacheFolder, QObject* parent)
    : QObject(parent),
      dirs_(dirs),
      cacheFolder_(cacheFolder),
      search_(std::make_unique<CRecordSearch>(dirs, cacheFolder)),
      indexer_(std::make_unique<CRecordSearch>(dirs, cacheFolder)) {
    search_->SetCancel(&queryCancel_);
    indexer_->SetCancel(&indexCancel_);
    queryThread_ = std::thread([this]() { QueryThread(); });
    indexThread_ = std::thread([this]() { IndexThread(); });
}

CRecordFinder::~CRecordFinder() {
    {
        std::lock_guard<std::mutex> lock(jobsLock_);
        stopping_ = true;
        queryCancel_ = true;
        indexCancel_ = true;
    }
    jobsChanged_.notify_all();
    queryThread_.join();
    indexThread_.join();
}

void CRecordFinder::Post(std::function<void()> fn) {
    // Dropped if the finder is gone by the time the interface thread gets to it.
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

std::uint64_t CRecordFinder::Start(const Query& query) {
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(jobsLock_);
        generation = ++latest_;
        nextQuery_.emplace(generation, query);
        fetches_.clear();
        queryCancel_ = true;
    }
    jobsChanged_.notify_all();
    return generation;
}

void CRecordFinder::Fetch(std::uint64_t generation, std::int64_t first, int count) {
    {
        std::lock_guard<std::mutex> lock(jobsLock_);
        if (generation != latest_) return;
        fetches_.push_back(FetchJob{generation, first, count});
    }
    jobsChanged_.notify_all();
}

void CRecordFinder::CancelIndexing() {
    std::deque<int> unstarted;
    {
        std::lock_guard<std::mutex> lock(jobsLock_);
        indexCancel_ = true;
        states_.Decline(std::vector<int>(toIndex_.begin(), toIndex_.end()));
        unstarted.swap(toIndex_);
    }
    // The index thread tells of the one it is making when it stops; those it
    // never took are told of here, or a query waiting for them would wait on.
    for (int code : unstarted) Post([this, code]() { emit indexed(code); });
}

void CRecordFinder::MakeDeclinedIndexes() {
    std::lock_guard<std::mutex> lock(jobsLock_);
    // Looked at afresh by the next query, which asks for what is still missing.
    states_.ReconsiderDeclined();
}

void CRecordFinder::SetIndexGate(std::function<void(int code)> gate) {
    std::lock_guard<std::mutex> lock(jobsLock_);
    indexGate_ = std::move(gate);
}

IndexPlan CRecordFinder::PlanQuery(const std::vector<int>& codes) {
    std::vector<int> toLookAt;
    {
        std::lock_guard<std::mutex> lock(jobsLock_);
        toLookAt = states_.ToLookAt(codes);
    }
    // Read from the disk without holding up the interface thread.
    std::vector<int> ready;
    for (int code : toLookAt) {
        if (search_->IndexReady(code)) ready.push_back(code);
    }
    IndexPlan plan;
    {
        std::lock_guard<std::mutex> lock(jobsLock_);
        plan = states_.PlanQuery(codes, ready);
        toIndex_.insert(toIndex_.end(), plan.toMake.begin(), plan.toMake.end());
    }
    if (!plan.toMake.empty()) jobsChanged_.notify_all();
    return plan;
}

void CRecordFinder::QueryThread() {
    for (;;) {
        std::optional<std::pair<std::uint64_t, Query>> query;
        std::optional<FetchJob> fetch;
        {
            std::unique_lock<std::mutex> lock(jobsLock_);
            jobsChanged_.wait(lock, [this]() { return stopping_ || nextQuery_ || !fetches_.empty(); });
            if (stopping_) return;
            if (nextQuery_) {
                query = std::move(nextQuery_);
                nextQuery_.reset();
                // Only a query asked after this one cancels it.
                queryCancel_ = false;
            } else {
                fetch = fetches_.back();
                fetches_.pop_back();
            }
        }
        if (query) {
            CRecordFinder::Answer answer = Ask(query->first, query->second);
            if (answer.outcome.status == FindStatus::Cancelled) continue;
            Post([this, answer = std::move(answer)]() { emit answered(answer); });
            continue;
        }
        StoreError error;
        std::vector<Row> rows;
        {
            std::lock_guard<std::mutex> lock(searchLock_);
            if (fetch->generation != answeredGeneration_) continue;
            rows = ReadRows(fetch->first, fetch->count, error);
        }
        Post([this, generation = fetch->generation, first = fetch->first, rows = std::move(rows), error]() {
            emit rowsFetched(generation, first, rows, error);
        });
    }
}

CRecordFinder::Answer CRecordFinder::Ask(std::uint64_t generation, const Query& query) {
    CRecordFinder::Answer answer;
    answer.generation = generation;
    std::lock_guard<std::mutex> lock(searchLock_);
    // A search that has not answered holds nobody to read.
    answeredGeneration_ = 0;
    RecordSearchRequest request;
    request.query = query.query;
    request.field = query.field;
    request.abbreviations = query.abbreviations;
    // A database whose files are not on the disk is named, not a failure.
    request.skipMissing = true;
    if (CheckDataDisk(dirs_, DiskPrompt{})) {
        IndexPlan plan = PlanQuery(query.codes);
        request.codes = std::move(plan.searched);
        answer.waiting = std::move(plan.waiting);
        answer.declined = std::move(plan.declined);
    } else {
        // Run says so, without a prompt.
        request.codes = query.codes;
    }
    answer.outcome = search_->Run(request);
    if (answer.outcome.status != FindStatus::Done) return answer;
    // Put in order by the search, from the names alone: no record is read for it.
    const FindOutcome sorted = search_->Sort(query.sort);
    if (sorted.status != FindStatus::Done) {
        answer.outcome.status = sorted.status;
        answer.outcome.error = sorted.error;
        return answer;
    }
    answeredGeneration_ = generation;
    answer.count = search_->Count();
    for (int code : request.codes) answer.headings[code] = search_->HeadingsOf(code);
    answer.rows = ReadRows(0, kBatch, answer.rowsError);
    return answer;
}

std::vector<CRecordFinder::Row> CRecordFinder::ReadRows(std::int64_t first, int count, StoreError& error) {
    std::vector<Row> rows;
    const std::int64_t end = std::min(search_->Count(), first + count);
    RecordHit person;
    for (std::int64_t i = first; i < end; ++i) {
        error = search_->Person(i, person);
        if (error.Failed()) break;
        rows.push_back(RowOf(person, search_->HeadingsOf(person.code)));
    }
    return rows;
}

void CRecordFinder::IndexThread() {
    for (;;) {
        int code = 0;
        int waiting = 0;
        std::function<void(int)> gate;
        {
            std::unique_lock<std::mutex> lock(jobsLock_);
            jobsChanged_.wait(lock, [this]() { return stopping_ || !toIndex_.empty(); });
            if (stopping_) return;
            code = toIndex_.front();
            toIndex_.pop_front();
            waiting = static_cast<int>(toIndex_.size());
            indexCancel_ = false;
            gate = indexGate_;
        }
        if (gate) gate(code);
        indexer_->SetProgress([this, waiting](const FindProgress& progress) {
            Post([this, progress, waiting]() {
                emit indexProgress(progress.code, progress.done, progress.total, waiting);
            });
        });
        const FindOutcome made = indexer_->PrepareIndex(code);
        {
            std::lock_guard<std::mutex> lock(jobsLock_);
            if (stopping_) return;
            states_.Made(code, made);
        }
        Post([this, code]() { emit indexed(code); });
    }
}

CRecordFinder::Read CRecordFinder::Person(std::uint64_t generation, std::int64_t i, RecordHit& person,
                                          StoreError& error) {
    std::lock_guard<std::mutex> lock(searchLock_);
    if (generation != answeredGeneration_) return Read::Stale;
    error = search_->Person(i, person);
    return error.Failed() ? Read::Failed : Read::Done;
}

CRecordFinder::Read CRecordFinder::ForEachPerson(std::uint64_t generation,
                                                 const std::function<bool(const RecordHit&)>& visit,
                                                 StoreError& error) {
    std::lock_guard<std::mutex> lock(searchLock_);
    if (generation != answeredGeneration_) return Read::Stale;
    RecordHit person;
    for (std::int64_t i = 0; i < search_->Count(); ++i) {
        error = search_->Person(i, person);
        if (error.Failed()) return Read::Failed;
        if (!visit(person)) break;
    }
    return Read::Done;
}
