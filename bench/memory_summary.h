#pragma once
// The raw summary of a record that is already in memory, as the SQLite
// baseline holds it: the same walk the viewer makes over the .ext stream
// (at most three non-blank fields, stopped after about 30 bytes), so that
// both sides build the same row texts.

#include <cstddef>

namespace bench {

// record: size bytes, ending with the line feed. out: at least 35 bytes.
// Returns the record's first byte, or -1 for an empty record.
int RawSummaryOf(const unsigned char* record, std::size_t size, char* out);

}  // namespace bench
