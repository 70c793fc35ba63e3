#include "browse/record_search/match_snippet.h"

#include <algorithm>

#include "browse/record_query/record_words.h"

namespace match_snippet {

std::string Build(std::string_view field, const std::vector<int>& positions, const Options& options) {
    struct Span {
        std::size_t start;
        std::size_t end;
    };
    std::vector<Span> words;
    record_words::ForEachWordSpan(field, [&](std::size_t start, std::size_t end, std::size_t) {
        words.push_back(Span{start, end});
    });
    if (positions.empty() || words.empty()) return std::string(field);
    const int count = static_cast<int>(words.size());
    const int firstWord = std::max(0, positions.front() - options.context);
    const int lastWord = std::min(count - 1, positions.back() + options.context);
    const std::size_t from = firstWord == 0 ? 0 : words[static_cast<std::size_t>(firstWord)].start;
    const std::size_t to =
        lastWord == count - 1 ? field.size() : words[static_cast<std::size_t>(lastWord)].end;
    std::string out = from > 0 ? options.cut : "";
    std::size_t at = from;
    for (int position : positions) {
        if (position < firstWord || position > lastWord) continue;
        const Span& word = words[static_cast<std::size_t>(position)];
        out.append(field.substr(at, word.start - at));
        out += options.open;
        out.append(field.substr(word.start, word.end - word.start));
        out += options.close;
        at = word.end;
    }
    out.append(field.substr(at, to - at));
    if (to < field.size()) out += options.cut;
    return out;
}

}  // namespace match_snippet
