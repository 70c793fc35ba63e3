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
// The people of a surname lie in blocks, one for each first given name
// (and one for each initial, of the full names it begins); a person is
// joined with the blocks of its name's variants and initial in each surname
// alike. The surnames alike are found key by key (a sound code, a spelling
// with a letter left out), a pair of surnames taken at the first key the two
// share, so that no pair of surnames is held: on a disk of millions of
// people they number tens of millions.

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "browse/linkage/known_pairs.h"
#include "browse/linkage/link_facts.h"
#include "browse/linkage/link_people.h"
#include "browse/linkage/link_score.h"

class CGivenNameTable;

namespace linkage {

class CLinkIndex;

// The people of an index as a list: each given back whole, by value.
class CLinkPeopleView {
public:
    explicit CLinkPeopleView(const CPackedPeople& people) : people_(people) {}
    std::size_t size() const { return people_.Size(); }
    bool empty() const { return people_.Size() == 0; }
    LinkPerson operator[](std::size_t i) const { return people_.Person(static_cast<std::uint32_t>(i)); }

private:
    const CPackedPeople& people_;
};

class CLinkIndex {
public:
    explicit CLinkIndex(const CGivenNameTable& names);

    void Add(const LinkPerson& person);
    // Room for people more (Add takes any number; this only spares copies).
    void Reserve(std::size_t more) { people_.Reserve(more); }
    // Counts the names and builds the blocks; Add no more after it.
    void Finish();

    // The people, each made whole when asked for: to walk many, Size, CodeOf
    // and EntryOf cost less.
    CLinkPeopleView People() const { return CLinkPeopleView(people_); }
    std::size_t Size() const { return people_.Size(); }
    LinkPerson Person(std::uint32_t i) const { return people_.Person(i); }
    LinkFacts Facts(std::uint32_t i) const { return people_.Facts(i); }
    int CodeOf(std::uint32_t i) const { return people_[i].code; }
    std::int32_t EntryOf(std::uint32_t i) const { return people_[i].entry; }

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
    // Pairs of distinct surnames alike, a surname with itself included:
    // what the blocking walks (counted by walking them).
    std::size_t SurnamePairCount() const;

    // At least the weight Judge gives p and q (in bits): what the numbers
    // of their facts allow, taking the most a variant, a close spelling or
    // a middle name could add. A pair below the weight of "possible" need
    // not be judged.
    double WeightBound(std::uint32_t p, std::uint32_t q) const;
    // Whether WeightBound leaves p and q worth judging.
    bool MayBePossible(std::uint32_t p, std::uint32_t q) const;

private:
    // A block: the people of one surname with one key of their first given
    // name (the name's word number, or kInitialKey with an initial for the
    // full names it begins), members_[begin] up to the next block's begin.
    struct Block {
        std::uint32_t key = 0;
        std::uint32_t begin = 0;
    };
    static constexpr std::uint32_t kInitialKey = 0x80000000u;
    // (key, surname), sorted: a sound code tagged by its kind, or a hash of a spelling.
    using CodeKeyed = std::vector<std::pair<std::uint64_t, std::uint32_t>>;
    using HashKeyed = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

    void BuildBlocks();
    void BuildSurnameKeys();
    void BuildJoinKeys();
    // The members of surname t's block of key, as [first, last).
    std::pair<const std::uint32_t*, const std::uint32_t*> BlockOf(std::uint32_t t, std::uint32_t key) const;
    // Calls take(q) for every person q of surname t whose first given name may be p's.
    template <typename Take>
    void Join(std::uint32_t p, std::uint32_t t, Take&& take) const;
    // Calls match(first, last) with the members of every block of surname t
    // that the people of block b (of their own first given name) join.
    template <typename Match>
    void MatchBlocks(std::uint32_t b, std::uint32_t t, Match&& match) const;
    // Calls visit(s, t), s <= t, for every pair of surnames alike, once each.
    template <typename Visit>
    void ForEachSurnamePair(Visit&& visit) const;
    // Whether surnames a and b, of one deletion key, are within the close-spelling distance.
    bool CloseSpelt(std::uint32_t a, std::uint32_t b) const;

    const CGivenNameTable& names_;
    CPackedPeople people_;
    NameCounts counts_;
    bool haveSurnameCounts_ = false;

    std::vector<std::uint32_t> blockStart_;  // surname -> its first block; one more at the end
    std::vector<Block> blocks_;              // one more at the end, for the last block's end
    std::vector<std::uint32_t> members_;
    std::vector<std::uint32_t> joinStart_;  // word -> its first join key; one more at the end
    std::vector<std::uint32_t> joinKeys_;   // the block keys a first given name joins, sorted
    CodeKeyed byCode_;                      // sound codes, tagged by kind
    HashKeyed byDeletion_;                  // hashes of the spelling and of each with a letter left out
    std::vector<std::uint32_t> codeStart_;  // surname -> its codes, sorted
    std::vector<std::uint64_t> codes_;
    std::vector<std::uint32_t> deletionStart_, deletions_;  // surname -> its hashes, sorted
    std::vector<double> surnameWeight_;                     // an equal surname's weight
    std::vector<std::int32_t> surnameCount_;
    std::vector<double> givenWeight_;  // word -> the weight of an equal first given name
    std::vector<char> wordInitial_;    // word -> its first letter
    std::vector<bool> wordAlone_;      // word -> a single letter (an initial)
};

namespace link_detail {

// The first key that the sorted keys of a and b share, with found false when none.
template <typename Key>
Key FirstShared(const std::vector<std::uint32_t>& start, const std::vector<Key>& keys, std::uint32_t a,
                std::uint32_t b, bool& found) {
    std::uint32_t i = start[a];
    std::uint32_t j = start[b];
    while (i < start[a + 1] && j < start[b + 1]) {
        if (keys[i] < keys[j]) {
            ++i;
        } else if (keys[j] < keys[i]) {
            ++j;
        } else {
            found = true;
            return keys[i];
        }
    }
    found = false;
    return Key{};
}

// Calls pair(key, a, b) for the surnames of every group of one key.
template <typename Keyed, typename Pair>
void EachGroup(const Keyed& keyed, Pair&& pair) {
    for (std::size_t from = 0; from < keyed.size();) {
        std::size_t to = from + 1;
        while (to < keyed.size() && keyed[to].first == keyed[from].first) ++to;
        for (std::size_t i = from; i < to; ++i) {
            for (std::size_t j = i + 1; j < to; ++j)
                pair(keyed[from].first, keyed[i].second, keyed[j].second);
        }
        from = to;
    }
}

}  // namespace link_detail

template <typename Take>
void CLinkIndex::Join(std::uint32_t p, std::uint32_t t, Take&& take) const {
    const PackedPerson& person = people_[p];
    if (person.givenCount == 0) return;
    const std::uint32_t first = people_.Given(p)[0];
    for (std::uint32_t k = joinStart_[first]; k < joinStart_[first + 1]; ++k) {
        const auto [from, to] = BlockOf(t, joinKeys_[k]);
        for (const std::uint32_t* q = from; q != to; ++q) take(*q);
    }
}

template <typename Visit>
void CLinkIndex::ForEachSurnamePair(Visit&& visit) const {
    const auto surnames = static_cast<std::uint32_t>(people_.Surnames().Size());
    for (std::uint32_t s = 0; s < surnames; ++s) visit(s, s);
    // A pair of surnames is taken at the first code the two share, or, when
    // they share none, at the first spelling with a letter left out.
    bool found = false;
    link_detail::EachGroup(byCode_, [&](std::uint64_t key, std::uint32_t a, std::uint32_t b) {
        if (link_detail::FirstShared(codeStart_, codes_, a, b, found) == key)
            visit(a < b ? a : b, a < b ? b : a);
    });
    link_detail::EachGroup(byDeletion_, [&](std::uint32_t key, std::uint32_t a, std::uint32_t b) {
        link_detail::FirstShared(codeStart_, codes_, a, b, found);
        if (found) return;  // met at a code
        if (link_detail::FirstShared(deletionStart_, deletions_, a, b, found) != key) return;
        if (CloseSpelt(a, b)) visit(a < b ? a : b, a < b ? b : a);
    });
}

template <typename Match>
void CLinkIndex::MatchBlocks(std::uint32_t b, std::uint32_t t, Match&& match) const {
    const std::uint32_t* key = joinKeys_.data() + joinStart_[blocks_[b].key];
    const std::uint32_t* const keysEnd = joinKeys_.data() + joinStart_[blocks_[b].key + 1];
    const Block* block = blocks_.data() + blockStart_[t];
    const Block* const blocksEnd = blocks_.data() + blockStart_[t + 1];
    if (key == keysEnd || block == blocksEnd) return;
    auto members = [&](const Block* at) {
        match(members_.data() + at->begin, members_.data() + (at + 1)->begin);
    };
    if (static_cast<std::size_t>(blocksEnd - block) > 8 * static_cast<std::size_t>(keysEnd - key)) {
        // A surname of many names: each key looked up.
        for (; key != keysEnd; ++key) {
            block = std::lower_bound(block, blocksEnd, *key,
                                     [](const Block& x, std::uint32_t k) { return x.key < k; });
            if (block == blocksEnd) return;
            if (block->key == *key) members(block);
        }
        return;
    }
    while (key != keysEnd && block != blocksEnd) {
        if (*key < block->key) {
            ++key;
        } else if (block->key < *key) {
            ++block;
        } else {
            members(block);
            ++key;  // a key twice (a variant that is also the initial) matches twice, as it joins twice
        }
    }
}

template <typename Visit>
void CLinkIndex::ForEachCandidatePair(Visit&& visit) const {
    // Each pair of surnames is walked once, from its first surname; a person
    // of the first is joined with the people of the second once for each
    // key of its first name that the second has a block of.
    ForEachSurnamePair([&](std::uint32_t s, std::uint32_t t) {
        for (std::uint32_t b = blockStart_[s]; b < blockStart_[s + 1]; ++b) {
            if ((blocks_[b].key & kInitialKey) != 0) continue;  // each person once, in its own name's block
            const std::uint32_t* const from = members_.data() + blocks_[b].begin;
            const std::uint32_t* const to = members_.data() + blocks_[b + 1].begin;
            MatchBlocks(b, t, [&](const std::uint32_t* first, const std::uint32_t* last) {
                for (const std::uint32_t* p = from; p != to; ++p) {
                    for (const std::uint32_t* q = first; q != last; ++q) {
                        if (*q == *p || (s == t && *q < *p)) continue;
                        visit(*p < *q ? *p : *q, *p < *q ? *q : *p);
                    }
                }
            });
        }
    });
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
