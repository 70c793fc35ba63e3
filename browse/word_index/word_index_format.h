#pragma once
// The word index file of one database, kept in the user's cache: every
// word of every person (surname, given names, each record field) with the
// people it is in, where, and at which word of the field.
//
// Layout (integers little-endian; "varint" is 7 bits a byte, low first):
//   header (kHeaderSize bytes): magic, version, database code, the
//     fingerprints of the .ext, .cor and .tre it was made from, counts, the
//     place, length and hash of each section, the file's size, and the hash
//     of the header itself in its last 8 bytes.
//   people blocks: the runs of entries the surname index names, in entry
//     order, kRunsPerBlock to a block; in a block each run is first u32,
//     count u32, and its surname (varint length, bytes), so that a page of
//     people reads the blocks of its people alone.
//   people (directory): per people block: its first entry u32, offset u64
//     (from the start of the blocks), length u32, runs u32 and hash u32.
//   postings: one region per word. A word of up to kDocsPerBlock people is
//     one block; a longer one has a skip table (per block: first entry u32,
//     offset u32 from the end of the table, hash u32) and then its blocks.
//     In a block each person is a varint (entry << 1 | several): the entry
//     itself for the block's first person, else the step from the one
//     before; then, for one occurrence, [slot] position, or, for several,
//     their number and each [slot] position; the slot is written only for
//     a word found in more than one slot.
//   dictionary: blocks of up to kWordsPerBlock words in word order, each
//     word: varint length, bytes, people, slot + 1 (0: several), region
//     offset, region length, and the region's hash u32 (of the block for one
//     block, of the skip table otherwise).
//   directory: per dictionary block: its first word (varint length, bytes),
//     offset, length and word count (varints) and hash u32.
//   years: per four-digit word, in order: value u16, people u32, slot + 1
//     u32, region offset u64, region length u32, hash u32.
//   column data: what each person holds, a value a person (entry order),
//     for the facets: the years column (u32 a person: 0 for none, else the
//     year less kFirstColumnYear plus 1 in the low 11 bits, the slot in the
//     next 20, and the top bit when the person holds more (year, slot)
//     pairs, which follow the column as entry u32, value u32 pairs in entry
//     order), and a values column for each slot of at most kMaxColumnValues
//     distinct values (u8 or u16 a person: 0 for a blank field, else the
//     number of the value), followed by the values' texts (varint length,
//     bytes, as first met).
//   columns (directory): the slots that may have a values column (those
//     below a varint limit), the slots that had too many values (varint
//     count, then each slot), varint count of columns, then per column: kind u8 (1 years,
//     2 values), slot, width, data offset (from the start of the column
//     data), entries, entries per block (varints), a hash u32 per block of
//     the column; then, for years, the pairs' offset, count (varints) and
//     hash u32; for values, the texts' offset, length, count (varints) and
//     hash u32.
// Every byte is under a hash that is checked before it is used: a damaged,
// cut or foreign file is never read as an answer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/file_fingerprint.h"

namespace word_index {

inline constexpr char kMagic[8] = {'C', 'H', 'R', 'N', 'W', 'O', 'R', 'D'};
// 2: the hashes are XXH3 (store/content_hash.h).
// 3: the people in blocks; the columns of the facets.
inline constexpr std::uint32_t kVersion = 3;
inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::uint32_t kDocsPerBlock = 128;
inline constexpr std::uint32_t kWordsPerBlock = 64;
inline constexpr std::size_t kSkipEntrySize = 12;
inline constexpr std::size_t kYearEntrySize = 26;
inline constexpr std::size_t kRunSize = 12;
inline constexpr std::uint32_t kRunsPerBlock = 256;
inline constexpr std::size_t kPeopleBlockEntrySize = 24;
// The columns of the facets: the years they hold, the values kept for a slot.
inline constexpr int kFirstColumnYear = 1000;
inline constexpr int kLastColumnYear = 2099;
inline constexpr std::uint32_t kMaxColumnValues = 4096;
inline constexpr std::uint32_t kColumnBlockEntries = 16384;
enum ColumnKind : unsigned char { kYearsColumn = 1, kValuesColumn = 2 };
// Occurrences of one word in one person: a record of 4999 bytes holds fewer.
inline constexpr std::uint32_t kMaxOccurrences = 5000;

enum FileOf { kExt = 0, kCor = 1, kTre = 2, kFileCount = 3 };
inline constexpr const char* kExtensions[kFileCount] = {".ext", ".cor", ".tre"};

struct Section {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::uint64_t hash = 0;
};

struct Header {
    std::uint32_t code = 0;
    FileFingerprint files[kFileCount];
    std::uint64_t entriesHeld = 0;  // entries of the .cor file
    std::uint64_t people = 0;
    std::uint32_t slotCount = 0;  // slots used: every slot is below it
    std::uint64_t words = 0;
    Section people_;       // the directory of the people blocks
    Section peopleBlocks;  // no hash: each block carries its own
    Section postings;      // no hash: its regions carry their own
    Section dictionary;    // no hash: its blocks carry their own
    Section directory;
    Section years;
    Section columns;     // the directory of the columns
    Section columnData;  // no hash: each block carries its own
    std::uint64_t fileSize = 0;
};

// The header's bytes (kHeaderSize) and back; Decode checks the magic, the
// version and the hash.
std::vector<unsigned char> EncodeHeader(const Header& header);
bool DecodeHeader(const unsigned char* bytes, Header& header);

// Little-endian and varint helpers for the writer and the reader.
void PutU32(std::vector<unsigned char>& out, std::uint32_t value);
void PutU64(std::vector<unsigned char>& out, std::uint64_t value);
void PutVarint(std::vector<unsigned char>& out, std::uint64_t value);
std::uint32_t U32At(const unsigned char* p);
std::uint64_t U64At(const unsigned char* p);

// Reads a varint from [p, end); false when it runs past end or over 64 bits.
inline bool ReadVarint(const unsigned char*& p, const unsigned char* end, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (p == end) return false;
        const unsigned char byte = *p++;
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

}  // namespace word_index
