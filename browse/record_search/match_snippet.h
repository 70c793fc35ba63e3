#pragma once
// The words around a match in a field, with the matched words marked, for
// a result list that shows where each person matched.

#include <string>
#include <string_view>
#include <vector>

namespace match_snippet {

struct Options {
    // Words shown before the first and after the last matched word; the
    // whole field when it holds no more than this many words on either side.
    int context = 6;
    const char* open = "[";
    const char* close = "]";
    const char* cut = "...";
};

// field (Windows-1252) with the words at positions (ascending, as a
// FieldHit gives them) wrapped in open and close, cut to the words around
// them, with cut where words were left out.
std::string Build(std::string_view field, const std::vector<int>& positions,
                  const Options& options = Options{});

}  // namespace match_snippet
