#pragma once
// CSamePeople: the people of a family-tree file as the researcher decided
// them. A record the research log holds confirmed as the same person as
// other records of the disk ("Same person", directly or through another
// record) is written once, one person with every one of those records; a
// record written so is not written again as a person of its own. A pair
// refused ("Not the same person") is not joined by its own verdict.
//
// Every program's export asks it the same way; what it says comes back as
// values (messages in the order they arose), and the program tells them.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "browse/linkage/known_pairs.h"
#include "browse/record_text/found_person.h"
#include "browse/research_log/log_entries.h"
#include "browse/research_log/log_options.h"
#include "store/record_database.h"
#include "store/store_error.h"

class CDirectories;

namespace same_person {

// What reading the verdicts came to.
struct VerdictsRead {
    // The data disk could not be told: nothing may be written, and this is
    // why (its message is the last of messages).
    StoreError error;
    // For the user, in order: the log's own messages, then, when its
    // verdicts could not be read, the note that the file is written
    // without them.
    std::vector<std::string> messages;
    // False when the log could not be read: the people are then written
    // as found, each record a person of its own.
    bool verdictsRead = false;
    bool Failed() const { return error.Failed(); }
};

// The records to write with one person.
struct SameRecords {
    // False when the person was written already with another record of the
    // same person, or when a record could not be read (error says why).
    bool write = false;
    // The other records of the person, read from the disk, in record order.
    std::vector<FoundPerson> same;
    // For the user, in order: each record confirmed with the person that the
    // disk no longer holds (left out), then the error's message.
    std::vector<std::string> messages;
    StoreError error;
    bool Failed() const { return error.Failed(); }
};

// "note: the family-tree file is written without the research log's
// verdicts: ...": said when the log cannot be read and the file is
// written all the same.
std::string WithoutVerdictsNote();

class CSamePeople {
public:
    // dirs: the data disk (read only); log: the research log that keeps
    // the verdicts.
    explicit CSamePeople(const CDirectories& dirs, research_log::LogOptions log = research_log::LogOptions{});

    // Reads the verdicts on the data disk of dirs from the research log. A
    // log that cannot be read (or whose verdicts are not all readable)
    // gives none, with a note: an export does not ask for the log, so it
    // does not stop for it. The data disk failing does stop it.
    VerdictsRead Load();
    // The records to write with person; each person of an export is asked
    // once, in the order written.
    SameRecords RecordsWith(const FoundPerson& person);

private:
    const CDirectories& dirs_;
    research_log::LogOptions logOptions_;
    CRecordDatabase database_;
    linkage::CKnownPairs known_;
    std::map<linkage::RecordPlace, research_log::PersonOnDisk> records_;  // of every pair confirmed
    std::set<linkage::RecordPlace> written_;
};

}  // namespace same_person
