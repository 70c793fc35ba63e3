#pragma once
// Record text formatting: per-database label tables, the displayed summary
// of a result row and the full labelled text of a record for More Info.
// Everything writes into caller buffers; nothing allocates.

#include <cstddef>

#include "store/disk_format.h"

namespace record_format {

inline constexpr int kSlotCount = 20;
inline constexpr std::size_t kSlotSize = 30;
inline constexpr unsigned char kEndMark = 0xFF;
inline constexpr unsigned char kFieldEnd = disk_format::kFieldEnd;
inline constexpr std::size_t kRawSummarySize = 40;
inline constexpr std::size_t kSummarySize = 41;
inline constexpr std::size_t kTextSize = disk_format::kRecordBufferSize;
extern const char kFootnote[];  // 127 characters

using LabelTable = char[kSlotCount][kSlotSize];

// The table of a database code 0..14 (code 0: all empty); null otherwise.
const LabelTable* LabelTableOf(int code);

// Displayed summary (at most 40 characters) from a raw summary, into out
// (41 bytes). recordFirstByte is the first byte of the record, which code 3
// tests ("survived: yes" when it is '3').
void BuildDisplayedSummary(int code, const char* rawSummary, int recordFirstByte, char* out);

// Full text of a record (NUL-terminated, as ReadRecord leaves it) into out
// of outSize bytes (5000 in the pager); never writes past outSize - 1
// characters and its NUL. Returns the length written.
std::size_t BuildFullText(int code, const char* record, char* out, std::size_t outSize);

}  // namespace record_format
