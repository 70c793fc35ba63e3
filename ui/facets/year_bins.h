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

// The years held outside the bars, at one end: how many person-years,
// the first and last of them.
struct Outside {
    std::int64_t count = 0;
    int first = 0;
    int last = 0;
    bool operator==(const Outside& other) const {
        return count == other.count && first == other.first && last == other.last;
    }
};

struct Layout {
    std::vector<Bin> bins;
    Outside earlier;
    Outside later;
};

// The bars of the years that hold most people, so that a stray year word
// (1066 beside the 1860s) does not squeeze them to nothing. While every
// year held fits a bar of its own (maxBins), all are binned. Else the bulk
// is the shortest span of years holding all person-years but at most 5%
// of them (rounded up), and fewer than half; of spans as short, the one
// holding most, then the earliest. It is widened to whole decades, and the
// years held within it binned by BinYears; those before and after are
// counted apart, unless they would not double the span of the bars (a
// general's birth in the 1810s beside the war and the 2000s' memorials). Two years far apart with as many
// people each stay bars.
Layout LayOut(const std::vector<facets::YearCount>& years, int maxBins);

// How a bar is named: "1863", or "1860 to 1869".
std::string Name(const Bin& bin);

}  // namespace year_bins
