#pragma once
// Reading one source CSV file into the database writer of its database.

#include <string>
#include <vector>

#include "store/database_about.h"
#include "store/database_writer.h"

// The database code that a source path names by its file name <stem>.csv
// (stem and extension in any case), or 0 with *error set.
int CodeOfSourcePath(const std::string& path, std::string* error);

// Reads the CSV file at path and adds every person to writer; headings
// gets the header's columns 3 on (Windows-1252, an empty heading where the
// cell is empty). Appends one message per problem to errors, each
// "<path>:<line>: <reason>" (or "<path>: <reason>" when no line applies);
// returns true when there was none. longestLine receives the line of the
// longest given names (0 when there are none).
bool LoadSource(const std::string& path, CDatabaseWriter& writer, std::vector<std::string>& headings,
                std::vector<std::string>& errors, long* longestLine = nullptr);

// The file <stem>.about beside the source at path: its name with .about in
// place of its extension.
std::string AboutPathOf(const std::string& sourcePath);

// Reads the provenance of a database from the .about file at path (UTF-8,
// one "Key: value" a line, blank lines passed over) into provenance; a
// missing file gives none. Errors as LoadSource's; true when there was none.
bool LoadAbout(const std::string& path, std::vector<ProvenanceEntry>& provenance,
               std::vector<std::string>& errors);
