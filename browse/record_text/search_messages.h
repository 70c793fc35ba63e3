#pragma once
// The texts that tell the user what went wrong or what is needed, in a
// search, a page turn, More Info, a listing and the viewer's own commands:
// every text the programs show about them is made here, as a value. Who
// shows them, and how (a box, a line on standard error), is the program's
// business; nothing here shows anything.

#include <string>

#include "store/store_error.h"

namespace search_messages {

// The prompt for the data disk (OK/Cancel).
inline constexpr const char kInsertDiskText[] =
    "Please insert Tavora Disk 16 (Chronara)\n\nClick OK when done.";

// The message for an error; empty for StoreErrorKind::None.
std::string MessageOf(const StoreError& error);

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
std::string NotPrinted(const std::string& documentName);

}  // namespace search_messages
