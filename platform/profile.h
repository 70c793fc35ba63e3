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

// The text of the INI file at path, at most its first MiB; "" when path is ""
// or the file cannot be read (every key then has its default). Read it once
// and look up as many keys in it as needed.
std::string LoadProfile(const std::string& path);

// Reads section/key from INI text. Writes at most size - 1 characters and a
// NUL to out (nothing when size is 0) and returns the number of characters
// written before the NUL.
std::size_t ReadProfileText(const std::string& content, const char* section, const char* key,
                            const char* defaultValue, char* out, std::size_t size);

}  // namespace platform
