#pragma once
// The insert-disk prompt the programs show when the data disk is not found:
// its fixed text, and beside it which folder was looked in and what was
// missing there, as the box's details (a second line for the tool).

#include "store/data_disk.h"

class CDirectories;

// dirs must outlive the prompt; it is read again at each asking, so that
// the details follow what the user changed meanwhile.
DiskPrompt InsertDiskPrompt(const CDirectories& dirs);
