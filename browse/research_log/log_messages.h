#pragma once
// Every text the research log gives the user, made here as a value.

#include <cstdint>
#include <string>

#include "browse/research_log/log_entries.h"
#include "browse/research_log/log_outcome.h"

namespace research_log {
namespace log_messages {

std::string ErrorText(const LogError& error);

// "The research log P is damaged (why); it was moved to A, and a new log begins."
std::string MovedAside(const std::string& path, const std::string& aside, const std::string& why);

// "2 searches of the research log P could not be read and are left out."
std::string Skipped(std::int64_t count, const char* what, const char* whatPlural, const std::string& path);

// A saved person whom the disk does not hold where the log says: "The saved
// person SMITH, John (War of 1812, entry 12) is not at that entry of this
// disk; they are left out."
std::string NotOnDisk(const PersonOnDisk& person);

}  // namespace log_messages
}  // namespace research_log
