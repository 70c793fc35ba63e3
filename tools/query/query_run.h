#pragma once
// One search request run end to end, as the viewer runs it, with the page
// reached written to standard output.

#include <string>

#include "store/data_disk.h"
#include "store/directories.h"
#include "store/store_error.h"
#include "tools/query/query_options.h"

namespace query_tool {

inline constexpr int kExitSearched = 0;
inline constexpr int kExitWrongFormat = 1;  // the status the surname index ends with
inline constexpr int kExitFailed = 2;
inline constexpr int kExitUnreadable = 3;  // a data file or history.buf could not be read

// The two directories from corvane.ini, then the options that replace them.
void LoadDirectoriesOf(const QueryOptions& options, CDirectories& dirs);

// A message of the tool on standard error, after what standard output holds.
void Complain(const std::string& text);
// Flushes standard output: status, or kExitFailed after a message when a
// write to it failed.
int FinishStandardOutput(int status);

// The exit status that tells what kind of failure error is.
int ExitStatusOf(const StoreError& error);

// Messages to stderr.
void InstallServices();
// The data-disk prompt: its text on stderr, answered Cancel.
DiskPrompt DiskPromptOfTool();

// Search, page turns, output and More Info; returns the exit status.
int RunQuery(const QueryOptions& options);

}  // namespace query_tool
