#include "browse/linkage/link_lifespan.h"

#include <algorithm>

#include "browse/linkage/database_era.h"

namespace linkage {
namespace {

// A clerk's year may be off by this much; a longer life than kLongestLife is none.
constexpr int kSlack = 2;
constexpr int kLongestLife = 110;

void Within(int& from, int& to, int lo, int hi) {
    from = std::max(from, lo);
    to = std::min(to, hi);
}

std::string Years(int from, int to) {
    if (from <= 1000 && to >= 3000) return "any year";
    if (from <= 1000) return "by " + std::to_string(to);
    if (to >= 3000) return "from " + std::to_string(from);
    if (from == to) return std::to_string(from);
    return std::to_string(from) + " to " + std::to_string(to);
}

}  // namespace

Lifespan LifespanOf(const LinkFacts& facts) {
    Lifespan span;
    const DatabaseEra& era = EraOf(facts.code);
    if (facts.born.Known())
        Within(span.bornFrom, span.bornTo, facts.born.lo - kSlack, facts.born.hi + kSlack);
    if (facts.died.Known())
        Within(span.diedFrom, span.diedTo, facts.died.lo - kSlack, facts.died.hi + kSlack);
    const int minAge = era.alive ? era.minAge : 0;
    const int maxAge = era.alive ? era.maxAge : kLongestLife;
    if (era.alive && era.from > 0) {
        Within(span.bornFrom, span.bornTo, era.from - maxAge, era.to - minAge);
        span.diedFrom = std::max(span.diedFrom, era.from);
    }
    if (facts.alive.Known()) {
        Within(span.bornFrom, span.bornTo, facts.alive.lo - maxAge, facts.alive.hi - minAge);
        span.diedFrom = std::max(span.diedFrom, facts.alive.lo);
    }
    if (era.deadBy && era.to > 0) span.diedTo = std::min(span.diedTo, era.to);
    if (era.diedWithin && era.from > 0) Within(span.diedFrom, span.diedTo, era.from, era.to + 1);
    return span;
}

bool CannotMeet(const LinkFacts& a, const LinkFacts& b, std::string& why) {
    const Lifespan x = LifespanOf(a);
    const Lifespan y = LifespanOf(b);
    Lifespan both = x;
    Within(both.bornFrom, both.bornTo, y.bornFrom, y.bornTo);
    Within(both.diedFrom, both.diedTo, y.diedFrom, y.diedTo);
    const bool bornMeets = both.bornFrom <= both.bornTo;
    const bool diedMeets = both.diedFrom <= both.diedTo;
    const bool lifeFits = both.diedTo >= both.bornFrom && both.diedFrom - both.bornTo <= kLongestLife;
    if (bornMeets && diedMeets && lifeFits) return false;
    why = "no lifetime holds both: ";
    why += "born " + Years(x.bornFrom, x.bornTo) + ", died " + Years(x.diedFrom, x.diedTo);
    why += " / born " + Years(y.bornFrom, y.bornTo) + ", died " + Years(y.diedFrom, y.diedTo);
    return true;
}

}  // namespace linkage
