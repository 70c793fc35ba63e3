#pragma once
// The people to link and the blocking that finds, for each, the people worth
// judging without judging everyone against everyone.
//
// Two people are judged when their surnames are alike and their first given
// names may be one:
// - surnames alike: equal, sharing an American Soundex or a Daitch-Mokotoff
//   code, or within the close-spelling distance of browse/names/ (found by
//   the spellings each gives when one letter is left out of it);
// - first given names: equal, variants of each other by the given-name
//   table (Bill and William), or one the initial of the other (J. and
//   Joshua), two initials alike included. A person without given names is
//   judged against nobody.
// The surnames alike are worked out once per pair of distinct surnames; the
// people of two such surnames are then joined through a map of first given
// names, so that the work grows with the pairs found, not with the people
// squared.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "browse/linkage/known_pairs.h"
#include "browse/linkage/link_facts.h"
#include "browse/linkage/link_score.h"

class CGivenNameTable;

namespace linkage {

struct LinkPerson {
    int code = 0;
    std::int32_t entry = -1;
    std::string surname;     // as the index holds it (Windows-1252)
    std::string givenNames;  // as the entry holds them
    LinkFacts facts;
};

class CLinkIndex {
public:
    explicit CLinkIndex(const CGivenNameTable& names);

    void Add(LinkPerson person);
    // Counts the names and builds the blocks; Add no more after it.
    void Finish();

    const std::vector<LinkPerson>& People() const { return people_; }
    const NameCounts& Counts() const { return counts_; }
    // Surname counts from elsewhere (every database of the disk), in place of
    // those of the people added; to be set before Finish.
    void SetSurnameCounts(std::unordered_map<std::string, std::int32_t> counts);

    // The people to judge against person i, each once, i left out.
    std::vector<std::uint32_t> CandidatesOf(std::uint32_t i) const;
    // Every pair to judge, once each, the lower number first, in order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> CandidatePairs() const;
    // Calls visit(p, q) for every pair to judge, once each, p < q, in no set
    // order and without holding them all.
    template <typename Visit>
    void ForEachCandidatePair(Visit&& visit) const;
    // Distinct surnames alike, as pairs of surname numbers (the lower first,
    // a surname with itself included): what the blocking walks.
    std::size_t SurnamePairCount() const { return surnamePairs_.size(); }

private:
    struct Surname {
        std::string letters;
        std::vector<std::uint32_t> people;
        // First given name (or its initial, keyed "=J") -> people.
        std::unordered_map<std::string, std::vector<std::uint32_t>> byGiven;
    };
    void BuildSurnamePairs();
    // Calls take(q) for every person q of surname t whose first given name may be p's.
    template <typename Take>
    void Join(std::uint32_t p, const Surname& t, Take&& take) const;
    const std::vector<std::string>& VariantsOf(const std::string& name) const;

    const CGivenNameTable& names_;
    std::vector<LinkPerson> people_;
    std::vector<std::uint32_t> surnameOf_;
    std::vector<Surname> surnames_;
    std::unordered_map<std::string, std::uint32_t> surnameIds_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> surnamePairs_;
    std::vector<std::vector<std::uint32_t>> alike_;  // surname -> surnames alike, itself first
    NameCounts counts_;
    bool haveSurnameCounts_ = false;
    mutable std::unordered_map<std::string, std::vector<std::string>> variants_;
};

template <typename Take>
void CLinkIndex::Join(std::uint32_t p, const Surname& t, Take&& take) const {
    const std::vector<std::string>& given = people_[p].facts.given;
    if (given.empty()) return;
    const std::string& first = given[0];
    auto takeAll = [&](const std::string& key) {
        const auto found = t.byGiven.find(key);
        if (found == t.byGiven.end()) return;
        for (const std::uint32_t q : found->second) take(q);
    };
    if (first.size() == 1) {
        takeAll(first);        // initials alike
        takeAll("=" + first);  // full names with that initial
        return;
    }
    for (const std::string& variant : VariantsOf(first)) takeAll(variant);
    takeAll(first.substr(0, 1));
}

template <typename Visit>
void CLinkIndex::ForEachCandidatePair(Visit&& visit) const {
    // Each pair of surnames is walked once, from its first surname; the join
    // finds a person of the second at most once, so no pair comes twice.
    for (const auto& pair : surnamePairs_) {
        // Named copies, not structured bindings: C++17 lambdas cannot capture those.
        const auto s = pair.first;
        const auto t = pair.second;
        for (const std::uint32_t p : surnames_[s].people) {
            Join(p, surnames_[t], [&](std::uint32_t q) {
                if (q == p || (s == t && q < p)) return;
                visit(p < q ? p : q, p < q ? q : p);
            });
        }
    }
}

// One candidate judged.
struct Link {
    std::uint32_t other = 0;
    LinkJudgement judgement;
    bool confirmed = false;  // the researcher said: the same person
};

// The links of person i at or above "possible", best first (then in the
// order of the people). With known: the pairs refused left out, those
// confirmed marked and put first, and a person confirmed whom the linkage
// would not propose added with its judgement.
std::vector<Link> LinksOf(const CLinkIndex& index, std::uint32_t i, const CGivenNameTable& names,
                          const CKnownPairs* known = nullptr);

struct LinkPair {
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    LinkJudgement judgement;
    bool confirmed = false;
};
// Every pair at or above "possible", once each, in the order of the people;
// with known, as LinksOf takes it.
std::vector<LinkPair> AllLinks(const CLinkIndex& index, const CGivenNameTable& names,
                               const CKnownPairs* known = nullptr);

// The "verdict" a link is shown with: "confirmed", "likely" or "possible".
const char* ShownVerdict(const LinkJudgement& judgement, bool confirmed);

}  // namespace linkage
