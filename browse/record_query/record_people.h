#pragma once
// The people of one database: the entries that the surname index names,
// in entry order, each with the surname of the key that names it. An entry
// that no key names is nobody; an entry that two keys name (only a damaged
// index does that) is one person, of the key whose range starts first.

#include <cstdint>
#include <string>
#include <vector>

#include "store/store_error.h"

class CNameIndex;

struct PeopleRun {
    std::int32_t first = 0;     // the first entry
    std::int32_t count = 0;     // at least 1
    std::uint32_t surname = 0;  // into CPeopleList::surnames
};

class CPeopleList {
public:
    // Runs in entry order, none overlapping.
    std::vector<PeopleRun> runs;
    // The surnames as the index holds them, without their padding blanks.
    std::vector<std::string> surnames;
    std::int64_t total = 0;

    // The run that holds entry, or null when entry is nobody.
    const PeopleRun* RunOf(std::int32_t entry) const;
    void Clear();
};

// Walks index (open) and lists its people among the entriesHeld entries of
// the entry file; ranges past the file's end are cut to it.
StoreError ListPeople(CNameIndex& index, std::int64_t entriesHeld, CPeopleList& people);
