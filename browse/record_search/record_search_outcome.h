#pragma once
// What a record search (browse/record_search/record_search.h) gives back: how a query
// ended, its progress, and the people found. Apart from the search itself,
// so that a program can pass them on without the index's internals.

#include <cstdint>
#include <string>
#include <vector>

#include "browse/record_query/record_matcher.h"
#include "browse/record_text/found_person.h"
#include "store/store_error.h"

enum class FindStatus {
    Done,        // every database was searched
    UsageError,  // the request cannot be answered as asked (usage says why)
    NoDisk,      // the data disk is not there (or its prompt was cancelled)
    Cancelled,   // the cancel flag was raised
    Failed,      // a file was missing, damaged or unreadable (error says which)
};

struct FindOutcome {
    FindStatus status = FindStatus::Done;
    std::string usage;
    StoreError error;
    int errorCode = 0;  // the database of error
    // Databases passed over: their files are not on the disk (skipMissing),
    // or they have no field of the heading chosen.
    std::vector<int> skipped;
    std::vector<int> withoutField;
    // Databases answered by reading every record, as no index could be kept.
    std::vector<int> scanned;
};

// The order people are given in: as found (databases in the order asked,
// people in entry order), or by database, surname or given names (a-z as
// A-Z; the other name next), either way; ties keep the order found.
enum class PeopleOrder { Found, Database, Surname, GivenNames };
struct PeopleSort {
    PeopleOrder by = PeopleOrder::Found;
    bool descending = false;
};

// Where a long piece of work stands: the building of a database's index.
struct FindProgress {
    int code = 0;
    std::int64_t done = 0;
    std::int64_t total = 0;
};

// Person i of a search, as the result list and More Info show it (the
// surname as the index holds it and the given names, both without trailing
// blanks; the summary; the fields; the full text), and where a term that is
// not excluded, or the years, matched: slot (record_fields) and word
// positions, in slot order.
struct RecordHit : ExportedHit {
    std::vector<FieldHit> hits;
};
