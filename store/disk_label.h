#pragma once
// What a data disk says of itself: the text of its marker file. The disk
// check only looks for the marker; the exports and citations name the disk
// as their publisher, from the marker's first line and a "Version:" line
// where it has one.

#include <string>

#include "store/store_error.h"

class CDirectories;

// The name the program gives the disk in its insert-disk prompt: the name
// of a disk whose marker says nothing readable.
inline constexpr char kPromptDiskName[] = "Tavora Disk 16 (Chronara)";

// Windows-1252 texts, without line ends; version is empty when the marker
// gives none.
struct DiskLabel {
    std::string name = kPromptDiskName;
    std::string version;
};

namespace disk_label {

// Only the head of the marker is read: a label is a line or two.
inline constexpr std::size_t kMaxMarkerBytes = 1024;
// A longer name or version is cut here.
inline constexpr std::size_t kMaxLabelText = 80;

// The label in marker text: the first line that is not blank is the name,
// and a line "Version: TEXT" (or "Version TEXT", "version=TEXT", any case)
// gives the version. Text that holds control bytes (NUL included) other
// than line ends and tabs is no label: the default name, no version.
DiskLabel Parse(const std::string& markerText);

}  // namespace disk_label

// Reads the marker in the data directory into label. A marker that cannot
// be opened or read is an error (label keeps the default name).
StoreError ReadDiskLabel(const CDirectories& dirs, DiskLabel& label);
