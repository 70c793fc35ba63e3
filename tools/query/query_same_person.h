#pragma once
// The tool's side of the family-tree exports' people as the researcher
// decided them (same_person::CSamePeople): what the core says is said here
// on standard error, and how the run ends is told by exit status.

#include <vector>

#include "browse/record_text/found_person.h"
#include "browse/same_person/same_people.h"
#include "store/directories.h"

namespace query_tool {

class CSamePeople {
public:
    explicit CSamePeople(const CDirectories& dirs) : people_(dirs) {}

    // Reads the verdicts; says what the log said. A log that cannot be read
    // leaves verdictsRead false (the export ends with kExitUnreadable) and
    // gives kExitSearched; the data disk failing gives its exit status, and
    // nothing may be written.
    int Load(bool& verdictsRead);
    // The records to write with person, in record order. False when person
    // was written already with another record of the same person, or when a
    // record could not be read (status then says how to end; otherwise it
    // is left alone).
    bool RecordsWith(const FoundPerson& person, std::vector<FoundPerson>& same, int& status);

private:
    same_person::CSamePeople people_;
};

}  // namespace query_tool
