#pragma once
// The index key of a surname, shared by the search and the database writer.

#include <cstddef>
#include <string_view>

#include "store/disk_format.h"

// Longest surname the work copy of MakeKey holds.
inline constexpr std::size_t kMaxKeySurname = disk_format::kMaxKeySurname;

// Rewrites text (a buffer of at least 24 bytes holding a surname of at most
// 23 characters) into the index key for database code: padded with blanks to
// 17 (short keys) or 22 (long keys) characters when its length L is at most
// 16, or at most 21 with codes above 8; then a-z upper-cased.
void MakeIndexKey(int code, char* text);

// Length of the key MakeIndexKey would form, without forming it.
std::size_t IndexKeyLength(int code, std::size_t surnameLength);

// The stored key without its trailing padding blanks: what listings show.
std::string_view WithoutPadding(std::string_view storedKey);
