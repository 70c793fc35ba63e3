#pragma once
// Surname listings: the surnames of one database, or of every database of
// the list, that match typed texts (by prefix, pattern, sound, close
// spelling or exactly), with the number of people of each. Read from the surname indexes alone;
// nothing on the disk is needed beyond them.
//
// The viewer's Find Surname dialog and chronara-query --list both call
// this; the forms the matches are printed in belong to them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "browse/names/surname_match.h"
#include "store/data_disk.h"
#include "store/store_error.h"

class CDirectories;

struct ListedSurname {
    int code = 0;
    std::string surname;  // as the index holds it, without its padding blanks (Windows-1252)
    std::int32_t count = 0;
    std::int32_t first = -1;
    // Close spelling: the edit distance from the typed text; 0 in the other modes.
    int distance = 0;
};

struct ListingOutcome {
    // Per query: the matches, databases in the order given, surnames in key
    // order. Close spellings come by distance, then by people, most first,
    // and only then in that order.
    std::vector<std::vector<ListedSurname>> matches;
    // The databases passed over because their index is not on the disk.
    std::vector<int> skipped;
    // The data disk is not there (and the prompt, if any, was cancelled).
    bool cancelled = false;
    // What stopped the listing, and its message (see search_messages.h);
    // showing it is the caller's choice.
    StoreError error;
    std::vector<std::string> messages;
    // What the last message leaves out: the folder and why (see DetailsOf).
    std::string details;
};

namespace surname_listing {

// How a listing behaves where the disk or a file fails.
struct ListingOptions {
    // A database whose index is not there is passed over (and named in
    // skipped); otherwise that is an error like any other.
    bool skipMissing = false;
    // Asks for the data disk as a search does. Without one (a list that
    // follows the user's typing) an absent disk gives cancelled at once.
    DiskPrompt prompt;
};

// Checks for the data disk, then walks the index of each database of codes
// once and matches every key against every query.
ListingOutcome List(const CDirectories& dirs, const std::vector<int>& codes,
                    const std::vector<CSurnameMatcher>& queries, const ListingOptions& options);

// The close spellings of a surname in one database, closest and commonest
// first: what a search that found nobody offers in its place. The typed
// surname's own letters come first when another spelling of them is there
// (MÜLLER for MULLER).
ListingOutcome CloseSpellings(const CDirectories& dirs, int code, std::string_view surname,
                              const ListingOptions& options);

}  // namespace surname_listing
