#pragma once
// Family-tree files as the tests read them: their lines, records and
// values, and what in them breaks the format's rules.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace gedcom_lines {

// One line of a file: level, cross-reference, tag and value (as written,
// '@' doubled).
struct Line {
    int level = -1;
    std::string xref;
    std::string tag;
    bool hasValue = false;
    std::string value;
    std::string raw;
};

// The lines of a file with CR LF, LF or CR line ends.
std::vector<Line> Lines(const std::string& file);

// The value of the line at index i with its CONT and CONC lines joined and
// every doubled '@' single again.
std::string Joined(const std::vector<Line>& lines, std::size_t i);

// The index of every record's first line, by cross-reference.
std::map<std::string, std::size_t> Records(const std::vector<Line>& lines);

// The lines of the record that starts at index start.
std::vector<std::string> RecordLines(const std::vector<Line>& lines, std::size_t start);

// What breaks the rules of the format in a file written with CR LF: lines
// over 255 bytes or not UTF-8, empty values, a single '@' in a value,
// cross-references defined twice or pointing nowhere, CONC lines split at
// a blank, levels skipped, anything after TRLR. Empty when nothing does.
std::vector<std::string> RuleBreaks(const std::string& file);

}  // namespace gedcom_lines
