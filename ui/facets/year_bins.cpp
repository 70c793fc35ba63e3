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

std::string Name(const Bin& bin) {
    if (bin.from == bin.to) return std::to_string(bin.from);
    return std::to_string(bin.from) + " to " + std::to_string(bin.to);
}

}  // namespace year_bins
