#include "browse/record_query/record_people.h"

#include <algorithm>

#include "store/index_key.h"
#include "store/name_index.h"

namespace {

struct KeyRange {
    std::int64_t first;
    std::int64_t end;
    std::uint32_t surname;
};

class RangeCollector : public CIndexKeyVisitor {
public:
    RangeCollector(std::int64_t held, CPeopleList& people, std::vector<KeyRange>& ranges)
        : held_(held), people_(people), ranges_(ranges) {}
    void Visit(std::string_view key, std::int32_t first, std::int32_t count) override {
        const std::int64_t start = first;
        const std::int64_t end = std::min<std::int64_t>(start + count, held_);
        if (start < 0 || count <= 0 || start >= end) return;
        ranges_.push_back(KeyRange{start, end, static_cast<std::uint32_t>(people_.surnames.size())});
        people_.surnames.emplace_back(WithoutPadding(key));
    }

private:
    std::int64_t held_;
    CPeopleList& people_;
    std::vector<KeyRange>& ranges_;
};

}  // namespace

const PeopleRun* CPeopleList::RunOf(std::int32_t entry) const {
    auto after = std::upper_bound(runs.begin(), runs.end(), entry,
                                  [](std::int32_t value, const PeopleRun& run) { return value < run.first; });
    if (after == runs.begin()) return nullptr;
    const PeopleRun& run = *(after - 1);
    return entry < run.first + run.count ? &run : nullptr;
}

void CPeopleList::Clear() {
    runs.clear();
    surnames.clear();
    total = 0;
}

StoreError ListPeople(CNameIndex& index, std::int64_t entriesHeld, CPeopleList& people) {
    people.Clear();
    std::vector<KeyRange> ranges;
    RangeCollector collector(entriesHeld, people, ranges);
    StoreError error = index.WalkKeys(collector);
    if (error.Failed()) {
        people.Clear();
        return error;
    }
    // Key order is the order of the walk; a stable sort keeps it among
    // ranges that start together.
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const KeyRange& a, const KeyRange& b) { return a.first < b.first; });
    std::int64_t covered = 0;
    for (const KeyRange& range : ranges) {
        const std::int64_t start = std::max(range.first, covered);
        if (start >= range.end) continue;
        people.runs.push_back(PeopleRun{static_cast<std::int32_t>(start),
                                        static_cast<std::int32_t>(range.end - start), range.surname});
        people.total += range.end - start;
        covered = range.end;
    }
    return StoreError{};
}
