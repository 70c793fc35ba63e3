// CLinkIndex's bound of a pair's weight: Judge's sum (link_score.cpp) from
// the numbers of the packed facts, without a string made or compared, so
// that the millions of pairs the blocking finds among the common names of
// a large disk are turned down for a few nanoseconds each; only those that
// may reach "possible" are judged.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "browse/linkage/database_era.h"
#include "browse/linkage/link_index.h"
#include "browse/linkage/link_weights.h"

namespace linkage {
namespace {

// The weight of a score of 49.5 (the least that rounds to "possible") is
// -0.029 bits; the bound is summed in another order than Judge's sum, so a
// pair is judged from a little below it.
constexpr double kJudgedFrom = -0.1;
constexpr double kRuledOut = -std::numeric_limits<double>::infinity();

int Distance(const std::int16_t (&a)[2], const std::int16_t (&b)[2]) {
    if (a[1] < b[0]) return b[0] - a[1];
    if (b[1] < a[0]) return a[0] - b[1];
    return 0;
}

// WeighYears' weight; a year is known when its first is above 0.
double YearsWeight(const std::int16_t (&a)[2], const std::int16_t (&b)[2]) {
    if (a[0] <= 0 || b[0] <= 0) return 0;
    const int distance = Distance(a, b);
    if (distance == 0) return a[0] == a[1] && b[0] == b[1] ? kYearEqual : kYearNear;
    if (distance == 1) return kYearOne;
    if (distance == 2) return kYearTwo;
    return kYearFar;
}

bool AnyShared(const std::uint32_t* a, std::size_t na, const std::uint32_t* b, std::size_t nb) {
    for (std::size_t i = 0; i < na; ++i) {
        if (std::find(b, b + nb, a[i]) != b + nb) return true;
    }
    return false;
}

bool SameEra(int a, int b) {
    if (a == b) return false;
    const char* x = EraOf(a).name;
    const char* y = EraOf(b).name;
    return x != nullptr && y != nullptr && (x == y || std::strcmp(x, y) == 0);
}

}  // namespace

double CLinkIndex::WeightBound(std::uint32_t p, std::uint32_t q) const {
    const PackedPerson& a = people_[p];
    const PackedPerson& b = people_[q];
    // What rules a pair out before lifespans are tried (those only Judge tries).
    if (a.born[0] > 0 && b.born[0] > 0 && Distance(a.born, b.born) > 5) return kRuledOut;
    if (a.died[0] > 0 && b.died[0] > 0 && Distance(a.died, b.died) > 3) return kRuledOut;
    const Side x = EraOf(a.factsCode).side;
    const Side y = EraOf(b.factsCode).side;
    if (x != Side::None && y != Side::None && x != y) return kRuledOut;

    double weight = kPrior;
    if (a.factsCode == b.factsCode) weight += kSameDatabase;
    if (a.surname == b.surname) {
        weight += surnameWeight_[a.surname];
    } else {
        // At most a close spelling; a sound alike weighs less.
        const std::int32_t count =
            std::max(surnameCount_[a.surname], 1) + std::max(surnameCount_[b.surname], 1);
        weight += kSurnameRight - std::log2(count) + kSurnameClose;
    }
    if (a.givenCount > 0 && b.givenCount > 0) {
        const std::uint32_t* given = people_.Given(p);
        const std::uint32_t* other = people_.Given(q);
        bool middle = true;
        if (given[0] == other[0] && !wordAlone_[given[0]]) {
            weight += givenWeight_[given[0]];
        } else if (wordAlone_[given[0]] || wordAlone_[other[0]]) {
            middle = wordInitial_[given[0]] == wordInitial_[other[0]];
            weight += middle ? kGivenInitial : kGivenConflict;
        } else {
            weight += kGivenVariant;  // at most: a variant; a close spelling or names that differ weigh less
        }
        if (middle && a.givenCount > 1 && b.givenCount > 1) {
            const std::uint32_t m = given[1];
            const std::uint32_t n = other[1];
            if (m == n && !wordAlone_[m]) {
                weight += kMiddleEqual;
            } else if (!wordAlone_[m] && !wordAlone_[n]) {
                weight += kMiddleInitial;  // at most: variants
            } else {
                weight += wordInitial_[m] == wordInitial_[n] ? kMiddleInitial : kMiddleConflict;
            }
        }
    }
    if (a.generation != '\0' && b.generation != '\0' && a.generation != b.generation) {
        weight += kGenerationConflict;
    }
    weight += YearsWeight(a.born, b.born) + YearsWeight(a.died, b.died);
    if (a.states != 0 && b.states != 0) weight += (a.states & b.states) != 0 ? kStateAgree : kStateDiffer;
    if (AnyShared(people_.Towns(p), a.townCount, people_.Towns(q), b.townCount)) weight += kTownAgree;
    if (SameEra(a.factsCode, b.factsCode)) weight += kSameEra;
    if (AnyShared(people_.Units(p), a.unitCount, people_.Units(q), b.unitCount)) weight += kUnitAgree;
    if (a.rank >= 0 && a.rank == b.rank) weight += kRankAgree;
    if (a.branch != 0 && b.branch != 0) weight += (a.branch & b.branch) != 0 ? kBranchAgree : kBranchDiffer;
    return weight;
}

bool CLinkIndex::MayBePossible(std::uint32_t p, std::uint32_t q) const {
    return WeightBound(p, q) >= kJudgedFrom;
}

}  // namespace linkage
