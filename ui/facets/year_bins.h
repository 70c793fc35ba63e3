#pragma once
// The bars of a years histogram: the years from the first held to the last,
// gaps included, a bar a year while they fit, else a bar a decade, a
// quarter-century or a century, the counts of a bar's years added up.
// Plain C++, so that the binning is tested without a display.

#include <cstdint>
#include <string>
#include <vector>

#include "browse/facets/facet_counts.h"

namespace year_bins {

struct Bin {
    int from = 0;  // first and last year of the bar
    int to = 0;
    std::int64_t count = 0;
    bool operator==(const Bin& other) const {
        return from == other.from && to == other.to && count == other.count;
    }
};

// At most maxBins bars (at least one a century); years ascending, as
// facets::CYearTally gives them. None for no years.
std::vector<Bin> BinYears(const std::vector<facets::YearCount>& years, int maxBins);

// How a bar is named: "1863", or "1860 to 1869".
std::string Name(const Bin& bin);

}  // namespace year_bins
