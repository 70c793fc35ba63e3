#pragma once
// Screen readers' view of the painted facets: the bars of CFacetBars and of
// CYearsHistogram are items of a list each, named with their counts, and
// pressing one does what a click does.

namespace facets_accessibility {

// Installs the interface factory, once per process.
void Install();

}  // namespace facets_accessibility
