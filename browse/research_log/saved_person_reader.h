#pragma once
// A saved person read again from the data disk, for export and More Info:
// by database and entry, and only when the disk still holds that very
// person there. The caller has told the disk by its identity already; the
// entry is then checked too, against what was saved: the surname's range
// in the index must hold the entry, and the entry must give the given
// names saved. A log edited by hand, or a disk that differs in a way its
// identity did not show, never gives another person. Its fields are headed
// as a search heads them (the disk's headings, else the label table's).

#include "browse/record_text/found_person.h"
#include "browse/research_log/log_entries.h"
#include "store/store_error.h"

class CRecordDatabase;

namespace research_log {

enum class SavedPersonRead {
    Read,      // person holds the record
    NotThere,  // the disk holds someone else, or no one, at that entry
    Failed,    // a file could not be read: the error says which
};

// database: the data disk's files; opened on the saved person's database.
SavedPersonRead ReadSavedPerson(CRecordDatabase& database, const PersonOnDisk& saved, ExportedHit& person,
                                StoreError& error);

}  // namespace research_log
