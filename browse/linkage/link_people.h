#pragma once
// The people to link, held packed: a disk of millions of people must fit in
// a few hundred megabytes, where a person held with its names and facts as
// strings and vectors takes several hundred bytes before any blocking.
//
// Each person is one fixed-size record of numbers: its folded surname, its
// given names, towns and units as numbers of tables of distinct texts, its
// years as small integers. The names as the entry holds them are kept once
// (a surname) or in one pool of text (the given names). A person is given
// back whole (LinkPerson, its facts as FactsOf made them) on demand.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "browse/linkage/link_facts.h"

namespace linkage {

struct LinkPerson {
    int code = 0;
    std::int32_t entry = -1;
    std::string surname;     // as the index holds it (Windows-1252)
    std::string givenNames;  // as the entry holds them
    LinkFacts facts;
};

// A table of distinct texts, each numbered from 0 in the order first met.
class CTextTable {
public:
    std::uint32_t Intern(const std::string& text);
    // The number of text, or kNone when it was never interned.
    std::uint32_t Find(const std::string& text) const;
    const std::string& operator[](std::uint32_t number) const { return texts_[number]; }
    std::size_t Size() const { return texts_.size(); }
    // Forgets the lookup (Intern and Find no more), keeping the texts.
    void DropLookup();

    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

private:
    std::vector<std::string> texts_;
    std::unordered_map<std::string, std::uint32_t> numbers_;
};

// One person's facts in numbers (see LinkFacts).
struct PackedPerson {
    std::uint64_t states = 0;
    std::int32_t entry = -1;
    std::uint32_t surname = 0;     // folded surname, of CPackedPeople::Surnames()
    std::uint32_t rawSurname = 0;  // the surname as the index holds it
    std::uint32_t rawGiven = 0;    // offset of the given names as the entry holds them
    std::uint32_t rawGivenLength = 0;
    std::uint32_t words = 0;  // offset of the given names, then the towns, then the units
    std::int16_t born[2] = {0, 0};
    std::int16_t died[2] = {0, 0};
    std::int16_t alive[2] = {0, 0};
    std::int16_t rank = -1;
    std::int16_t code = 0;
    std::int16_t factsCode = 0;  // facts.code: the person's database, as code
    std::uint8_t givenCount = 0;
    std::uint8_t townCount = 0;
    std::uint8_t unitCount = 0;
    std::uint8_t branch = 0;
    char generation = '\0';
};

class CPackedPeople {
public:
    // Adds person. Past 255 given names, towns or units a person's further
    // ones are left out (no record holds so many).
    void Add(const LinkPerson& person);
    // Room for people more, so that a disk of millions is not copied as it grows.
    void Reserve(std::size_t more);

    std::size_t Size() const { return people_.size(); }
    const PackedPerson& operator[](std::uint32_t i) const { return people_[i]; }
    LinkPerson Person(std::uint32_t i) const;
    LinkFacts Facts(std::uint32_t i) const;

    // Word numbers of person i: its given names, towns and units.
    const std::uint32_t* Given(std::uint32_t i) const { return &words_[people_[i].words]; }
    const std::uint32_t* Towns(std::uint32_t i) const { return Given(i) + people_[i].givenCount; }
    const std::uint32_t* Units(std::uint32_t i) const { return Towns(i) + people_[i].townCount; }

    const CTextTable& Surnames() const { return surnames_; }
    const CTextTable& Words() const { return wordTable_; }
    // Once every person is added: the lookups of the surnames are let go
    // (the words' stay, for the given-name variants).
    void Finish();

private:
    std::vector<PackedPerson> people_;
    std::vector<std::uint32_t> words_;
    std::string givenText_;
    CTextTable surnames_;                        // folded
    CTextTable rawSurnames_;                     // as the index holds them
    std::uint32_t lastRaw_ = CTextTable::kNone;  // people come surname by surname: the last one's number
    CTextTable wordTable_;                       // given names, towns and units
};

}  // namespace linkage
