#pragma once
// The states a place names, in every form records write them: the forms of
// the abbreviation table (browse/abbreviations/) and, as a place stands
// after its town's comma or alone in a "State" field, the forms the table
// leaves out because they are also words (ME for Maine, OH for Ohio, IN for
// Indiana).

#include <cstdint>
#include <string>
#include <vector>

namespace linkage {

// The states and territories that a place may name, in the order of the bits.
extern const char* const kStateNames[];
extern const int kStateCount;

// The bit of the state that words (a whole part of a place) name, or 0.
std::uint64_t StateOfWords(const std::vector<std::string>& words);

// Reads a place field: each part between commas (or slashes) that names a
// state sets its bit; the first part, when it names no state and has one to
// three words, is the town.
void ReadPlace(const std::string& field, std::uint64_t& states, std::vector<std::string>& towns);

// "Maine and New York" for the bits of states.
std::string StatesText(std::uint64_t states);

}  // namespace linkage
