#pragma once
// Reading one source CSV file into the database writer of its database.

#include <string>
#include <vector>

#include "store/database_writer.h"

// The database code that a source path names by its file name <stem>.csv
// (stem and extension in any case), or 0 with *error set.
int CodeOfSourcePath(const std::string& path, std::string* error);

// Reads the CSV file at path and adds every person to writer. Appends one
// message per problem to errors, each "<path>:<line>: <reason>" (or
// "<path>: <reason>" when no line applies); returns true when there was none.
// longestLine receives the line of the longest given names (0 when there are none).
bool LoadSource(const std::string& path, CDatabaseWriter& writer, std::vector<std::string>& errors,
                long* longestLine = nullptr);
