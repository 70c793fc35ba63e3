#pragma once
// The data-disk check: the disk is there when its marker file can be opened.

#include <functional>

#include "platform/message_box.h"
#include "store/data_file.h"
#include "store/disk_format.h"

class CDirectories;

inline constexpr const char* kMarkerFileName = disk_format::kMarkerFileName;

// Asks the user for the data disk and gives the answer: Ok to look again,
// Cancel to give up, Failed (no one could be asked) to go on as if it were
// there. The program supplies it; the store never shows anything itself.
using DiskPrompt = std::function<platform::MessageAnswer()>;

// True when the marker file opens for reading in the data directory.
// marker, when given, gets what identifies the marker file found.
bool FindDataDisk(const CDirectories& dirs, FileIdentity* marker = nullptr);

// Why the disk check found no disk, for the words beside the prompt.
enum class DiskAbsence {
    None,              // the marker is there and opens
    PathTooLong,       // the folder, or it and the marker's name, do not fit a path
    FolderMissing,     // nothing at the folder's path
    NotAFolder,        // something else than a folder there
    MarkerMissing,     // the folder is there, the marker is not (or is a folder)
    MarkerUnreadable,  // the marker is there but cannot be opened: errorNumber says why
};

struct DiskAbsenceReason {
    DiskAbsence why = DiskAbsence::None;
    int errorNumber = 0;
};

// Looks again, as FindDataDisk does, and says what is missing.
DiskAbsenceReason WhyNoDataDisk(const CDirectories& dirs);

// Probes, and prompts until the disk is found (true) or the user answers
// anything but OK: Cancel gives false, a prompt that failed gives true.
// Without a prompt an absent disk gives false at once.
bool CheckDataDisk(const CDirectories& dirs, const DiskPrompt& prompt, FileIdentity* marker = nullptr);
