#pragma once
// Reading values from the private INI file.
//
// The semantics are those the directories rely on: the value of a key in a
// section, or the default when the file, the section or the key is missing;
// section and key names match without regard to ASCII case; blanks around
// the value are removed; the result is cut to size - 1 characters and always
// NUL-terminated. Lines starting with ';' or '#' are comments. When a section
// or key appears twice, the first one counts.

#include <cstddef>
#include <string>

namespace platform {

// Looks for fileName in $XDG_CONFIG_HOME (default ~/.config), then in each
// folder of $XDG_CONFIG_DIRS (default /etc/xdg); relative folders are
// ignored, as the XDG rules say. Returns the path of the first regular file
// found, or "" when there is none.
std::string FindConfigFile(const char* fileName);

// Looks fileName up as FindConfigFile does and reads section/key from it.
// Writes at most size - 1 characters and a NUL to out (nothing when size is
// 0) and returns the number of characters written before the NUL.
std::size_t GetPrivateProfileText(const char* section, const char* key, const char* defaultValue,
                                  char* out, std::size_t size, const char* fileName);

// The same, on a file given by its path ("" or a missing file gives the default).
std::size_t ReadProfileFile(const std::string& path, const char* section, const char* key,
                            const char* defaultValue, char* out, std::size_t size);

// The same, on INI text already in memory.
std::size_t ReadProfileText(const std::string& content, const char* section, const char* key,
                            const char* defaultValue, char* out, std::size_t size);

}  // namespace platform
