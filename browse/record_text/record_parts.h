#pragma once
// A record as its parts: the fields the record file holds, and the head
// each field goes by. Searches, pages and exports all take records apart
// the same way.

#include <cstddef>
#include <string>
#include <vector>

namespace record_parts {

// The record's fields: the runs closed by 0xFF, up to the line feed or the
// end of the record; a last run without its 0xFF is a field too.
std::vector<std::string> FieldsOf(const std::string& record);

// The head of field k (0-based) of database code: its label without the
// joining comma, leading marks and the closing ": ", or "field <k+1>" where
// the field has no label of its own.
std::string FieldHead(int code, std::size_t k);

}  // namespace record_parts
