#pragma once
// Where the word indexes are kept: the user's cache folder, never the data
// disk. One file per database and data folder, named for both.

#include <string>

class CDirectories;

namespace word_index {

// $XDG_CACHE_HOME/chronara/ when XDG_CACHE_HOME is an absolute folder, else
// $HOME/.cache/chronara/; empty when neither is set (no index is kept).
std::string CacheFolder();

// Creates folder and its missing parents (mode 0700). False when it cannot
// be made or is not a folder.
bool PrepareFolder(const std::string& folder);

// The index file of database code of the data folder of dirs, in folder.
std::string IndexPath(const std::string& folder, const CDirectories& dirs, int code);

// Removes from folder the word indexes of an older format (a ".words" file
// whose header names an older version). None of them is read again: an
// index's name holds a hash of its data folder, the hash changed with the
// format, so a new index has a new name and no build would take their place.
void RemoveOlderFormats(const std::string& folder);

// Whether folder lies on the data disk (in the data folder or below it):
// nothing is ever written there.
bool IsOnDataDisk(const std::string& folder, const CDirectories& dirs);

}  // namespace word_index
