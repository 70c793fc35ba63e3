// The facets of the people a query found, read from the columns of the
// word index (word_index_columns.h): each block of a column that holds one
// of the people is read once and checked against its hash before it counts.

#include <algorithm>

#include "browse/word_index/word_index_columns.h"
#include "browse/word_index/word_index_reader.h"
#include "store/content_hash.h"

namespace word_index {
namespace {

bool Read(const unsigned char*& p, const unsigned char* end, std::uint64_t& value) {
    return ReadVarint(p, end, value);
}

}  // namespace

IndexStatus CWordIndexReader::LoadColumns() {
    if (columnsRead_) return IndexStatus::Ready;
    std::vector<unsigned char> bytes;
    const IndexStatus status = ReadSection(header_.columns, bytes);
    if (status != IndexStatus::Ready) return status;
    const unsigned char* p = bytes.data();
    const unsigned char* end = p + bytes.size();
    std::uint64_t value = 0;
    std::uint64_t count = 0;
    std::vector<int> dead;
    if (!Read(p, end, columnSlots_) || !Read(p, end, count) || count > header_.slotCount)
        return IndexStatus::Damaged;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!Read(p, end, value) || value >= header_.slotCount) return IndexStatus::Damaged;
        dead.push_back(static_cast<int>(value));
    }
    if (!Read(p, end, count) || count == 0 || count > static_cast<std::uint64_t>(header_.slotCount) + 1)
        return IndexStatus::Damaged;
    std::vector<Column> columns;
    const std::uint64_t data = header_.columnData.length;
    for (std::uint64_t i = 0; i < count; ++i) {
        Column column;
        if (p == end) return IndexStatus::Damaged;
        column.kind = *p++;
        std::uint64_t slot = 0;
        std::uint64_t width = 0;
        if (!Read(p, end, slot) || !Read(p, end, width) || !Read(p, end, column.offset) ||
            !Read(p, end, column.entries) || !Read(p, end, column.blockEntries)) {
            return IndexStatus::Damaged;
        }
        const bool years = column.kind == kYearsColumn && i == 0 && slot == 0 && width == 4;
        const bool values = column.kind == kValuesColumn && i > 0 && slot < columnSlots_ &&
                            slot < header_.slotCount && (width == 1 || width == 2) &&
                            (columns.size() < 2 || static_cast<std::uint64_t>(columns.back().slot) < slot);
        if ((!years && !values) || column.entries != header_.entriesHeld || column.blockEntries == 0 ||
            column.blockEntries > (1u << 24) || column.offset > data ||
            column.entries * width > data - column.offset) {
            return IndexStatus::Damaged;
        }
        column.slot = static_cast<int>(slot);
        column.width = static_cast<unsigned>(width);
        const std::uint64_t blocks = (column.entries + column.blockEntries - 1) / column.blockEntries;
        if (static_cast<std::uint64_t>(end - p) < blocks * 4) return IndexStatus::Damaged;
        for (std::uint64_t b = 0; b < blocks; ++b, p += 4) column.hashes.push_back(U32At(p));
        if (!Read(p, end, column.extraOffset)) return IndexStatus::Damaged;
        if (years) {
            if (!Read(p, end, column.extraCount) || column.extraCount > data / 8) return IndexStatus::Damaged;
            column.extraLength = column.extraCount * 8;
        } else if (!Read(p, end, column.extraLength) || !Read(p, end, column.extraCount) ||
                   column.extraCount == 0 || column.extraCount > kMaxColumnValues) {
            return IndexStatus::Damaged;
        }
        if (end - p < 4 || column.extraOffset > data || column.extraLength > data - column.extraOffset)
            return IndexStatus::Damaged;
        column.extraHash = U32At(p);
        p += 4;
        columns.push_back(std::move(column));
    }
    if (p != end) return IndexStatus::Damaged;
    columns_ = std::move(columns);
    deadSlots_ = std::move(dead);
    columnsRead_ = true;
    return IndexStatus::Ready;
}

IndexStatus CWordIndexReader::ReadColumnBlock(const Column& column, std::uint64_t block,
                                              std::vector<unsigned char>& bytes) {
    const std::uint64_t first = block * column.blockEntries;
    const std::uint64_t count = std::min(column.blockEntries, column.entries - first);
    const IndexStatus status =
        ReadAt(header_.columnData.offset + column.offset + first * column.width, count * column.width, bytes);
    if (status != IndexStatus::Ready) return status;
    return ContentHash32(bytes.data(), bytes.size()) == column.hashes[block] ? IndexStatus::Ready
                                                                             : IndexStatus::Damaged;
}

IndexStatus CWordIndexReader::ReadColumnExtra(const Column& column, std::vector<unsigned char>& bytes) {
    const IndexStatus status =
        ReadAt(header_.columnData.offset + column.extraOffset, column.extraLength, bytes);
    if (status != IndexStatus::Ready) return status;
    return ContentHash32(bytes.data(), bytes.size()) == column.extraHash ? IndexStatus::Ready
                                                                         : IndexStatus::Damaged;
}

IndexStatus CWordIndexReader::TallyYears(const std::vector<std::int32_t>& entries,
                                         const record_fields::FieldSet& fields, facets::CYearTally& years) {
    IndexStatus status = LoadColumns();
    if (status != IndexStatus::Ready) return status;
    const Column& column = columns_.front();
    std::vector<unsigned char> block;
    std::uint64_t loaded = UINT64_MAX;
    std::vector<unsigned char> pairs;
    bool pairsRead = false;
    std::uint64_t pair = 0;
    auto note = [&](std::uint32_t value) {
        const int year = YearOfValue(value & ~kMorePairs);
        const int slot = SlotOfValue(value & ~kMorePairs);
        if (year < kFirstColumnYear || year > kLastColumnYear ||
            static_cast<std::uint32_t>(slot) >= header_.slotCount)
            return false;
        if (fields.Has(slot)) years.Note(year);
        return true;
    };
    std::int64_t previous = -1;
    for (std::int32_t entry : entries) {
        if (entry <= previous || static_cast<std::uint64_t>(entry) >= column.entries)
            return IndexStatus::Damaged;
        previous = entry;
        const std::uint64_t at = static_cast<std::uint64_t>(entry);
        if (at / column.blockEntries != loaded) {
            loaded = at / column.blockEntries;
            status = ReadColumnBlock(column, loaded, block);
            if (status != IndexStatus::Ready) return status;
        }
        const std::uint32_t value = U32At(block.data() + (at % column.blockEntries) * 4);
        if (value != 0 && !note(value)) return IndexStatus::Damaged;
        if ((value & kMorePairs) != 0) {
            if (!pairsRead) {
                status = ReadColumnExtra(column, pairs);
                if (status != IndexStatus::Ready) return status;
                pairsRead = true;
            }
            // The pairs are in entry order: the people asked come in it too.
            while (pair < column.extraCount && U32At(pairs.data() + pair * 8) < at) ++pair;
            bool more = false;
            for (; pair < column.extraCount && U32At(pairs.data() + pair * 8) == at; ++pair) {
                if (!note(U32At(pairs.data() + pair * 8 + 4))) return IndexStatus::Damaged;
                more = true;
            }
            if (!more) return IndexStatus::Damaged;
        }
        years.EndPerson();
    }
    return IndexStatus::Ready;
}

IndexStatus CWordIndexReader::TallyValues(const std::vector<std::int32_t>& entries,
                                          const record_fields::FieldSet& fields, facets::CValueTally& values,
                                          bool& covered) {
    covered = false;
    IndexStatus status = LoadColumns();
    if (status != IndexStatus::Ready) return status;
    // The columns of the slots asked for; a slot without one holds blanks
    // alone, unless it had too many values or lies past the columns' slots.
    struct Asked {
        const Column* column;
        std::vector<std::string> shown;
        std::vector<std::string> keys;
        std::vector<unsigned char> block;
        std::uint64_t loaded = UINT64_MAX;
    };
    std::vector<Asked> asked;
    for (std::uint32_t slot = 0; slot < header_.slotCount; ++slot) {
        if (!fields.Has(static_cast<int>(slot))) continue;
        if (slot >= columnSlots_ || std::find(deadSlots_.begin(), deadSlots_.end(), slot) != deadSlots_.end())
            return IndexStatus::Ready;
        for (const Column& column : columns_) {
            if (column.kind == kValuesColumn && column.slot == static_cast<int>(slot))
                asked.push_back(Asked{&column, {}, {}, {}});
        }
    }
    for (Asked& one : asked) {
        std::vector<unsigned char> texts;
        status = ReadColumnExtra(*one.column, texts);
        if (status != IndexStatus::Ready) return status;
        const unsigned char* p = texts.data();
        const unsigned char* end = p + texts.size();
        for (std::uint64_t i = 0; i < one.column->extraCount; ++i) {
            std::uint64_t length = 0;
            if (!ReadVarint(p, end, length) || length > static_cast<std::uint64_t>(end - p))
                return IndexStatus::Damaged;
            one.shown.emplace_back(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
            p += length;
            one.keys.push_back(facets::FoldedValue(one.shown.back()));
        }
        if (p != end) return IndexStatus::Damaged;
    }
    std::int64_t previous = -1;
    for (std::int32_t entry : entries) {
        if (entry <= previous || static_cast<std::uint64_t>(entry) >= header_.entriesHeld)
            return IndexStatus::Damaged;
        previous = entry;
        const std::uint64_t at = static_cast<std::uint64_t>(entry);
        for (Asked& one : asked) {
            const Column& column = *one.column;
            if (at / column.blockEntries != one.loaded) {
                one.loaded = at / column.blockEntries;
                status = ReadColumnBlock(column, one.loaded, one.block);
                if (status != IndexStatus::Ready) return status;
            }
            const unsigned char* cell = one.block.data() + (at % column.blockEntries) * column.width;
            const std::uint32_t id =
                column.width == 1 ? cell[0] : static_cast<std::uint32_t>(cell[0] | cell[1] << 8);
            if (id == 0) continue;
            if (id > one.shown.size()) return IndexStatus::Damaged;
            values.NoteKey(one.keys[id - 1], one.shown[id - 1]);
        }
        values.EndPerson();
    }
    covered = true;
    return IndexStatus::Ready;
}

}  // namespace word_index
