#pragma once
// Where the research log lives: the user's own data folder,
// $XDG_DATA_HOME/chronara/research.sqlite (~/.local/share/chronara/ when
// XDG_DATA_HOME is not an absolute folder), never the data disk.

#include <cstddef>
#include <string>

namespace research_log {

inline constexpr char kLogFileName[] = "research.sqlite";

struct LogPlace {
    // Empty when neither XDG_DATA_HOME nor HOME is an absolute folder:
    // there is then nowhere to keep the log.
    std::string path;
    // How much of the path's start must exist already: HOME's own folder is
    // never made, XDG_DATA_HOME is (from "/").
    std::size_t existing = 1;
};

LogPlace DefaultLogPlace();

// Makes the folder of the log and its missing parents with mode 0700, as
// the user's data folders are made. False with the reason in error.
bool PrepareLogFolder(const LogPlace& place, std::string& error);

}  // namespace research_log
