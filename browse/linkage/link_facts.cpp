#include "browse/linkage/link_facts.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "browse/abbreviations/abbreviation_table.h"
#include "browse/linkage/database_era.h"
#include "browse/linkage/link_places.h"
#include "browse/names/name_letters.h"
#include "browse/record_query/record_words.h"

namespace linkage {
namespace {

enum Role : unsigned {
    kBirth = 1,
    kDeath = 2,
    kAge = 4,
    kAction = 8,
    kPlace = 16,
    kRank = 32,
    kUnit = 64,
    kMiddle = 128,
};

struct HeadingRole {
    const char* heading;  // lower case
    unsigned roles;
    FieldKind kind;
};

using K = FieldKind;

// A birth field may hold the place of birth as well as, or instead of, its date.
constexpr HeadingRole kRoles[] = {
    {"born", kBirth | kPlace, K::Birth},
    {"birth", kBirth | kPlace, K::Birth},
    {"date of birth", kBirth, K::BirthDate},
    {"birth date", kBirth, K::BirthDate},
    {"place of birth", kPlace, K::BirthPlace},
    {"birthplace", kPlace, K::BirthPlace},
    {"died", kDeath, K::Death},
    {"date of death", kDeath, K::DeathDate},
    {"death", kDeath, K::Death},
    {"age", kAge, K::Age},
    {"place and date", kAction, K::Action},
    {"capture", kAction, K::Action},
    {"entered service at", kPlace, K::Residence},
    {"accredited to", kPlace, K::Residence},
    {"place", kPlace, K::Residence},
    {"city", kPlace, K::Town},
    {"state", kPlace, K::State},
    {"state or province", kPlace, K::State},
    {"home or destination", kPlace, K::Residence},
    {"inducted from", kPlace, K::Residence},
    {"former abode", kPlace, K::Residence},
    {"place of death", kPlace, K::DeathPlace},
    {"rank", kRank, K::Rank},
    {"rank and organization", kRank | kUnit, K::Rank},
    {"initial rank", kRank, K::Rank},
    {"final rank", kRank, K::Rank},
    {"starting rank", kRank, K::Rank},
    {"ending rank", kRank, K::Rank},
    {"unit", kUnit, K::Unit},
    {"company", kUnit, K::Unit},
    {"organization", kUnit, K::Unit},
    {"combat organization", kUnit, K::Unit},
    {"combat org", kUnit, K::Unit},
    {"corps", kUnit, K::Unit},
    {"service", kUnit, K::Branch},
    {"middle initial", kMiddle, K::Middle},
    {"middle name", kMiddle, K::Middle},
};

const HeadingRole* RoleOf(const std::string& heading) {
    std::string lower;
    for (char c : heading) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!lower.empty() && (lower.back() == ' ' || lower.back() == ':')) lower.pop_back();
    for (const HeadingRole& role : kRoles) {
        if (lower == role.heading) return &role;
    }
    return nullptr;
}

unsigned RolesOf(const std::string& heading) {
    const HeadingRole* role = RoleOf(heading);
    return role != nullptr ? role->roles : 0;
}

// The first year of four digits from 1500 to 2030 in text, or 0.
int FirstYear(const std::string& text) {
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) continue;
        std::size_t end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        if (end - i == 4) {
            const int year = std::stoi(text.substr(i, 4));
            if (year >= 1500 && year <= 2030) return year;
        }
        i = end;
    }
    return 0;
}

// A stated age in whole years; "11 months" is 0. -1 when there is none.
int AgeOf(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = i;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == i || end - i > 3) return -1;
    const int number = std::stoi(text.substr(i, end - i));
    if (text.find("month", end) != std::string::npos || text.find("week", end) != std::string::npos) return 0;
    return number <= 120 ? number : -1;
}

void Widen(YearRange& range, int lo, int hi) {
    if (!range.Known()) {
        range = {lo, hi};
        return;
    }
    // Two readings that disagree: what both allow, or the first where nothing is.
    const int from = std::max(range.lo, lo);
    const int to = std::min(range.hi, hi);
    if (from <= to) range = {from, to};
}

bool IsTitle(const std::string& word) {
    static constexpr std::string_view kTitles[] = {"MR", "MRS", "MISS", "MS",  "MASTER",
                                                   "DR", "REV", "SIR",  "MME", "MLLE"};
    return std::find(std::begin(kTitles), std::end(kTitles), word) != std::end(kTitles);
}

char GenerationOf(const std::string& word) {
    if (word == "JR" || word == "JUN" || word == "JUNIOR") return 'J';
    if (word == "SR" || word == "SEN" || word == "SENIOR") return 'S';
    if (word == "II" || word == "2D" || word == "2ND") return '2';
    if (word == "III" || word == "3D" || word == "3RD") return '3';
    if (word == "IV" || word == "4TH") return '4';
    return '\0';
}

void AddGiven(LinkFacts& facts, const std::string& text) {
    for (const std::string& word : FoldedWords(text)) {
        if (word[0] <= '9' && GenerationOf(word) == '\0') continue;
        if (IsTitle(word)) continue;
        const char generation = GenerationOf(word);
        if (generation != '\0') {
            facts.generation = generation;
            continue;
        }
        if (std::find(facts.given.begin(), facts.given.end(), word) != facts.given.end()) continue;
        // A middle initial already written out in full is no name of its own.
        if (word.size() == 1 && facts.given.size() > 1 && facts.given[1][0] == word[0]) continue;
        facts.given.push_back(word);
    }
}

bool IsOrdinal(const std::string& word, std::string& number) {
    std::size_t digits = 0;
    while (digits < word.size() && word[digits] >= '0' && word[digits] <= '9') ++digits;
    if (digits == 0 || digits > 3) return false;
    const std::string suffix = word.substr(digits);
    if (suffix != "ST" && suffix != "ND" && suffix != "RD" && suffix != "TH" && suffix != "D") return false;
    number = word.substr(0, digits);
    return true;
}

void ReadService(LinkFacts& facts, const std::string& field, unsigned roles) {
    const std::vector<std::string> words = FoldedWords(field);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "ARMY") facts.branch |= kArmy;
        if (word == "NAVY" || word == "USN") facts.branch |= kNavy;
        if (word == "MARINE" || word == "MARINES" || word == "USMC") facts.branch |= kMarines;
        if (word == "AIR" && i + 1 < words.size() && words[i + 1] == "FORCE") facts.branch |= kAirForce;
        if (word == "USAF") facts.branch |= kAirForce;
        if (word == "COAST" && i + 1 < words.size() && words[i + 1] == "GUARD") facts.branch |= kCoastGuard;
        std::string number;
        if ((roles & kUnit) != 0 && i + 1 < words.size() && IsOrdinal(word, number) &&
            words[i + 1][0] > '9') {
            const std::string unit = number + " " + words[i + 1];
            if (std::find(facts.units.begin(), facts.units.end(), unit) == facts.units.end()) {
                facts.units.push_back(unit);
            }
        }
    }
    if ((roles & kRank) == 0 || facts.rank >= 0) return;
    // The longest rank the field begins with, or the first it names.
    std::vector<CAbbreviationTable::Found> found;
    const auto& table = CAbbreviationTable::Builtin();
    for (std::size_t at = 0; at < words.size() && facts.rank < 0; ++at) {
        found.clear();
        table.FormsAt(words, at, words.size(), found);
        std::size_t longest = 0;
        for (const auto& form : found) {
            const bool isRank = !RankName(static_cast<int>(form.group)).empty();
            if (isRank && form.length > longest) {
                longest = form.length;
                facts.rank = static_cast<int>(form.group);
            }
        }
    }
}

}  // namespace

std::string RankName(int rank) {
    const auto& groups = CAbbreviationTable::Builtin().Groups();
    if (rank < 0 || static_cast<std::size_t>(rank) >= groups.size()) return {};
    const std::string& name = groups[static_cast<std::size_t>(rank)].name;
    // States and months are groups of the table too.
    for (int i = 0; i < kStateCount; ++i) {
        if (name == kStateNames[i]) return {};
    }
    static constexpr std::string_view kMonths[] = {"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
    if (std::find(std::begin(kMonths), std::end(kMonths), name) != std::end(kMonths)) return {};
    return name;
}

const char* BranchName(unsigned branch) {
    if ((branch & kArmy) != 0) return "Army";
    if ((branch & kNavy) != 0) return "Navy";
    if ((branch & kMarines) != 0) return "Marine Corps";
    if ((branch & kAirForce) != 0) return "Air Force";
    if ((branch & kCoastGuard) != 0) return "Coast Guard";
    return "";
}

FieldKind KindOfHeading(const std::string& heading) {
    const HeadingRole* role = RoleOf(heading);
    return role != nullptr ? role->kind : FieldKind::None;
}

int KindsAlike(FieldKind a, FieldKind b) {
    if (a == FieldKind::None || b == FieldKind::None) return 0;
    if (a == b) return 2;
    // A birth (or death) field holds its date, its place or both.
    auto holds = [](FieldKind whole, FieldKind part) {
        return (whole == FieldKind::Birth &&
                (part == FieldKind::BirthDate || part == FieldKind::BirthPlace)) ||
               (whole == FieldKind::Death && (part == FieldKind::DeathDate || part == FieldKind::DeathPlace));
    };
    return holds(a, b) || holds(b, a) ? 1 : 0;
}

FieldRoles RolesOfHeadings(const std::vector<std::string>& headings) {
    FieldRoles roles;
    for (const std::string& heading : headings) roles.roles.push_back(RolesOf(heading));
    return roles;
}

LinkFacts FactsOf(int code, const std::string& surname, const std::string& givenNames,
                  const std::vector<std::string>& fields, const std::vector<std::string>& headings) {
    return FactsOf(code, surname, givenNames, fields, RolesOfHeadings(headings));
}

LinkFacts FactsOf(int code, const std::string& surname, const std::string& givenNames,
                  const std::vector<std::string>& fields, const FieldRoles& fieldRoles) {
    LinkFacts facts;
    facts.code = code;
    facts.surname = FoldedLetters(surname);
    AddGiven(facts, givenNames);
    const DatabaseEra& era = EraOf(code);
    for (std::size_t k = 0; k < fields.size() && k < fieldRoles.roles.size(); ++k) {
        const unsigned roles = fieldRoles.roles[k];
        if (roles == 0) continue;
        const std::string& field = fields[k];
        if ((roles & kMiddle) != 0) AddGiven(facts, field);
        if ((roles & kBirth) != 0) {
            if (const int year = FirstYear(field)) Widen(facts.born, year, year);
        }
        if ((roles & kDeath) != 0) {
            if (const int year = FirstYear(field)) Widen(facts.died, year, year);
        }
        if ((roles & kAction) != 0) {
            if (const int year = FirstYear(field)) Widen(facts.alive, year, year);
        }
        if ((roles & kAge) != 0 && era.from > 0) {
            const int age = AgeOf(field);
            if (age >= 0) Widen(facts.born, era.from - age - 1, era.to - age);
        }
        if ((roles & kPlace) != 0) ReadPlace(field, facts.states, facts.towns);
        if ((roles & (kRank | kUnit)) != 0) ReadService(facts, field, roles);
    }
    return facts;
}

}  // namespace linkage
