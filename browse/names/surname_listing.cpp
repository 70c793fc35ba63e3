#include "browse/names/surname_listing.h"

#include <algorithm>
#include <memory>

#include "browse/record_text/search_messages.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/name_index.h"
#include "store/path_buffer.h"

namespace surname_listing {
namespace {

// Hands every key of one database to every query that takes it. Close
// spellings go through a walker of their own, which the keys' order speeds up.
class MatchCollector : public CIndexKeyVisitor {
public:
    MatchCollector(int code, const std::vector<CSurnameMatcher>& queries, ListingOutcome& outcome)
        : code_(code), queries_(queries), outcome_(outcome), walkers_(queries.size()) {
        for (std::size_t q = 0; q < queries_.size(); ++q) {
            if (queries_[q].Mode() == MatchMode::Close) {
                walkers_[q] = std::make_unique<CCloseSpellingWalker>(queries_[q].CloseQuery());
            }
        }
    }
    void Visit(std::string_view key, std::int32_t first, std::int32_t count) override {
        for (std::size_t q = 0; q < queries_.size(); ++q) {
            const int distance =
                walkers_[q] != nullptr ? walkers_[q]->Next(key) : (queries_[q].Matches(key, code_) ? 0 : -1);
            if (distance < 0) continue;
            outcome_.matches[q].push_back(
                ListedSurname{code_, std::string(WithoutPadding(key)), count, first, distance});
        }
    }

private:
    int code_;
    const std::vector<CSurnameMatcher>& queries_;
    ListingOutcome& outcome_;
    std::vector<std::unique_ptr<CCloseSpellingWalker>> walkers_;
};

// Closest first, then the commonest; the walk's order (databases as given,
// keys in order) stays among equals.
void OrderCloseSpellings(std::vector<ListedSurname>& matches) {
    std::stable_sort(matches.begin(), matches.end(), [](const ListedSurname& a, const ListedSurname& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.count > b.count;
    });
}

StoreError ListOne(const CDirectories& dirs, int code, const std::vector<CSurnameMatcher>& queries,
                   const CKeyBeginnings& beginnings, ListingOutcome& outcome) {
    const char* stem = catalogue::StemOf(code);
    char path[256];
    if (stem == nullptr || !dirs.DataDirFits() || !FormatPath(path, "%s%s.tre", dirs.DataDir(), stem)) {
        return StoreError::Of(StoreErrorKind::PathTooLong);
    }
    CNameIndex index(catalogue::KeyFieldWidth(code));
    StoreError error = index.Open(path, std::string(stem) + ".tre");
    if (error.Failed()) return error;
    MatchCollector collector(code, queries, outcome);
    return index.WalkKeys(collector, &beginnings);
}

}  // namespace

ListingOutcome List(const CDirectories& dirs, const std::vector<int>& codes,
                    const std::vector<CSurnameMatcher>& queries, const ListingOptions& options) {
    ListingOutcome outcome;
    outcome.matches.resize(queries.size());
    if (!CheckDataDisk(dirs, options.prompt)) {
        outcome.cancelled = true;
        return outcome;
    }
    // Which beginnings a key needs for any query to take it: the walks read
    // only the parts of the indexes that hold such keys.
    const std::unique_ptr<bool[]> leading(new bool[65536]());
    for (const CSurnameMatcher& query : queries) query.MarkLeadingBytes(leading.get());
    const CKeyBeginnings beginnings(leading.get());
    for (int code : codes) {
        StoreError error = ListOne(dirs, code, queries, beginnings, outcome);
        if (error.kind == StoreErrorKind::IndexMissing && options.skipMissing) {
            outcome.skipped.push_back(code);
            continue;
        }
        if (error.Failed()) {
            // A bad signature stops a listing like a damaged page; nothing
            // ends the program here.
            outcome.error = error;
            outcome.messages.push_back(search_messages::MessageOf(error));
            outcome.details = search_messages::DetailsOf(error, dirs.DataDir());
            return outcome;
        }
    }
    for (std::size_t q = 0; q < queries.size(); ++q) {
        if (queries[q].Mode() == MatchMode::Close) OrderCloseSpellings(outcome.matches[q]);
    }
    return outcome;
}

ListingOutcome CloseSpellings(const CDirectories& dirs, int code, std::string_view surname,
                              const ListingOptions& options) {
    return List(dirs, {code}, {CSurnameMatcher(MatchMode::Close, surname)}, options);
}

}  // namespace surname_listing
