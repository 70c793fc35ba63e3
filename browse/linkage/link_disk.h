#pragma once
// The people of a data disk's databases read into a link index: each
// person's names, fields and facts, and the surname counts of the whole
// disk (from the surname indexes alone, so that a surname is weighed by how
// many people of the disk bear it, whichever databases are linked).

#include <string>
#include <vector>

#include "browse/linkage/link_index.h"
#include "store/data_disk.h"
#include "store/store_error.h"

class CDirectories;

namespace linkage {

struct LoadOutcome {
    StoreError error;          // what stopped the reading; None when all went well
    int failedCode = 0;        // the database it stopped at
    bool noDisk = false;       // the data disk is not there
    std::vector<int> skipped;  // databases whose files are not on the disk
};

// Reads the people of codes, in the order given and each database in entry
// order, into index, and sets its surname counts from every database of the
// disk; then finishes it. A record's fields are read by the headings the
// disk gives them (its .fld file), and where it gives none by the label
// table's (browse/record_text/field_headings.h). A database whose files are
// not there is passed over and named in skipped; a headings file that
// cannot be read stops the reading, as it stops a record search. The disk
// is asked for through prompt.
LoadOutcome LoadPeople(const CDirectories& dirs, const std::vector<int>& codes, CLinkIndex& index,
                       const DiskPrompt& prompt);

}  // namespace linkage
