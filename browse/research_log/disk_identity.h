#pragma once
// What tells one data disk from another, so that a person saved from one
// disk is never taken for the person at the same entry of another.
//
// A disk is known by its marker file and its surname indexes: the label
// the marker gives, and a fingerprint of the marker's bytes and of each
// index's size and first and last bytes. What the fingerprint hashes is
// content alone, never where the files lie or when they were copied, so
// the same disk mounted elsewhere, or copied whole to a hard disk, is the
// same disk; a disk made again with other people has other indexes, and
// two disks that say the same label are still told apart.

#include <string>

#include "browse/research_log/log_entries.h"
#include "store/store_error.h"

class CDirectories;

namespace research_log {

// The recipe's name leads the fingerprint ("v1-" and 16 hex digits), so
// that a later recipe can never meet an earlier one's fingerprints.
inline constexpr char kFingerprintRecipe[] = "v1-";
inline constexpr std::size_t kFingerprintLength = 19;

// Reads the marker and every database's index of the data directory. A
// marker that cannot be read, or an index that cannot be, is an error: an
// identity made of what could be read would be another disk's. A database
// whose index is not there counts as absent.
StoreError ReadDiskIdentity(const CDirectories& dirs, DiskIdentity& identity);

// Whether text has the form of a fingerprint of this recipe.
bool IsFingerprint(const std::string& text);

// The label as a person reads it: "Chronara data disk, version 3".
std::string LabelText(const DiskLabel& label);

}  // namespace research_log
