#pragma once
// What a data disk says of a database besides its records: the heading of
// each field (<stem>.fld) and where the records came from (<stem>.src), as
// chronara-mkdisk writes them from a source's header row and its .about
// file. A disk without them, as any disk made elsewhere, has neither: the
// database is then read as before, its fields named by the label tables.
//
// Both files are Windows-1252 text read whole, within the sizes of
// disk_format.h; every line is checked, and a file that breaks a rule is
// damaged (an error naming the file and the line), never read in part.

#include <string>
#include <string_view>
#include <vector>

#include "store/disk_format.h"
#include "store/store_error.h"

class CDirectories;

// One line of the provenance: a key of kProvenanceKeys, spelled as there,
// and its value (Windows-1252, one line, no blanks around it).
struct ProvenanceEntry {
    std::string key;
    std::string value;
    bool operator==(const ProvenanceEntry& other) const { return key == other.key && value == other.value; }
};

struct DatabaseAbout {
    // The heading of record field k at k (Windows-1252, no blanks around
    // it); empty where the disk gives none. Fields past the end have none.
    std::vector<std::string> headings;
    // In the order of the file; a key may come more than once.
    std::vector<ProvenanceEntry> provenance;
};

namespace database_about {

// The keys of the provenance, in the order in which it is shown.
inline constexpr int kKeyCount = 7;
inline constexpr const char* kProvenanceKeys[kKeyCount] = {"Title",   "Source",   "Publisher", "Licence",
                                                           "Address", "Compiled", "Notes"};

// Where a text breaks a rule: its line (from 1; 0 for the text as a whole)
// and what is wrong, in words.
struct Fault {
    long line = 0;
    std::string reason;
};

// The index of key in kProvenanceKeys (letters compared without case), or -1.
int KeyIndex(std::string_view key);

// A heading as the disk may hold it: at most kMaxHeading bytes and no
// control character. Blanks around it are dropped into heading.
bool TakeHeading(std::string_view text, std::string& heading, std::string& reason);

// One "Key: value" line (Windows-1252, without its line end): a known key,
// a colon, a value of 1 to kMaxProvenanceValue bytes without control
// characters (a tab counts as a blank). entry gets the key as
// kProvenanceKeys spells it.
bool TakeProvenanceLine(std::string_view line, ProvenanceEntry& entry, std::string& reason);

// The texts of the two files, and back. A parse that fails leaves its
// output empty and says where in fault.
bool ParseHeadings(std::string_view text, std::vector<std::string>& headings, Fault& fault);
bool ParseProvenance(std::string_view text, std::vector<ProvenanceEntry>& provenance, Fault& fault);
std::string HeadingsText(const std::vector<std::string>& headings);
std::string ProvenanceText(const std::vector<ProvenanceEntry>& provenance);

// The values of key, in file order.
std::vector<std::string> ValuesOf(const std::vector<ProvenanceEntry>& provenance, std::string_view key);

}  // namespace database_about

// The headings, the provenance, or both, of database code from the data
// directory. A file that is not there gives none; one that cannot be read
// is OpenFailed or ReadFailed, one that breaks its rules
// DamagedDescription (errorNumber: the line); the output is then empty.
StoreError ReadDatabaseHeadings(const CDirectories& dirs, int code, std::vector<std::string>& headings);
StoreError ReadDatabaseProvenance(const CDirectories& dirs, int code,
                                  std::vector<ProvenanceEntry>& provenance);
StoreError ReadDatabaseAbout(const CDirectories& dirs, int code, DatabaseAbout& about);

// Writes <dir>/<stem>.fld and <stem>.src of code (an empty .src when there
// is no provenance). False with error set when a file could not be written.
bool WriteDatabaseAbout(const std::string& dir, int code, const DatabaseAbout& about, std::string& error);
