#pragma once
// The data-disk check: the disk is there when its marker file can be opened.

#include "platform/message_box.h"
#include "store/data_file.h"
#include "store/disk_format.h"

class CDirectories;

inline constexpr const char* kMarkerFileName = disk_format::kMarkerFileName;
inline constexpr const char kInsertDiskText[] =
    "Please insert Tavora Disk 16 (Chronara)\n\nClick OK when done.";

// True when the marker file opens for reading in the data directory.
// marker, when given, gets what identifies the marker file found.
bool FindDataDisk(const CDirectories& dirs, FileIdentity* marker = nullptr);

// Shows the insert-disk box (OK/Cancel, exclamation) and returns the answer.
platform::MessageAnswer PromptForDataDisk();

// Probes, and prompts until the disk is found (true) or the user answers
// anything but OK: Cancel gives false, a box that failed to show gives true.
bool CheckDataDisk(const CDirectories& dirs, FileIdentity* marker = nullptr);
