// CRecordSearch::Facets: the people the last query found, counted by
// database, by year and by the values of a field (browse/facets/facet_counts.h).

#include <cerrno>

#include "browse/record_query/people_reader.h"
#include "browse/record_search/record_search.h"
#include "browse/record_search/record_search_state.h"
#include "store/catalogue.h"

namespace {

constexpr std::int64_t kCancelStride = 512;

// The text of slot for a person read.
template <typename Visit>
void ForEachSlot(const ReadPerson& person, const record_fields::FieldSet& slots, Visit&& visit) {
    if (slots.Has(record_fields::kSurnameSlot)) visit(person.surname);
    if (slots.Has(record_fields::kGivenSlot)) visit(person.givenNames);
    ForEachRecordField(std::string_view(person.record, person.recordLength),
                       [&](std::size_t k, std::string_view field) {
                           if (slots.Has(record_fields::SlotOfField(k))) visit(field);
                       });
}

}  // namespace

StoreError CRecordSearch::ListAll(Database& result) {
    if (!result.listed && static_cast<std::int64_t>(result.entries.size()) < result.count) {
        const StoreError error = Materialize(result, result.count);
        if (error.Failed()) return error;
    }
    if (static_cast<std::int64_t>(result.entries.size()) < result.count) {
        return StoreError::Of(StoreErrorKind::ReadFailed,
                              std::string(catalogue::StemOf(result.code)) + ".cor", kFileCutShort);
    }
    return StoreError{};
}

StoreError CRecordSearch::TallyRecords(Database& result, const record_fields::FieldSet* yearSlots,
                                       const record_fields::FieldSet* valueSlots, facets::CYearTally& years,
                                       facets::CValueTally& values) {
    StoreError error;
    CRecordDatabase& database = state_->database;
    const OpenResult opened = database.OpenCode(result.code);
    if (!opened) return opened.error;
    if (result.people == nullptr) {
        result.people = std::make_shared<CPeopleList>();
        error = ListPeople(*database.Index(), database.EntriesHeld(), *result.people);
        if (error.Failed()) return error;
    }
    // The records are read in entry order, as the scan reads them; the
    // people found are picked out as they pass.
    CPeopleReader reader(database, *result.people);
    ReadPerson person;
    std::size_t next = 0;
    const std::vector<std::int32_t>& found = result.entries;
    while (next < found.size() && reader.Next(person)) {
        if (reader.Done() % kCancelStride == 0 && Cancelled()) return StoreError{};
        if (person.entry != found[next]) continue;
        ++next;
        if (yearSlots != nullptr) {
            ForEachSlot(person, *yearSlots, [&](std::string_view text) { years.NoteText(text); });
            years.EndPerson();
        }
        if (valueSlots != nullptr) {
            ForEachSlot(person, *valueSlots, [&](std::string_view text) { values.NoteText(text); });
            values.EndPerson();
        }
    }
    if (reader.Error().Failed()) return reader.Error();
    // A person found whom the records no longer hold: the database changed under the search.
    if (next < found.size()) {
        return StoreError::Of(StoreErrorKind::ReadFailed,
                              std::string(catalogue::StemOf(result.code)) + ".ext", kFileCutShort);
    }
    return StoreError{};
}

FindOutcome CRecordSearch::Facets(const facets::FacetRequest& request, facets::FacetCounts& counts) {
    counts = facets::FacetCounts{};
    FindOutcome outcome;
    // Fields are chosen by the headings the disk gives, as the query's are.
    std::vector<FieldHeadings> databases;
    for (const Database& result : state_->results) databases.push_back(result.headings);
    if ((request.years && request.yearsOfField &&
         !CheckField(request.yearsField, databases, outcome.usage, "--facet years")) ||
        (request.values && !CheckField(request.valuesField, databases, outcome.usage, "--facet field"))) {
        outcome.status = FindStatus::UsageError;
        return outcome;
    }
    facets::CYearTally years;
    facets::CValueTally values;
    for (Database& result : state_->results) {
        if (result.count == 0) continue;
        if (request.databases) counts.databases.push_back(facets::DatabaseCount{result.code, result.count});
        const record_fields::FieldSet yearSlots =
            request.yearsOfField ? record_fields::FieldSetOf(result.headings, request.yearsField)
                                 : result.fields;
        const record_fields::FieldSet valueSlots =
            request.values ? record_fields::FieldSetOf(result.headings, request.valuesField)
                           : record_fields::FieldSet{};
        const bool wantYears = request.years && !yearSlots.Empty();
        const bool wantValues = request.values && !valueSlots.Empty();
        if (!wantYears && !wantValues) continue;
        // From the index's columns where it has them, else from the records.
        facets::CYearTally oneYears;
        facets::CValueTally oneValues;
        StoreError error = ListAll(result);
        bool indexed = !error.Failed() && result.names != nullptr;
        if (indexed && wantYears) {
            indexed = result.names->TallyYears(result.entries, yearSlots, oneYears) ==
                      word_index::IndexStatus::Ready;
        }
        bool covered = true;
        if (indexed && wantValues) {
            indexed = result.names->TallyValues(result.entries, valueSlots, oneValues, covered) ==
                      word_index::IndexStatus::Ready;
        }
        if (!error.Failed() && (!indexed || !covered)) {
            // What the index could not say is read from the records: all of it, as one.
            if (!indexed) oneYears = facets::CYearTally();
            oneValues = facets::CValueTally();
            error = TallyRecords(result, wantYears && !indexed ? &yearSlots : nullptr,
                                 wantValues ? &valueSlots : nullptr, oneYears, oneValues);
        }
        years.Merge(oneYears);
        values.Merge(oneValues);
        if (Cancelled()) {
            counts = facets::FacetCounts{};
            outcome.status = FindStatus::Cancelled;
            return outcome;
        }
        if (error.Failed()) {
            counts = facets::FacetCounts{};
            outcome.status = FindStatus::Failed;
            outcome.error = error;
            outcome.errorCode = result.code;
            return outcome;
        }
    }
    if (request.years) counts.years = years.Result();
    if (request.values) counts.values = values.Result();
    return outcome;
}
