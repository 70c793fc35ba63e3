#pragma once
// Facts of the files on the data disk and of the scratch file, stated once
// for the readers, the writer, the fuzz harnesses and the tests.
//
// Integers in every file are signed 32-bit little-endian; text is single-byte
// Windows-1252, NUL-terminated inside fixed-width fields.

#include <cstddef>
#include <cstdint>

namespace disk_format {

// --- .ext: records -----------------------------------------------------------
// A record is its fields, each closed by 0xFF, then a line feed.
inline constexpr unsigned char kFieldEnd = 0xFF;
inline constexpr char kFieldEndChar = static_cast<char>(kFieldEnd);
inline constexpr char kRecordEnd = '\n';
// Longest record, line feed included; a reader's buffer adds the NUL.
inline constexpr std::size_t kMaxRecord = 4999;
inline constexpr std::size_t kRecordBufferSize = kMaxRecord + 1;

// --- .cor: entries -----------------------------------------------------------
// Entry i at i * (4 + N): the record offset, then N bytes of given names.
// N, the name width, is the file's last 4 bytes.
inline constexpr std::int64_t kEntryOffsetSize = 4;
inline constexpr std::int64_t kNameWidthSize = 4;
inline constexpr std::int32_t kMaxNameWidth = 255;
// Given names and their NUL, as every buffer holds them.
inline constexpr std::size_t kGivenNamesSize = 256;
inline constexpr std::size_t kMaxGivenNames = kMaxNameWidth - 1;

// --- .tre: the surname index -------------------------------------------------
// Header (root page offset, spare field), pages, then one signature byte.
inline constexpr std::int64_t kIndexHeaderSize = 8;
inline constexpr unsigned char kIndexSignature = 4;
inline constexpr std::int64_t kSignatureSize = 1;
inline constexpr int kEntriesPerPage = 4;
inline constexpr int kChildrenPerPage = kEntriesPerPage + 1;
inline constexpr std::int32_t kNoPage = -1;
// Key field widths (key text and its NUL) and the widths MakeIndexKey pads to.
inline constexpr int kShortKeyField = 20;
inline constexpr int kLongKeyField = 24;
inline constexpr int kMaxKeyField = kLongKeyField;
inline constexpr int kShortPaddedKey = 17;
inline constexpr int kLongPaddedKey = 22;
// An index entry: first entry, count, key field.
inline constexpr int kIndexEntryFixedSize = 8;
inline constexpr int IndexEntrySize(int keyField) { return kIndexEntryFixedSize + keyField; }
// A page: count, the entries, the child offsets.
inline constexpr int IndexPageSize(int keyField) {
    return 4 + kEntriesPerPage * IndexEntrySize(keyField) + kChildrenPerPage * 4;
}
inline constexpr int kMaxIndexPageSize = IndexPageSize(kMaxKeyField);
inline constexpr int ChildrenOffset(int keyField) { return 4 + kEntriesPerPage * IndexEntrySize(keyField); }

// --- names -------------------------------------------------------------------
// Longest surname a search takes: the short key field holds 19 characters.
inline constexpr std::size_t kMaxSurname = kShortKeyField - 1;
// Longest surname the work copy of MakeIndexKey holds.
inline constexpr std::size_t kMaxKeySurname = kMaxKeyField - 1;

// --- history.buf: the scratch file of first-name hits ------------------------
inline constexpr char kHistoryFileName[] = "history.buf";
// One record: record offset (4), given names (255), summary slot (41).
inline constexpr std::int32_t kHistoryRowSize = 300;
inline constexpr std::size_t kHistoryNamesSize = 255;
inline constexpr std::size_t kHistorySummarySize = 41;

// --- .fld and .src: what a database's fields are called, and where its ----
// records came from. Text, one item a line, each line ended by a line feed;
// a database without them has neither file, or an empty one.
// .fld: the heading of record field k on line k + 1 (an empty line: none).
// .src: "Key: value" lines, the keys those of database_about.h.
inline constexpr char kHeadingsExtension[] = ".fld";
inline constexpr char kProvenanceExtension[] = ".src";
// A record of kMaxRecord bytes holds fewer fields than this.
inline constexpr std::size_t kMaxHeadings = 5000;
inline constexpr std::size_t kMaxHeading = 80;
inline constexpr std::size_t kMaxHeadingsFile = kMaxHeadings * (kMaxHeading + 2);
inline constexpr std::size_t kMaxProvenanceEntries = 64;
inline constexpr std::size_t kMaxProvenanceValue = 1000;
inline constexpr std::size_t kMaxProvenanceFile = 64 * 1024;

// --- the data-disk marker ----------------------------------------------------
inline constexpr char kMarkerFileName[] = "chronaradb.id";

}  // namespace disk_format
