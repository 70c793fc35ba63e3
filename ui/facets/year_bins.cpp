#include "ui/facets/year_bins.h"

#include <algorithm>

namespace year_bins {

std::vector<Bin> BinYears(const std::vector<facets::YearCount>& years, int maxBins) {
    std::vector<Bin> bins;
    if (years.empty()) return bins;
    const int first = years.front().year;
    const int last = years.back().year;
    // The narrowest width of bar that fits; a bar starts on a multiple of its width.
    int width = 1;
    for (const int w : {1, 10, 25, 100}) {
        width = w;
        if ((last / w - first / w + 1) <= std::max(1, maxBins)) break;
    }
    for (int start = first / width * width; start <= last; start += width)
        bins.push_back(Bin{start, start + width - 1, 0});
    for (const facets::YearCount& one : years) {
        const std::size_t i = static_cast<std::size_t>(one.year / width - first / width);
        if (i < bins.size()) bins[i].count += one.count;
    }
    return bins;
}

Layout LayOut(const std::vector<facets::YearCount>& years, int maxBins) {
    Layout layout;
    if (years.empty()) return layout;
    std::int64_t total = 0;
    for (const facets::YearCount& one : years) total += one.count;
    std::size_t low = 0, high = years.size() - 1;
    if (years.back().year - years.front().year + 1 > std::max(1, maxBins)) {
        // Left out at most: 5% rounded up, and fewer than half.
        const std::int64_t spare = std::min((total + 19) / 20, (total - 1) / 2);
        std::int64_t held = 0;
        int bestLength = years.back().year - years.front().year;
        std::int64_t bestHeld = total;
        // Two pointers over the years ascending: for each last year, the
        // latest first year that keeps enough.
        std::size_t first = 0;
        for (std::size_t last = 0; last < years.size(); ++last) {
            held += years[last].count;
            while (first < last && held - years[first].count >= total - spare) held -= years[first++].count;
            if (held < total - spare) continue;
            const int length = years[last].year - years[first].year;
            if (length < bestLength || (length == bestLength && held > bestHeld)) {
                bestLength = length;
                bestHeld = held;
                low = first;
                high = last;
            }
        }
    }
    int from = years[low].year / 10 * 10;
    int to = years[high].year / 10 * 10 + 9;
    // Worth it only where the years apart would at least double the span.
    if (years.back().year - years.front().year + 1 < 2 * (to - from + 1)) {
        from = years.front().year;
        to = years.back().year;
    }
    std::vector<facets::YearCount> inside;
    for (const facets::YearCount& one : years) {
        Outside* end = one.year < from ? &layout.earlier : one.year > to ? &layout.later : nullptr;
        if (end == nullptr) {
            inside.push_back(one);
            continue;
        }
        if (end->count == 0) end->first = one.year;
        end->last = one.year;
        end->count += one.count;
    }
    layout.bins = BinYears(inside, maxBins);
    return layout;
}

std::string Name(const Bin& bin) {
    if (bin.from == bin.to) return std::to_string(bin.from);
    return std::to_string(bin.from) + " to " + std::to_string(bin.to);
}

}  // namespace year_bins
