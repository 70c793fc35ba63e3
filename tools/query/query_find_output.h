#pragma once
// The forms in which chronara-query --find prints what it found: every
// format is written here, so that a new one joins in one place.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "browse/record_search/record_search.h"
#include "tools/query/query_find_options.h"

namespace query_tool {

// The answer to one query.
struct FindAnswer {
    std::string query;              // the text as given (Windows-1252)
    std::int64_t total = 0;         // the people found
    std::int64_t listed = 0;        // the first --limit of them, all without it
    std::vector<RecordHit> people;  // the people listed, for the formats that show them
    // The headings of the fields of each database searched, as the disk gives them.
    std::map<int, FieldHeadings> headings;
};

// The text of answers in format (all but gedcom); batch: the answers of --find-batch (each
// line, object or row says its query). raw: Windows-1252 as on the disk
// instead of UTF-8 (text, tsv and count only).
std::string FormatAnswers(FindFormat format, const std::vector<FindAnswer>& answers, bool batch, bool raw);

// The text of the facet counts of kind in format (text and tsv: one line a
// database, year or value, its members separated by tabs; json: an array
// of objects), at most limit lines (-1: all). raw: as for FormatAnswers.
std::string FormatFacets(FacetKind kind, FindFormat format, const facets::FacetCounts& counts, long limit,
                         bool raw);

// Whether format needs the people themselves, not their number alone.
inline bool ListsPeople(FindFormat format) { return format != FindFormat::Count; }

}  // namespace query_tool
