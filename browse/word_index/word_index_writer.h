#pragma once
// Builds the word index of one open database into a file of the user's
// cache: a temporary file beside it first, renamed into place when whole,
// so that a reader never sees half a file and two builders at once never
// spoil one another's. Memory stays bounded whatever the size of the
// database: the words are gathered in pieces of a fixed size, written to a
// scratch file, then merged.

#include <cstdint>
#include <functional>
#include <string>

#include "browse/record_query/record_people.h"
#include "browse/word_index/word_index_format.h"
#include "store/store_error.h"

class CRecordDatabase;

namespace word_index {

enum class BuildStatus {
    Built,
    Cancelled,   // keepGoing said no; nothing is left behind
    ReadFailed,  // a data file could not be read (error says which)
    WriteFailed  // the cache could not take the file; nothing is left behind
};

struct BuildResult {
    BuildStatus status = BuildStatus::Built;
    StoreError error;
};

struct BuildLimits {
    // Word occurrences gathered before a piece goes to the scratch file
    // (12 bytes each, twice over while a piece is sorted).
    std::size_t piece = 4u << 20;
};

// people: the people of database (open), as its surname index names them;
// files: the fingerprints of its three files. keepGoing(done) is called
// every few thousand people with the number read so far; false cancels.
BuildResult Build(CRecordDatabase& database, const CPeopleList& people,
                  const FileFingerprint (&files)[kFileCount], const std::string& path,
                  const std::function<bool(std::int64_t)>& keepGoing,
                  const BuildLimits& limits = BuildLimits{});

}  // namespace word_index
