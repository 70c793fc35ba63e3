#pragma once
// Whether two records can be of one lifetime: the years in which each record
// lets its person be born and die (its dates, give or take a clerk's error;
// the era of its database and the ages of those who served in it), and
// whether the two sets of years meet.

#include <string>

#include "browse/linkage/link_facts.h"

namespace linkage {

struct Lifespan {
    int bornFrom = 1000;
    int bornTo = 3000;
    int diedFrom = 1000;
    int diedTo = 3000;
};

// The years a record allows.
Lifespan LifespanOf(const LinkFacts& facts);

// True when a and b cannot be one person's; why says so in words
// ("no lifetime holds both: born 1828 to 1855 / 1881 to 1929").
bool CannotMeet(const LinkFacts& a, const LinkFacts& b, std::string& why);

}  // namespace linkage
