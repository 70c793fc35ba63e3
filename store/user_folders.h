#pragma once
// The facts of the user's own folders that the scratch file, the word-index
// cache and the research log all place themselves by: the XDG variables as
// the XDG rules read them, a folder's trailing '/', and whether a folder is
// there.

#include <string>

namespace user_folders {

// An environment variable that can anchor a folder of the user's: an
// absolute folder other than the root itself. A relative value does not
// count, as the XDG rules say. Null otherwise.
const char* AbsoluteFolderOf(const char* variable);

// The folder with one '/' at its end; an empty one gives "/".
std::string WithTrailingSlash(std::string folder);

// True when a folder (or a link to one) stands at path.
bool IsFolder(const std::string& path);

}  // namespace user_folders
