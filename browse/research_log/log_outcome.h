#pragma once
// What an operation of the research log came to: an error as a value, and
// the messages for the user in the order they arose (a log moved aside,
// entries that could not be read, the error itself). The program shows
// them; the log never does.

#include <cstdint>
#include <string>
#include <vector>

namespace research_log {

enum class LogErrorKind {
    None,
    NoFolder,     // there is no folder for the log, or it cannot be made
    NotWritable,  // the log or its folder cannot be opened or written
    Full,         // the disk that holds the log is full
    Busy,         // another program held the log longer than the wait allows
    Newer,        // a newer version's log: read, never changed
    TurnedOff,    // "Keep a research log" is off: nothing new is written
    Refused,      // what was given cannot be kept (a text too long, no such database)
    Damaged,      // damaged, and it could not be moved aside
    Failed,       // anything else SQLite said
};

struct LogError {
    LogErrorKind kind = LogErrorKind::None;
    std::string path;  // the log's path
    // What the system or SQLite said, or what was refused; for Damaged, the
    // phrase that follows the path ("is damaged (...)", "is not a research
    // log of Chronara").
    std::string detail;
    bool Failed() const { return kind != LogErrorKind::None; }
};

struct LogOutcome {
    LogError error;
    std::vector<std::string> messages;
    // Entries that were in the log but could not be read (damaged or edited
    // into something this version does not take): left out, and said.
    std::int64_t skipped = 0;
    bool Failed() const { return error.Failed(); }
};

}  // namespace research_log
