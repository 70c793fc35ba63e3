#pragma once
// What the researcher decided about pairs of records, as the linkage takes
// it: a pair refused ("not the same person") is never proposed again, as
// likely or possible, whatever its score; a pair confirmed ("same person")
// is shown as confirmed, proposed or not. The linkage does not keep them:
// the program reads them from where they are kept and hands them over.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace linkage {

// A record by where the disk holds it: database code and 0-based entry.
struct RecordPlace {
    int code = 0;
    std::int32_t entry = -1;
};
bool operator<(const RecordPlace& a, const RecordPlace& b);
bool operator==(const RecordPlace& a, const RecordPlace& b);

enum class Known { Unknown, Same, NotSame };

class CKnownPairs {
public:
    // The later of two verdicts on one pair stands; a record with itself is no pair.
    void Set(RecordPlace a, RecordPlace b, Known known);
    Known Of(RecordPlace a, RecordPlace b) const;
    // The records confirmed to be the same person as a, in record order.
    std::vector<RecordPlace> ConfirmedWith(RecordPlace a) const;
    // Every pair confirmed, the lower record first, in record order.
    std::vector<std::pair<RecordPlace, RecordPlace>> ConfirmedPairs() const;
    bool Empty() const { return pairs_.empty(); }

private:
    std::map<std::pair<RecordPlace, RecordPlace>, Known> pairs_;
};

}  // namespace linkage
