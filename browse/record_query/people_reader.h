#pragma once
// Reads the people of one open database in entry order: each person's
// entry, surname, given names and record, the entry file and the record
// file read in large pieces. The scanning search and the building of the
// word index both walk a database through it.

#include <cstdint>
#include <string_view>
#include <vector>

#include "browse/record_query/record_people.h"
#include "store/disk_format.h"
#include "store/store_error.h"

class CRecordDatabase;

struct ReadPerson {
    std::int32_t entry = 0;
    std::string_view surname;
    std::string_view givenNames;   // up to the NUL, as the entry holds them
    const char* record = nullptr;  // NUL-terminated, as ReadRecord reads it
    std::size_t recordLength = 0;  // up to the NUL
};

class CPeopleReader {
public:
    CPeopleReader(CRecordDatabase& database, const CPeopleList& people);
    // The next person; false at the end, or on a failed read (Error()).
    bool Next(ReadPerson& person);
    const StoreError& Error() const { return error_; }
    // People handed over so far.
    std::int64_t Done() const { return done_; }

private:
    bool FillEntries();

    CRecordDatabase& database_;
    const CPeopleList& people_;
    std::size_t run_ = 0;
    std::int32_t inRun_ = 0;
    std::vector<char> entries_;
    std::int32_t entriesFirst_ = 0;
    std::int32_t entriesCount_ = 0;
    char givenNames_[disk_format::kGivenNamesSize];
    char record_[disk_format::kRecordBufferSize];
    std::int64_t done_ = 0;
    StoreError error_;
};

// Calls visit(k, field) for every field of a record (k from 0), as
// record_parts::FieldsOf splits it: the runs closed by 0xFF up to the line
// feed or a NUL, and a last run without its 0xFF when it is not empty.
template <typename Visit>
void ForEachRecordField(std::string_view record, Visit&& visit) {
    std::size_t k = 0;
    std::size_t start = 0;
    std::size_t at = 0;
    for (; at < record.size(); ++at) {
        const char c = record[at];
        if (c == disk_format::kRecordEnd || c == '\0') break;
        if (c == disk_format::kFieldEndChar) {
            visit(k++, record.substr(start, at - start));
            start = at + 1;
        }
    }
    if (at > start) visit(k, record.substr(start, at - start));
}
