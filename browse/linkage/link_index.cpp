#include "browse/linkage/link_index.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "browse/linkage/link_weights.h"
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

// A spelling is kept as its hash: two spellings of one hash only add a pair
// that the distance then turns down.
std::uint32_t SpellingHash(const std::string& spelling) {
    const std::uint64_t hash = std::hash<std::string>{}(spelling);
    return static_cast<std::uint32_t>(hash ^ hash >> 32);
}

// chances[(a, b)]: the chance that a person of database a and one of b
// have the same year, of those whose records give it exactly.
void SetYearChances(const std::map<int, std::map<int, std::int64_t>>& years,
                    std::map<std::pair<int, int>, double>& chances) {
    std::map<int, std::int64_t> totals;
    for (const auto& [code, counts] : years) {
        for (const auto& [year, count] : counts) totals[code] += count;
    }
    for (const auto& [a, countsA] : years) {
        for (const auto& [b, countsB] : years) {
            if (b < a) continue;
            double shared = 0;
            for (const auto& [year, count] : countsA) {
                const auto found = countsB.find(year);
                if (found != countsB.end())
                    shared += static_cast<double>(count) * static_cast<double>(found->second);
            }
            chances[{a, b}] = shared / (static_cast<double>(totals[a]) * static_cast<double>(totals[b]));
        }
    }
}

template <typename Key>
void SortUnique(std::vector<Key>& keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

}  // namespace

CLinkIndex::CLinkIndex(const CGivenNameTable& names) : names_(names) {}

void CLinkIndex::Add(const LinkPerson& person) { people_.Add(person); }

void CLinkIndex::SetSurnameCounts(std::unordered_map<std::string, std::int32_t> counts) {
    counts_.surnames = std::move(counts);
    haveSurnameCounts_ = true;
}

void CLinkIndex::Finish() {
    const auto people = static_cast<std::uint32_t>(people_.Size());
    counts_.people = static_cast<std::int64_t>(people);
    const CTextTable& surnames = people_.Surnames();
    const CTextTable& words = people_.Words();
    std::map<int, std::map<int, std::int64_t>> born;
    std::map<int, std::map<int, std::int64_t>> died;
    for (std::uint32_t i = 0; i < people; ++i) {
        const PackedPerson& person = people_[i];
        if (!haveSurnameCounts_) ++counts_.surnames[surnames[person.surname]];
        if (person.givenCount > 0) ++counts_.given[words[people_.Given(i)[0]]];
        if (person.born[0] > 0 && person.born[0] == person.born[1]) ++born[person.factsCode][person.born[0]];
        if (person.died[0] > 0 && person.died[0] == person.died[1]) ++died[person.factsCode][person.died[0]];
    }
    SetYearChances(born, counts_.bornChance);
    SetYearChances(died, counts_.diedChance);
    surnameCount_.resize(surnames.Size());
    surnameWeight_.resize(surnames.Size());
    for (std::uint32_t s = 0; s < surnames.Size(); ++s) {
        surnameCount_[s] = counts_.SurnameCount(surnames[s]);
        surnameWeight_[s] = kSurnameRight - std::log2(std::max(surnameCount_[s], 1));
    }
    givenWeight_.assign(words.Size(), kGivenEqualMax);
    wordInitial_.assign(words.Size(), '\0');
    wordAlone_.assign(words.Size(), false);
    for (std::uint32_t w = 0; w < words.Size(); ++w) {
        if (!words[w].empty()) wordInitial_[w] = words[w][0];
        wordAlone_[w] = words[w].size() == 1;
    }
    for (const auto& [name, count] : counts_.given) {
        const std::uint32_t word = words.Find(name);
        const double share = static_cast<double>(std::max(count, 1)) /
                             static_cast<double>(std::max<std::int64_t>(counts_.people, 1));
        if (word != CTextTable::kNone) {
            givenWeight_[word] = std::clamp(std::log2(0.9 / share), kGivenEqualMin, kGivenEqualMax);
        }
    }
    BuildBlocks();
    BuildJoinKeys();
    BuildSurnameKeys();
    people_.Finish();
}

void CLinkIndex::BuildBlocks() {
    const auto people = static_cast<std::uint32_t>(people_.Size());
    const CTextTable& words = people_.Words();
    // (surname, key, person): a person under its first given name, and a
    // full name also under its initial.
    std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> keyed;
    keyed.reserve(2 * static_cast<std::size_t>(people));
    for (std::uint32_t i = 0; i < people; ++i) {
        const PackedPerson& person = people_[i];
        if (person.givenCount == 0) continue;
        const std::uint32_t first = people_.Given(i)[0];
        keyed.emplace_back(person.surname, first, i);
        const std::string& name = words[first];
        if (name.size() > 1) {
            keyed.emplace_back(person.surname, kInitialKey | static_cast<unsigned char>(name[0]), i);
        }
    }
    std::sort(keyed.begin(), keyed.end());
    const std::size_t surnames = people_.Surnames().Size();
    blockStart_.assign(surnames + 1, 0);
    blocks_.clear();
    members_.clear();
    members_.reserve(keyed.size());
    std::size_t at = 0;
    for (std::uint32_t s = 0; s < surnames; ++s) {
        blockStart_[s] = static_cast<std::uint32_t>(blocks_.size());
        while (at < keyed.size() && std::get<0>(keyed[at]) == s) {
            const std::uint32_t key = std::get<1>(keyed[at]);
            blocks_.push_back(Block{key, static_cast<std::uint32_t>(members_.size())});
            for (; at < keyed.size() && std::get<0>(keyed[at]) == s && std::get<1>(keyed[at]) == key; ++at) {
                members_.push_back(std::get<2>(keyed[at]));
            }
        }
    }
    blockStart_[surnames] = static_cast<std::uint32_t>(blocks_.size());
    blocks_.push_back(Block{0, static_cast<std::uint32_t>(members_.size())});
    blocks_.shrink_to_fit();
}

void CLinkIndex::BuildJoinKeys() {
    // A full first name joins the blocks of its variants and of its initial
    // written alone; an initial, those of the initial and of the full names
    // it begins.
    const CTextTable& words = people_.Words();
    joinStart_.assign(words.Size() + 1, 0);
    joinKeys_.clear();
    for (std::uint32_t w = 0; w < words.Size(); ++w) {
        joinStart_[w] = static_cast<std::uint32_t>(joinKeys_.size());
        const std::string& name = words[w];
        if (name.empty() || counts_.GivenCount(name) == 0) continue;  // no one's first given name
        const std::uint32_t initial = words.Find(name.substr(0, 1));
        if (name.size() == 1) {
            joinKeys_.push_back(w);
            joinKeys_.push_back(kInitialKey | static_cast<unsigned char>(name[0]));
            continue;
        }
        for (const std::string& variant : names_.VariantsOf(name)) {
            const std::uint32_t number = words.Find(variant);
            if (number != CTextTable::kNone) joinKeys_.push_back(number);
        }
        if (initial != CTextTable::kNone) joinKeys_.push_back(initial);
        std::sort(joinKeys_.begin() + joinStart_[w], joinKeys_.end());
    }
    joinStart_[words.Size()] = static_cast<std::uint32_t>(joinKeys_.size());
}

void CLinkIndex::BuildSurnameKeys() {
    const CTextTable& surnames = people_.Surnames();
    byCode_.clear();
    byDeletion_.clear();
    codeStart_.assign(surnames.Size() + 1, 0);
    deletionStart_.assign(surnames.Size() + 1, 0);
    codes_.clear();
    deletions_.clear();
    DmCodeSet dm;
    std::string deletion;
    for (std::uint32_t s = 0; s < surnames.Size(); ++s) {
        codeStart_[s] = static_cast<std::uint32_t>(codes_.size());
        deletionStart_[s] = static_cast<std::uint32_t>(deletions_.size());
        const std::string& letters = surnames[s];
        if (letters.empty()) continue;
        const SoundexCodeSet soundex = AmericanSoundexOf(letters);
        for (int k = 0; k < soundex.count; ++k) codes_.push_back(kSoundexTag | soundex.codes[k]);
        DaitchMokotoffOf(letters, dm);
        for (int k = 0; k < dm.count; ++k) codes_.push_back(kDmTag | dm.codes[k]);
        // A spelling within two edits of another shares with it the
        // spelling left when one letter is taken from each (or from neither).
        deletions_.push_back(SpellingHash(letters));
        for (std::size_t k = 0; k < letters.size() && letters.size() > 1; ++k) {
            deletion.assign(letters, 0, k);
            deletion.append(letters, k + 1, std::string::npos);
            deletions_.push_back(SpellingHash(deletion));
        }
        auto sortOwn = [](auto& keys, std::uint32_t from) {
            std::sort(keys.begin() + from, keys.end());
            keys.erase(std::unique(keys.begin() + from, keys.end()), keys.end());
        };
        sortOwn(codes_, codeStart_[s]);
        sortOwn(deletions_, deletionStart_[s]);
        for (std::size_t k = codeStart_[s]; k < codes_.size(); ++k) byCode_.emplace_back(codes_[k], s);
        for (std::size_t k = deletionStart_[s]; k < deletions_.size(); ++k)
            byDeletion_.emplace_back(deletions_[k], s);
    }
    codeStart_[surnames.Size()] = static_cast<std::uint32_t>(codes_.size());
    deletionStart_[surnames.Size()] = static_cast<std::uint32_t>(deletions_.size());
    SortUnique(byCode_);
    SortUnique(byDeletion_);
    codes_.shrink_to_fit();
    deletions_.shrink_to_fit();
}

bool CLinkIndex::CloseSpelt(std::uint32_t a, std::uint32_t b) const {
    const CTextTable& surnames = people_.Surnames();
    const CCloseSpellingQuery close(surnames[std::min(a, b)]);
    return close.Distance(surnames[std::max(a, b)]) >= 0;
}

std::pair<const std::uint32_t*, const std::uint32_t*> CLinkIndex::BlockOf(std::uint32_t t,
                                                                          std::uint32_t key) const {
    const Block* first = blocks_.data() + blockStart_[t];
    const Block* last = blocks_.data() + blockStart_[t + 1];
    const Block* found =
        std::lower_bound(first, last, key, [](const Block& block, std::uint32_t k) { return block.key < k; });
    if (found == last || found->key != key) return {nullptr, nullptr};
    return {members_.data() + found->begin, members_.data() + (found + 1)->begin};
}

std::size_t CLinkIndex::SurnamePairCount() const {
    std::size_t count = 0;
    ForEachSurnamePair([&](std::uint32_t, std::uint32_t) { ++count; });
    return count;
}

std::vector<std::uint32_t> CLinkIndex::CandidatesOf(std::uint32_t i) const {
    std::vector<std::uint32_t> found;
    if (i >= people_.Size()) return found;
    const std::uint32_t s = people_[i].surname;
    // The surnames alike: s, those sharing a code, those a close spelling away.
    std::vector<std::uint32_t> alike{s};
    for (std::uint32_t k = codeStart_[s]; k < codeStart_[s + 1]; ++k) {
        const auto key = std::make_pair(codes_[k], std::uint32_t{0});
        for (auto at = std::lower_bound(byCode_.begin(), byCode_.end(), key);
             at != byCode_.end() && at->first == codes_[k]; ++at) {
            alike.push_back(at->second);
        }
    }
    for (std::uint32_t k = deletionStart_[s]; k < deletionStart_[s + 1]; ++k) {
        const auto key = std::make_pair(deletions_[k], std::uint32_t{0});
        for (auto at = std::lower_bound(byDeletion_.begin(), byDeletion_.end(), key);
             at != byDeletion_.end() && at->first == deletions_[k]; ++at) {
            if (at->second != s && CloseSpelt(s, at->second)) alike.push_back(at->second);
        }
    }
    SortUnique(alike);
    for (const std::uint32_t t : alike) {
        Join(i, t, [&](std::uint32_t q) {
            if (q != i) found.push_back(q);
        });
    }
    SortUnique(found);
    return found;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> CLinkIndex::CandidatePairs() const {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> found;
    ForEachCandidatePair([&](std::uint32_t p, std::uint32_t q) { found.emplace_back(p, q); });
    SortUnique(found);
    return found;
}

namespace {

RecordPlace PlaceOf(const CLinkIndex& index, std::uint32_t i) {
    return RecordPlace{index.CodeOf(i), index.EntryOf(i)};
}

// The number of the person at place, or index.Size() when not held.
std::uint32_t NumberOf(const CLinkIndex& index, RecordPlace place) {
    for (std::uint32_t i = 0; i < index.Size(); ++i) {
        if (PlaceOf(index, i) == place) return i;
    }
    return static_cast<std::uint32_t>(index.Size());
}

Known KnownOf(const CKnownPairs* known, const CLinkIndex& index, std::uint32_t p, std::uint32_t q) {
    return known == nullptr ? Known::Unknown : known->Of(PlaceOf(index, p), PlaceOf(index, q));
}

}  // namespace

const char* ShownVerdict(const LinkJudgement& judgement, bool confirmed) {
    return confirmed ? "confirmed" : VerdictName(judgement.verdict);
}

std::vector<Link> LinksOf(const CLinkIndex& index, std::uint32_t i, const CGivenNameTable& names,
                          const CKnownPairs* known) {
    std::vector<Link> links;
    if (i >= index.Size()) return links;
    std::vector<std::uint32_t> candidates = index.CandidatesOf(i);
    if (known != nullptr) {
        for (const RecordPlace& place : known->ConfirmedWith(PlaceOf(index, i))) {
            const std::uint32_t q = NumberOf(index, place);
            if (q < index.Size() && q != i) candidates.push_back(q);
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    }
    const LinkFacts self = index.Facts(i);
    for (const std::uint32_t q : candidates) {
        const Known said = KnownOf(known, index, i, q);
        if (said == Known::NotSame) continue;
        LinkJudgement judgement = Judge(self, index.Facts(q), index.Counts(), names);
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
    index.ForEachCandidatePair([&](std::uint32_t p, std::uint32_t q) {
        // A pair that cannot reach possible is left to the confirmed ones below, if confirmed.
        if (!index.MayBePossible(p, q)) return;
        const Known said = KnownOf(known, index, p, q);
        if (said == Known::NotSame) return;
        LinkJudgement judgement = Judge(index.Facts(p), index.Facts(q), index.Counts(), names);
        if (judgement.verdict != Verdict::None || said == Known::Same)
            links.push_back(LinkPair{p, q, std::move(judgement), said == Known::Same});
    });
    // The pairs confirmed that the blocking did not bring (or that could not
    // reach possible), each once.
    if (known != nullptr && !known->Empty()) {
        // The numbers of the people confirmed alone: the pairs are few, the people many.
        const auto confirmed = known->ConfirmedPairs();
        std::map<RecordPlace, std::uint32_t> numbers;
        for (const auto& pair : confirmed) {
            numbers.emplace(pair.first, 0u);
            numbers.emplace(pair.second, 0u);
        }
        for (std::uint32_t i = 0; i < index.Size(); ++i) {
            const auto found = numbers.find(PlaceOf(index, i));
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
                LinkPair{p, q, Judge(index.Facts(p), index.Facts(q), index.Counts(), names), true});
        }
    }
    std::sort(links.begin(), links.end(), [](const LinkPair& a, const LinkPair& b) {
        return a.first != b.first ? a.first < b.first : a.second < b.second;
    });
    return links;
}

}  // namespace linkage
