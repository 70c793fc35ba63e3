#pragma once
// The log's rows read back, each value checked: a log may have been edited
// by hand or by another version, and what it holds must give either the
// entry as it was written or no entry at all (counted as skipped), never a
// crash, never a person who is not the one saved.
//
// Every text of the log is one line of UTF-8 that Windows-1252 can write,
// without control characters, within its length; the texts written are
// held to the same rule (CheckedText), so that every entry written reads
// back.

#include <cstddef>
#include <string>
#include <string_view>

#include "browse/research_log/log_entries.h"

namespace research_log {

class CSqliteStatement;

namespace log_rows {

// Whether a Windows-1252 text may be kept: at most maxBytes, without
// control characters (a tab or a line break would break the lines of
// chronara-query --history and --saved).
bool IsKeepable(std::string_view windows1252, std::size_t maxBytes);

// The options as the log stores them: words joined by one blank. A word
// is 1 to 20 lower-case letters, digits or '-'.
bool IsOptionWord(std::string_view word);
std::string JoinOptions(const std::vector<std::string>& words);

// The current row into search or saved (the columns of log_statements.h,
// in their order); false when any value is not as the log writes it.
bool ReadSearch(const CSqliteStatement& row, LoggedSearch& search);
bool ReadSaved(const CSqliteStatement& row, SavedPerson& saved);
bool ReadVerdict(const CSqliteStatement& row, PairVerdict& verdict);

}  // namespace log_rows
}  // namespace research_log
