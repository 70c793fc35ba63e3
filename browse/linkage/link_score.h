#pragma once
// Whether two records may be of one person: the evidence of each kind
// weighed as record linkage weighs it (Fellegi and Sunter: each agreement or
// disagreement adds the logarithm of how much likelier it is between records
// of one person than between records of two), summed with the prior odds,
// and turned into a score from 0 to 100 (the chance of one person, in per
// cent). docs/linkage.md gives every weight and why.
//
// Some evidence rules a pair out whatever else agrees: births more than five
// years apart, deaths more than three, and lifespans that cannot meet (a man
// who died in 1863 is no prisoner of 1944, a soldier of the Revolution no
// soldier of the Civil War).

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "browse/linkage/link_facts.h"

class CGivenNameTable;

namespace linkage {

enum class Verdict { None, Possible, Likely };

// The thresholds of the verdicts, on the score.
inline constexpr int kLikelyScore = 90;
inline constexpr int kPossibleScore = 50;

// "likely", "possible", "" for none.
const char* VerdictName(Verdict verdict);
Verdict VerdictOf(int score);

// How often each name is found among the people linked, for the weight of an
// agreement: a surname or given name that few people have tells more.
struct NameCounts {
    std::unordered_map<std::string, std::int32_t> surnames;  // folded letters -> people
    std::unordered_map<std::string, std::int32_t> given;     // first given name -> people
    std::int64_t people = 0;
    // The chance that two people, of databases a and b (a <= b), have the
    // same year of birth (of death) where both records give one exactly,
    // from the years the people linked have; none where no one has one.
    std::map<std::pair<int, int>, double> bornChance;
    std::map<std::pair<int, int>, double> diedChance;

    std::int32_t SurnameCount(const std::string& surname) const;
    // The chance of (bornChance or diedChance), 0 when not known.
    static double ChanceOf(const std::map<std::pair<int, int>, double>& chances, int a, int b);
    std::int32_t GivenCount(const std::string& name) const;
};

struct LinkJudgement {
    bool ruledOut = false;
    double weight = 0;  // in bits, prior included
    int score = 0;
    Verdict verdict = Verdict::None;
    // In the order weighed; a ruled-out pair's reason comes last.
    std::vector<std::string> reasons;

    // The reasons joined by "; ".
    std::string ReasonText() const;
};

// The surnames of a and b must have been found alike by the blocking (equal,
// sharing a sound code, or a close spelling); the judgement says how.
LinkJudgement Judge(const LinkFacts& a, const LinkFacts& b, const NameCounts& counts,
                    const CGivenNameTable& names);

// A given name as reasons show it: "Joshua L.".
std::string ShownGiven(const std::vector<std::string>& given);

}  // namespace linkage
