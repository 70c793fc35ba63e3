#include "browse/linkage/known_pairs.h"

#include <algorithm>

namespace linkage {

bool operator<(const RecordPlace& a, const RecordPlace& b) {
    return a.code != b.code ? a.code < b.code : a.entry < b.entry;
}

bool operator==(const RecordPlace& a, const RecordPlace& b) { return a.code == b.code && a.entry == b.entry; }

namespace {

std::pair<RecordPlace, RecordPlace> KeyOf(RecordPlace a, RecordPlace b) {
    return b < a ? std::make_pair(b, a) : std::make_pair(a, b);
}

}  // namespace

void CKnownPairs::Set(RecordPlace a, RecordPlace b, Known known) {
    if (a == b) return;
    if (known == Known::Unknown) {
        pairs_.erase(KeyOf(a, b));
    } else {
        pairs_[KeyOf(a, b)] = known;
    }
}

Known CKnownPairs::Of(RecordPlace a, RecordPlace b) const {
    const auto found = pairs_.find(KeyOf(a, b));
    return found == pairs_.end() ? Known::Unknown : found->second;
}

std::vector<RecordPlace> CKnownPairs::ConfirmedWith(RecordPlace a) const {
    std::vector<RecordPlace> found;
    for (const auto& pair : pairs_) {
        if (pair.second != Known::Same) continue;
        if (pair.first.first == a) found.push_back(pair.first.second);
        if (pair.first.second == a) found.push_back(pair.first.first);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::pair<RecordPlace, RecordPlace>> CKnownPairs::ConfirmedPairs() const {
    std::vector<std::pair<RecordPlace, RecordPlace>> found;
    for (const auto& pair : pairs_) {
        if (pair.second == Known::Same) found.push_back(pair.first);
    }
    return found;
}

}  // namespace linkage
