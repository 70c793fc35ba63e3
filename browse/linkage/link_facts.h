#pragma once
// What a record says of its person that can tell two records of one person
// from two of different people: the names as letters, the years of birth,
// death and of what the record tells, the states and towns, the rank, the
// unit and the branch of service.
//
// Fields are read by their headings, so that any database whose headings
// say "Born", "Date of death" or "Rank" is read alike:
// - birth: "Born", "Birth", "Date of birth" (a year of four digits); "Age"
//   turned into a birth year by the year of the database's era;
// - death: "Died", "Date of death", "Death";
// - alive in a year: "Place and date", "Capture" (the date of an action);
// - places: the headings of birth and of places ("Entered service at",
//   "Accredited to", "Place", "City", "State", "Home or destination",
//   "Inducted from", "Former abode"): a state in any form records write it
//   (Maine, Me., ME), and the town before its comma;
// - rank, unit and branch: "Rank", "Rank and organization", the first and
//   last ranks, "Unit", "Company", "Organization", "Combat organization",
//   "Corps", "Service";
// - "Middle initial" and "Middle name" join the given names.
// A heading is read without regard to case or a closing colon.

#include <cstdint>
#include <string>
#include <vector>

#include "browse/linkage/folded_text.h"

namespace linkage {

struct YearRange {
    int lo = 0;  // 0: unknown
    int hi = 0;
    bool Known() const { return lo > 0; }
};

struct LinkFacts {
    int code = 0;
    std::string surname;             // folded letters A-Z
    std::vector<std::string> given;  // folded words, titles and generations left out
    char generation = '\0';          // 'J' junior, 'S' senior, '2'..'4' the second to fourth
    YearRange born;
    YearRange died;
    YearRange alive;           // a year the record itself shows the person alive
    std::uint64_t states = 0;  // bits of kStateNames
    std::vector<std::string> towns;
    int rank = -1;                   // a group of the abbreviation table
    unsigned branch = 0;             // kArmy | kNavy | ...
    std::vector<std::string> units;  // "20 MAINE" for 20th Maine
};

enum Branch : unsigned { kArmy = 1, kNavy = 2, kMarines = 4, kAirForce = 8, kCoastGuard = 16 };

// What a record's person is: the surname and given names as the entry holds
// them, the record's fields and the heading of each (Windows-1252).
LinkFacts FactsOf(int code, const std::string& surname, const std::string& givenNames,
                  const std::vector<std::string>& fields, const std::vector<std::string>& headings);

// What each field of a database is read for, worked out once from its
// headings for all its records.
struct FieldRoles {
    std::vector<unsigned> roles;
};
FieldRoles RolesOfHeadings(const std::vector<std::string>& headings);
LinkFacts FactsOf(int code, const std::string& surname, const std::string& givenNames,
                  const std::vector<std::string>& fields, const FieldRoles& roles);

// What a field is, by its heading read as above, so that two databases'
// fields can be set side by side: "Born" and "Birth" are a birth, "Date of
// birth" its date, "Initial rank" and "Rank" a rank. None for a heading
// the linkage does not read.
enum class FieldKind {
    None,
    Birth,  // its date, its place or both
    BirthDate,
    BirthPlace,
    Death,
    DeathDate,
    DeathPlace,
    Age,
    Action,  // the date (and place) of the deed or the capture
    Rank,
    Unit,
    Branch,
    Middle,
    Town,
    State,
    Residence,  // where the person lived or served from
};
FieldKind KindOfHeading(const std::string& heading);
// 2 for one kind, 1 where one holds the other (a birth and its date or
// place, a death likewise), else 0.
int KindsAlike(FieldKind a, FieldKind b);

// The name of a rank group (its first form as the table writes it).
std::string RankName(int rank);
const char* BranchName(unsigned branch);

}  // namespace linkage
