#pragma once
// How a run of chronara-query ends: its exit statuses, the complaint lines
// it writes on standard error and the last flush of standard output.

#include <string>

#include "store/store_error.h"

namespace query_tool {

inline constexpr int kExitSearched = 0;
inline constexpr int kExitWrongFormat = 1;  // the status the surname index ends with
inline constexpr int kExitFailed = 2;
inline constexpr int kExitUnreadable = 3;  // a data file or history.buf could not be read

// A message of the tool on standard error, after what standard output holds.
void Complain(const std::string& text);
// Flushes standard output: status, or kExitFailed after a message when a
// write to it failed.
int FinishStandardOutput(int status);

// The exit status that tells what kind of failure error is.
int ExitStatusOf(const StoreError& error);

}  // namespace query_tool
