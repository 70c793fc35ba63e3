#include "browse/linkage/link_people.h"

#include <algorithm>

namespace linkage {
namespace {

constexpr std::size_t kMostOfAKind = 255;

void PackYears(const YearRange& range, std::int16_t (&out)[2]) {
    out[0] = static_cast<std::int16_t>(std::clamp(range.lo, 0, 32767));
    out[1] = static_cast<std::int16_t>(std::clamp(range.hi, 0, 32767));
}

YearRange UnpackYears(const std::int16_t (&years)[2]) { return YearRange{years[0], years[1]}; }

}  // namespace

std::uint32_t CTextTable::Intern(const std::string& text) {
    const auto [at, added] = numbers_.emplace(text, static_cast<std::uint32_t>(texts_.size()));
    if (added) texts_.push_back(text);
    return at->second;
}

std::uint32_t CTextTable::Find(const std::string& text) const {
    const auto found = numbers_.find(text);
    return found == numbers_.end() ? kNone : found->second;
}

void CTextTable::DropLookup() { std::unordered_map<std::string, std::uint32_t>().swap(numbers_); }

void CPackedPeople::Add(const LinkPerson& person) {
    const LinkFacts& facts = person.facts;
    PackedPerson packed;
    packed.code = static_cast<std::int16_t>(person.code);
    packed.factsCode = static_cast<std::int16_t>(facts.code);
    packed.entry = person.entry;
    packed.surname = surnames_.Intern(facts.surname);
    if (lastRaw_ == CTextTable::kNone || rawSurnames_[lastRaw_] != person.surname) {
        lastRaw_ = rawSurnames_.Intern(person.surname);
    }
    packed.rawSurname = lastRaw_;
    packed.rawGiven = static_cast<std::uint32_t>(givenText_.size());
    packed.rawGivenLength = static_cast<std::uint32_t>(person.givenNames.size());
    givenText_ += person.givenNames;
    packed.words = static_cast<std::uint32_t>(words_.size());
    auto addWords = [&](const std::vector<std::string>& texts, std::uint8_t& count) {
        const std::size_t kept = std::min(texts.size(), kMostOfAKind);
        for (std::size_t k = 0; k < kept; ++k) words_.push_back(wordTable_.Intern(texts[k]));
        count = static_cast<std::uint8_t>(kept);
    };
    addWords(facts.given, packed.givenCount);
    addWords(facts.towns, packed.townCount);
    addWords(facts.units, packed.unitCount);
    packed.generation = facts.generation;
    PackYears(facts.born, packed.born);
    PackYears(facts.died, packed.died);
    PackYears(facts.alive, packed.alive);
    packed.states = facts.states;
    packed.rank = static_cast<std::int16_t>(std::clamp(facts.rank, -1, 32767));
    packed.branch = static_cast<std::uint8_t>(facts.branch);
    people_.push_back(packed);
}

void CPackedPeople::Reserve(std::size_t more) {
    people_.reserve(people_.size() + more);
    words_.reserve(words_.size() + 2 * more);
}

LinkFacts CPackedPeople::Facts(std::uint32_t i) const {
    const PackedPerson& packed = people_[i];
    LinkFacts facts;
    facts.code = packed.factsCode;
    facts.surname = surnames_[packed.surname];
    const std::uint32_t* word = Given(i);
    for (std::size_t k = 0; k < packed.givenCount; ++k) facts.given.push_back(wordTable_[*word++]);
    for (std::size_t k = 0; k < packed.townCount; ++k) facts.towns.push_back(wordTable_[*word++]);
    for (std::size_t k = 0; k < packed.unitCount; ++k) facts.units.push_back(wordTable_[*word++]);
    facts.generation = packed.generation;
    facts.born = UnpackYears(packed.born);
    facts.died = UnpackYears(packed.died);
    facts.alive = UnpackYears(packed.alive);
    facts.states = packed.states;
    facts.rank = packed.rank;
    facts.branch = packed.branch;
    return facts;
}

LinkPerson CPackedPeople::Person(std::uint32_t i) const {
    const PackedPerson& packed = people_[i];
    LinkPerson person;
    person.code = packed.code;
    person.entry = packed.entry;
    person.surname = rawSurnames_[packed.rawSurname];
    person.givenNames = givenText_.substr(packed.rawGiven, packed.rawGivenLength);
    person.facts = Facts(i);
    return person;
}

void CPackedPeople::Finish() {
    surnames_.DropLookup();
    rawSurnames_.DropLookup();
    people_.shrink_to_fit();
    words_.shrink_to_fit();
    givenText_.shrink_to_fit();
}

}  // namespace linkage
