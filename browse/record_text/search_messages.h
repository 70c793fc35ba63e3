#pragma once
// The texts that tell the user what went wrong or what is needed, in a
// search, a page turn, More Info, a listing and the viewer's own commands:
// every text the programs show about them is made here, as a value. Who
// shows them, and how (a box, a line on standard error), is the program's
// business; nothing here shows anything.

#include <string>
#include <vector>

#include "store/data_disk.h"
#include "store/store_error.h"

namespace search_messages {

// The prompt for the data disk (OK/Cancel).
inline constexpr const char kInsertDiskText[] =
    "Please insert Tavora Disk 16 (Chronara)\n\nClick OK when done.";

// The message for an error; empty for StoreErrorKind::None.
std::string MessageOf(const StoreError& error);

// More than the message says, for a box's details and the tool's second
// line: for a database file that is not there, the folder it was looked
// for in and why; empty when the message says all (a failed open or read
// names its file and the system's reason). dataDir ends in '/'.
std::string DetailsOf(const StoreError& error, const char* dataDir);

// Beside the insert-disk prompt: the folder looked in and what was missing.
std::string InsertDiskDetails(const char* dataDir, const DiskAbsenceReason& reason);

// The warning that a damaged index named entries past the end of the entry
// file of stem, and that only those the file holds are shown.
std::string RangeCutWarning(const char* stem);

// A search request refused: "query error: <what>.\n" (what: "last name is
// too long", "first name is too long").
std::string QueryError(const char* what);

// The viewer's start without its backdrop picture (the one box shown
// without the program's caption).
inline constexpr const char kBackgroundNotLoaded[] = "Couldn't load background";

// The viewer's commands.
std::string EnterSurname();
// Help: the file at path could not be opened, or its path (of the file
// fileName) did not fit.
std::string HelpFileNotOpened(const std::string& path);
std::string HelpPathTooLong(const char* fileName);
// A file of fileName that would be written on the data disk.
std::string RefusedOnDataDisk(const std::string& fileName);
std::string ResultsNotWritten(const std::string& path, const std::string& reason);
// The count of an export that holds other things than people.
inline constexpr long kNoPeopleCount = -1;
// An export done: "12 people saved to PATH." ("1 person" for one; "Saved
// to PATH." for kNoPeopleCount, or any count below 0).
std::string PeopleSaved(long count, const std::string& path);
std::string NotPrinted(const std::string& documentName);

// The finders (Find Surname, Find in Records), which say what they could
// not search under their list rather than in a box, and the tool's notes
// on the same facts. Databases are named by their titles, in the order
// given, separated by commas.
// No data disk while the list follows the typing.
std::string NoDataDiskWhileTyping();
// The databases whose files are not on the disk.
std::string NotOnDisk(const std::vector<int>& codes);
// The tool's note on one such database (its name): its files, or its
// surname index (stem.tre) when only the index is looked at.
std::string SkippedNote(const char* name);
std::string SkippedIndexNote(const char* name, const char* stem);
// Find in Records: what kept a query from being asked, or what it did instead.
std::string YearsNotRange(const std::string& why);
std::string QueryNotWellFormed(const std::string& why);
std::string SearchedRecordByRecord(const std::vector<int>& codes);
std::string MakingWordIndex(const std::vector<int>& codes);
// waiting: the databases whose index is made after that of code.
std::string MakingWordIndexProgress(int code, int percent, int waiting);
std::string WordIndexNotMade(const std::vector<int>& codes);
// The people a query found, so far while some databases are still to be
// searched.
std::string PeopleFound(long long people, bool soFar);

}  // namespace search_messages
