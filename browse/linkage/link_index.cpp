#include "browse/linkage/link_index.h"

#include <algorithm>
#include <map>

#include "browse/names/american_soundex.h"
#include "browse/names/close_spelling.h"
#include "browse/names/daitch_mokotoff.h"
#include "browse/names/given_name_table.h"

namespace linkage {
namespace {

// The blocking keys of one distinct surname, tagged by kind so that a
// Soundex code and a Daitch-Mokotoff code of the same number differ.
constexpr std::uint64_t kSoundexTag = std::uint64_t{1} << 40;
constexpr std::uint64_t kDmTag = std::uint64_t{2} << 40;

std::uint64_t PairKey(std::uint32_t a, std::uint32_t b) {
    if (a > b) std::swap(a, b);
    return std::uint64_t{a} << 32 | b;
}

}  // namespace

CLinkIndex::CLinkIndex(const CGivenNameTable& names) : names_(names) {}

void CLinkIndex::Add(LinkPerson person) { people_.push_back(std::move(person)); }

void CLinkIndex::SetSurnameCounts(std::unordered_map<std::string, std::int32_t> counts) {
    counts_.surnames = std::move(counts);
    haveSurnameCounts_ = true;
}

void CLinkIndex::Finish() {
    counts_.people = static_cast<std::int64_t>(people_.size());
    surnameOf_.resize(people_.size());
    for (std::uint32_t i = 0; i < people_.size(); ++i) {
        const LinkFacts& facts = people_[i].facts;
        auto [at, added] = surnameIds_.emplace(facts.surname, static_cast<std::uint32_t>(surnames_.size()));
        if (added) surnames_.push_back(Surname{facts.surname, {}, {}});
        Surname& surname = surnames_[at->second];
        surnameOf_[i] = at->second;
        surname.people.push_back(i);
        if (!haveSurnameCounts_) ++counts_.surnames[facts.surname];
        if (facts.given.empty()) continue;
        const std::string& first = facts.given[0];
        ++counts_.given[first];
        surname.byGiven[first].push_back(i);
        if (first.size() > 1) surname.byGiven["=" + first.substr(0, 1)].push_back(i);
    }
    BuildSurnamePairs();
}

void CLinkIndex::BuildSurnamePairs() {
    // (key, surname) for every code and every spelling with a letter left
    // out, sorted so that the surnames of one key lie together. A spelling
    // is kept as its hash: two spellings of one hash only add a pair that
    // the distance then turns down.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byCode;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byDeletion;
    DmCodeSet dm;
    std::string deletion;
    for (std::uint32_t s = 0; s < surnames_.size(); ++s) {
        const std::string& letters = surnames_[s].letters;
        if (letters.empty()) continue;
        const SoundexCodeSet soundex = AmericanSoundexOf(letters);
        for (int k = 0; k < soundex.count; ++k) byCode.emplace_back(kSoundexTag | soundex.codes[k], s);
        DaitchMokotoffOf(letters, dm);
        for (int k = 0; k < dm.count; ++k) byCode.emplace_back(kDmTag | dm.codes[k], s);
        // A spelling within two edits of another shares with it the
        // spelling left when one letter is taken from each (or from neither).
        byDeletion.emplace_back(std::hash<std::string>{}(letters), s);
        for (std::size_t k = 0; k < letters.size() && letters.size() > 1; ++k) {
            deletion.assign(letters, 0, k);
            deletion.append(letters, k + 1, std::string::npos);
            byDeletion.emplace_back(std::hash<std::string>{}(deletion), s);
        }
    }
    std::sort(byCode.begin(), byCode.end());
    byCode.erase(std::unique(byCode.begin(), byCode.end()), byCode.end());
    std::sort(byDeletion.begin(), byDeletion.end());
    byDeletion.erase(std::unique(byDeletion.begin(), byDeletion.end()), byDeletion.end());
    std::vector<std::uint64_t> pairs;
    for (std::uint32_t s = 0; s < surnames_.size(); ++s) pairs.push_back(PairKey(s, s));
    // Calls visit(a, b) for the surnames of every group of one key.
    auto eachGroup = [](const std::vector<std::pair<std::uint64_t, std::uint32_t>>& keyed, auto&& visit) {
        for (std::size_t from = 0; from < keyed.size();) {
            std::size_t to = from + 1;
            while (to < keyed.size() && keyed[to].first == keyed[from].first) ++to;
            for (std::size_t i = from; i < to; ++i) {
                for (std::size_t j = i + 1; j < to; ++j) visit(keyed[i].second, keyed[j].second);
            }
            from = to;
        }
    };
    eachGroup(byCode, [&](std::uint32_t a, std::uint32_t b) { pairs.push_back(PairKey(a, b)); });
    eachGroup(byDeletion, [&](std::uint32_t a, std::uint32_t b) {
        if (a == b) return;
        const CCloseSpellingQuery close(surnames_[a].letters);
        if (close.Distance(surnames_[b].letters) >= 0) pairs.push_back(PairKey(a, b));
    });
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    surnamePairs_.clear();
    surnamePairs_.reserve(pairs.size());
    alike_.assign(surnames_.size(), {});
    for (std::uint32_t s = 0; s < surnames_.size(); ++s) alike_[s].push_back(s);
    for (const std::uint64_t key : pairs) {
        const auto a = static_cast<std::uint32_t>(key >> 32);
        const auto b = static_cast<std::uint32_t>(key & 0xFFFFFFFFu);
        surnamePairs_.emplace_back(a, b);
        if (a != b) {
            alike_[a].push_back(b);
            alike_[b].push_back(a);
        }
    }
    std::sort(surnamePairs_.begin(), surnamePairs_.end());
}

const std::vector<std::string>& CLinkIndex::VariantsOf(const std::string& name) const {
    auto found = variants_.find(name);
    if (found == variants_.end()) found = variants_.emplace(name, names_.VariantsOf(name)).first;
    return found->second;
}

std::vector<std::uint32_t> CLinkIndex::CandidatesOf(std::uint32_t i) const {
    std::vector<std::uint32_t> found;
    if (i >= people_.size()) return found;
    for (const std::uint32_t s : alike_[surnameOf_[i]]) {
        Join(i, surnames_[s], [&](std::uint32_t q) {
            if (q != i) found.push_back(q);
        });
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> CLinkIndex::CandidatePairs() const {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> found;
    ForEachCandidatePair([&](std::uint32_t p, std::uint32_t q) { found.emplace_back(p, q); });
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

namespace {

RecordPlace PlaceOf(const LinkPerson& person) { return RecordPlace{person.code, person.entry}; }

// The number of the person at place, or people.size() when not held.
std::uint32_t NumberOf(const std::vector<LinkPerson>& people, RecordPlace place) {
    for (std::uint32_t i = 0; i < people.size(); ++i) {
        if (PlaceOf(people[i]) == place) return i;
    }
    return static_cast<std::uint32_t>(people.size());
}

Known KnownOf(const CKnownPairs* known, const LinkPerson& a, const LinkPerson& b) {
    return known == nullptr ? Known::Unknown : known->Of(PlaceOf(a), PlaceOf(b));
}

}  // namespace

const char* ShownVerdict(const LinkJudgement& judgement, bool confirmed) {
    return confirmed ? "confirmed" : VerdictName(judgement.verdict);
}

std::vector<Link> LinksOf(const CLinkIndex& index, std::uint32_t i, const CGivenNameTable& names,
                          const CKnownPairs* known) {
    std::vector<Link> links;
    const auto& people = index.People();
    if (i >= people.size()) return links;
    std::vector<std::uint32_t> candidates = index.CandidatesOf(i);
    if (known != nullptr) {
        for (const RecordPlace& place : known->ConfirmedWith(PlaceOf(people[i]))) {
            const std::uint32_t q = NumberOf(people, place);
            if (q < people.size() && q != i) candidates.push_back(q);
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    }
    for (const std::uint32_t q : candidates) {
        const Known said = KnownOf(known, people[i], people[q]);
        if (said == Known::NotSame) continue;
        LinkJudgement judgement = Judge(people[i].facts, people[q].facts, index.Counts(), names);
        if (judgement.verdict != Verdict::None || said == Known::Same)
            links.push_back(Link{q, std::move(judgement), said == Known::Same});
    }
    std::stable_sort(links.begin(), links.end(), [](const Link& a, const Link& b) {
        if (a.confirmed != b.confirmed) return a.confirmed;
        return a.judgement.score > b.judgement.score;
    });
    return links;
}

std::vector<LinkPair> AllLinks(const CLinkIndex& index, const CGivenNameTable& names,
                               const CKnownPairs* known) {
    std::vector<LinkPair> links;
    const auto& people = index.People();
    index.ForEachCandidatePair([&](std::uint32_t p, std::uint32_t q) {
        const Known said = KnownOf(known, people[p], people[q]);
        if (said == Known::NotSame) return;
        LinkJudgement judgement = Judge(people[p].facts, people[q].facts, index.Counts(), names);
        if (judgement.verdict != Verdict::None || said == Known::Same)
            links.push_back(LinkPair{p, q, std::move(judgement), said == Known::Same});
    });
    // The pairs confirmed that the blocking did not bring, each once.
    if (known != nullptr && !known->Empty()) {
        // The numbers of the people confirmed alone: the pairs are few, the people many.
        const auto confirmed = known->ConfirmedPairs();
        std::map<RecordPlace, std::uint32_t> numbers;
        for (const auto& pair : confirmed) {
            numbers.emplace(pair.first, 0u);
            numbers.emplace(pair.second, 0u);
        }
        for (std::uint32_t i = 0; i < people.size(); ++i) {
            const auto found = numbers.find(PlaceOf(people[i]));
            if (found != numbers.end()) found->second = i + 1;
        }
        std::vector<std::pair<std::uint32_t, std::uint32_t>> have;
        for (const LinkPair& pair : links) have.emplace_back(pair.first, pair.second);
        std::sort(have.begin(), have.end());
        for (const auto& pair : confirmed) {
            // Numbered from 1 above: 0 is a record not among the people linked.
            const std::uint32_t a = numbers[pair.first];
            const std::uint32_t b = numbers[pair.second];
            if (a == 0 || b == 0) continue;
            const std::uint32_t p = std::min(a, b) - 1;
            const std::uint32_t q = std::max(a, b) - 1;
            if (std::binary_search(have.begin(), have.end(), std::make_pair(p, q))) continue;
            links.push_back(
                LinkPair{p, q, Judge(people[p].facts, people[q].facts, index.Counts(), names), true});
        }
    }
    std::sort(links.begin(), links.end(), [](const LinkPair& a, const LinkPair& b) {
        return a.first != b.first ? a.first < b.first : a.second < b.second;
    });
    return links;
}

}  // namespace linkage
