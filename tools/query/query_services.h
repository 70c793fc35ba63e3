#pragma once
// What chronara-query gives the core in place of the viewer's services: its
// messages on standard error, a disk prompt that cannot be answered and
// the directories of the command line.

#include "store/data_disk.h"
#include "store/directories.h"
#include "tools/query/query_options.h"

namespace query_tool {

// Messages to stderr.
void InstallServices();
// The data-disk prompt: its text on stderr, then the folder looked in and
// what was missing there; answered Cancel. dirs must outlive it.
DiskPrompt DiskPromptOfTool(const CDirectories& dirs);

// The two directories from corvane.ini, then the options that replace them.
void LoadDirectoriesOf(const QueryOptions& options, CDirectories& dirs);

}  // namespace query_tool
