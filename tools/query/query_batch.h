#pragma once
// The lines of a batch file (--batch, --find-batch): read whole, each line
// converted to Windows-1252 (unless raw) with blanks around it removed and
// blank lines passed over; a line that cannot be taken is an error that
// names the file and the line.

#include <string>
#include <vector>

namespace query_tool {

struct BatchText {
    std::string text;  // Windows-1252
    long line = 0;     // 1-based, for messages
};

// option: the option that named the file, for messages. file: a path, or "-" for standard input. maxLength:
// the longest line taken, in Windows-1252 characters; what counts is called what (as in "the surname is N
// characters long"). False after a message on standard error.
bool ReadBatchLines(const char* option, const std::string& file, bool raw, std::size_t maxLength,
                    const char* what, std::vector<BatchText>& lines);

// Where a line stands, for a message: "FILE:LINE: ".
std::string BatchPlace(const std::string& file, long line);

}  // namespace query_tool
