#pragma once
// How many of the people of each surname listed a first-name filter keeps:
// what the search of each surname with that filter will find, counted from
// the entry files alone (the given names beside each entry), so that Find
// Surname's count says it before the search.

#include <cstdint>
#include <vector>

#include "browse/names/surname_listing.h"
#include "store/store_error.h"

class CDirectories;

namespace first_name_count {

// kept[i]: the people of matches[i] whose given names pass the filter of
// firstName (NUL-terminated, as searched), with name variants or not. An
// entry file that cannot be read gives its error, and kept is then empty.
StoreError Count(const CDirectories& dirs, const std::vector<ListedSurname>& matches, const char* firstName,
                 bool variants, std::vector<std::int32_t>& kept);

}  // namespace first_name_count
