#pragma once
// The closed set of databases the viewer knows: codes, file stems, the rows
// of the database list, and each database's key width.

#include <cstdint>
#include <vector>

#include "store/disk_format.h"

namespace catalogue {

inline constexpr int kFirstCode = 1;
inline constexpr int kLastCode = 14;
inline constexpr int kRowCount = 13;

// Index key field widths in bytes (key text and its NUL), and the widths to
// which MakeKey pads a surname.
inline constexpr int kShortKeyField = disk_format::kShortKeyField;
inline constexpr int kLongKeyField = disk_format::kLongKeyField;
inline constexpr int kShortPaddedKey = disk_format::kShortPaddedKey;
inline constexpr int kLongPaddedKey = disk_format::kLongPaddedKey;

// File stem of a database code 1..14; null for any other code.
const char* StemOf(int code);

// Code of a file stem, or 0 when the stem names no database.
int CodeOfStem(const char* stem);

// Code of a combo row; 0 when the row selects no database (outside 0..12).
int CodeOfRow(int row);

// Combo row of a database code; -1 when the list has no row for it (the roll,
// code 9, is reached by code only).
int RowOfCode(int code);

// Text of a combo row 0..12 in the database list; null for any other row.
const char* ListText(int row);

// The list text of a database code's row; null for a code the list has no
// row for.
inline const char* TitleOfCode(int code) { return ListText(RowOfCode(code)); }

// How a database is called where it is named: its list text, or its stem
// for a database no list row shows (the roll).
inline const char* NameOfCode(int code) {
    const char* title = TitleOfCode(code);
    return title != nullptr ? title : StemOf(code);
}

// The list texts in row order, ended by an empty text, as the view adds them.
extern const char* const kListTexts[kRowCount + 1];

// The row table: the code of each combo row, ended by a 0 byte.
extern const std::uint8_t kRowTable[kRowCount + 1];

// Long keys for code 2 and codes 7 and up.
bool UsesLongKeys(int code);
inline int KeyFieldWidth(int code) { return UsesLongKeys(code) ? kLongKeyField : kShortKeyField; }
inline int PaddedKeyWidth(int code) { return UsesLongKeys(code) ? kLongPaddedKey : kShortPaddedKey; }

// Every database of the list, in list-row order.
std::vector<int> EveryDatabase();

// Every database of the disk: the list's in list-row order, then those no
// row shows (the roll).
std::vector<int> EveryDatabaseOfDisk();

}  // namespace catalogue
