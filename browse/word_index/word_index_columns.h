#pragma once
// The columns of the word index (word_index_format.h): what each person
// holds, one value a person in entry order, so that the facets of a search
// (browse/facet_counts.h) read the values of the people found and nothing
// else. The years column holds each person's distinct (year, slot) pairs
// from kFirstColumnYear to kLastColumnYear; a values column holds, for one
// slot of at most kMaxColumnValues distinct values, the number of each
// person's value (trimmed, folded as the facets compare values).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "browse/word_index/word_index_format.h"

namespace word_index {

// Slots past this one get no values column (a record of many short fields
// would otherwise keep a column each); their facets read the records.
inline constexpr int kMaxColumnSlots = 32;

// Gathers the columns while the index is built, one person at a time in
// entry order, and writes them.
class CColumnWriter {
public:
    explicit CColumnWriter(std::uint64_t entries) : entries_(entries), years_(entries, 0) {}

    // Notes a year word of slot for the person of entry.
    void NoteYear(std::uint32_t entry, int slot, int year);
    // Notes the text of slot for the person of entry.
    void NoteValue(std::uint32_t entry, int slot, std::string_view text);
    // Ends the person of entry.
    void EndPerson(std::uint32_t entry);

    // Writes the column data through put (which appends to the file) from
    // the data section's start, and gives the columns' directory.
    void Write(const std::function<void(const std::vector<unsigned char>&)>& put,
               std::vector<unsigned char>& directory);

private:
    struct Values {
        bool dead = false;
        std::unordered_map<std::string, std::uint16_t> ids;
        std::vector<std::string> shown;   // by number - 1
        std::vector<unsigned char> data;  // a person: width bytes
        unsigned width = 1;
    };
    void WriteColumn(const std::vector<unsigned char>& data, unsigned width, std::uint64_t& at,
                     const std::function<void(const std::vector<unsigned char>&)>& put,
                     std::vector<unsigned char>& directory);

    std::uint64_t entries_;
    std::vector<std::uint32_t> years_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> moreYears_;  // entry, value
    std::vector<std::uint32_t> held_;                                 // the person's pairs
    std::vector<Values> values_;                                      // by slot
};

// A pair of the years column: its value for a year of a slot.
inline std::uint32_t YearValue(int year, int slot) {
    return static_cast<std::uint32_t>(year - kFirstColumnYear + 1) | static_cast<std::uint32_t>(slot) << 11;
}
inline int YearOfValue(std::uint32_t value) { return static_cast<int>(value & 0x7FF) - 1 + kFirstColumnYear; }
inline int SlotOfValue(std::uint32_t value) { return static_cast<int>((value >> 11) & 0xFFFFF); }
inline constexpr std::uint32_t kMorePairs = 0x80000000u;

}  // namespace word_index
