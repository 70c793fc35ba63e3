#pragma once
// The family-tree exports' people as the researcher decided them: a person
// whose record the research log holds confirmed as the same person as
// other records of the disk ("Same person", directly or through another
// record) is written once, one INDI with the events and citations of every
// one of those records; a record written so is not written again as a
// person of its own.

#include <map>
#include <set>
#include <vector>

#include "browse/linkage/known_pairs.h"
#include "browse/record_text/found_person.h"
#include "browse/research_log/log_entries.h"
#include "store/directories.h"
#include "store/record_database.h"

namespace query_tool {

class CSamePeople {
public:
    explicit CSamePeople(const CDirectories& dirs);

    // Reads the verdicts on the data disk of dirs from the research log.
    // A log that cannot be read is said, with a note that the people are
    // written without its verdicts, and gives none: an export does not ask
    // for the log, so it does not stop for it: verdictsRead is false then
    // (the export ends with kExitUnreadable). The data disk failing is
    // another matter: it is said and its exit status returned, and nothing
    // may be written; kExitSearched otherwise.
    int Load(bool& verdictsRead);
    // The records to write with person, read from the disk, in record
    // order. False when person was written already with another record of
    // the same person, or when a record could not be read (status then says
    // how to end; otherwise it is left alone).
    bool RecordsWith(const FoundPerson& person, std::vector<FoundPerson>& same, int& status);

private:
    const CDirectories& dirs_;
    CRecordDatabase database_;
    linkage::CKnownPairs known_;
    std::map<linkage::RecordPlace, research_log::PersonOnDisk> records_;  // of every pair confirmed
    std::set<linkage::RecordPlace> written_;
};

}  // namespace query_tool
