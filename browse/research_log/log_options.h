#pragma once
// How a program keeps its research log: where, whether at all, how long a
// write waits for another program's, and the clock and file layer it uses.

#include <ctime>
#include <functional>

#include "browse/research_log/log_location.h"

namespace research_log {

struct LogOptions {
    LogPlace place = DefaultLogPlace();
    // "Keep a research log": when off, nothing new is written (no search,
    // no seen mark, no person saved) and no log is made; what is kept can
    // still be read, removed and cleared.
    bool keep = true;
    // How long a write waits for another program's.
    int busyMilliseconds = 5000;
    // The time entries are given; null: the system's clock.
    std::function<std::time_t()> clock;
    // The SQLite VFS the log is opened with (tests fail its calls); null:
    // the system's.
    const char* vfs = nullptr;
};

}  // namespace research_log
