// CRecordSearch::Sort: the people of the last query in another order than
// found. The names are read from the surname index and the entry file
// alone (never a record), so that a large answer is put in order without
// reading what the list will never show.

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "browse/record_search/record_search.h"
#include "browse/record_search/record_search_state.h"
#include "store/record_database.h"

namespace {

// A person's place in the order found and what they are sorted by.
struct SortKey {
    std::int64_t found = 0;
    int database = 0;  // the place of their database among those asked
    std::string surname;
    std::string given;
};

// Names compared as a reader compares them: a-z as A-Z, blanks that pad
// them left out, other letters by their Windows-1252 value.
std::string Folded(const char* text, std::size_t width) {
    std::string folded;
    for (std::size_t i = 0; i < width && text[i] != '\0'; ++i) {
        const char c = text[i];
        folded += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    while (!folded.empty() && folded.back() == ' ') folded.pop_back();
    return folded;
}

int Compare(const std::string& a, const std::string& b) {
    const int sign = a.compare(b);
    return sign < 0 ? -1 : (sign > 0 ? 1 : 0);
}

}  // namespace

std::int64_t CRecordSearch::FoundPosition(std::int64_t i) const {
    const std::vector<std::int64_t>& order = state_->order;
    if (order.empty() || i < 0 || i >= static_cast<std::int64_t>(order.size())) return i;
    return order[static_cast<std::size_t>(i)];
}

FindOutcome CRecordSearch::Sort(const PeopleSort& sort) {
    FindOutcome outcome;
    state_->order.clear();
    if (sort.by == PeopleOrder::Found || (sort.by == PeopleOrder::Database && !sort.descending))
        return outcome;
    const bool byNames = sort.by != PeopleOrder::Database;
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(Count()));
    std::int64_t found = 0;
    for (std::size_t d = 0; d < state_->results.size(); ++d) {
        const std::int64_t count = state_->results[d].count;
        for (std::int64_t k = 0; k < count; ++k, ++found) {
            if (Cancelled()) {
                outcome.status = FindStatus::Cancelled;
                return outcome;
            }
            SortKey key;
            key.found = found;
            key.database = static_cast<int>(d);
            if (byNames) {
                Database* result = nullptr;
                std::int32_t entry = 0;
                StoreError error = Locate(found, result, entry);
                CorEntry cor;
                std::string surname;
                if (!error.Failed() && result == nullptr)
                    error = StoreError::Of(StoreErrorKind::ReadFailed, "", EIO);
                if (!error.Failed()) error = SurnameOf(*result, entry, surname);
                if (!error.Failed()) {
                    const OpenResult opened = state_->database.OpenCode(result->code);
                    error = opened ? state_->database.ReadEntry(entry, cor) : opened.error;
                }
                if (error.Failed()) {
                    outcome.status = FindStatus::Failed;
                    outcome.error = error;
                    return outcome;
                }
                key.surname = Folded(surname.c_str(), surname.size());
                key.given = Folded(cor.givenNames, sizeof cor.givenNames);
            }
            keys.push_back(std::move(key));
        }
    }
    // The key asked for first, then the other name; ties keep the order found.
    auto order = [&sort](const SortKey& a, const SortKey& b) {
        int sign = 0;
        switch (sort.by) {
            case PeopleOrder::Database:
                sign = a.database < b.database ? -1 : (a.database > b.database ? 1 : 0);
                break;
            case PeopleOrder::Surname:
                sign = Compare(a.surname, b.surname);
                if (sign == 0) sign = Compare(a.given, b.given);
                break;
            case PeopleOrder::GivenNames:
                sign = Compare(a.given, b.given);
                if (sign == 0) sign = Compare(a.surname, b.surname);
                break;
            case PeopleOrder::Found:
                break;
        }
        if (sort.descending) sign = -sign;
        return sign < 0;
    };
    std::stable_sort(keys.begin(), keys.end(), order);
    state_->order.reserve(keys.size());
    for (const SortKey& key : keys) state_->order.push_back(key.found);
    return outcome;
}
