#pragma once
// The More Info title from a row text, shared by the viewer's dialog and the
// query tool: the first tab-separated piece with trailing white space
// removed, ", ", the second piece, then trailing white space removed from
// the whole. The row text is taken through a 256-byte working copy.

#include <cstddef>

inline constexpr std::size_t kTitleWorkSize = 256;

// Writes the title into out (outSize bytes, at least kTitleWorkSize + 2).
void BuildMoreInfoTitle(const char* rowText, char* out, std::size_t outSize);
