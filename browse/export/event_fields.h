#pragma once
// A field that states when or where something happened, read as a family
// tree writes it: the date in its form ("14 DEC 1944", "AUG 1842", "1843",
// "ABT 1840", "BEF 1 MAY 1862", "BET 1840 AND 1841") and the place.
//
// A field reads as a date, then nothing or a comma and the place
// ("1843, Germany", "March 2, 1810, Wilkes County, GA"), or as a place
// alone ("Brewer, Maine"). A date is "D Month YYYY", "Month D, YYYY",
// "Month YYYY" or "YYYY" (months by name or three letters, any case, a
// closing '.' allowed), after "abt.", "about", "c.", "ca.", "circa",
// "before", "bef.", "after" or "aft."; two dates joined by "or", "to",
// "and" or '-' are a range ("1840 or 1841", "1840-1845"). Anything else
// (a two-digit year, a broken year, a place before the date) is neither.

#include <cstddef>
#include <string>

namespace event_fields {

// The longest place taken; a longer text after a date is more than a place.
inline constexpr std::size_t kMaxPlace = 120;

struct EventField {
    std::string date;   // the family-tree form; empty when the field gives none
    std::string place;  // Windows-1252; empty when the field gives none
    // False when the field held more than the date and the place (a date
    // followed by what is not a place): the field as written then belongs
    // in the event's note.
    bool whole = true;
};

// A place alone: letters, no digits, no control characters, at most kMaxPlace.
bool IsPlace(const std::string& field);

// The date at the start of text, in the family-tree form, and where it ends
// (just past it). False when text does not start with a date.
bool ReadDate(const std::string& text, std::string& date, std::size_t& end);

// The field as a date, a place or both; false when it is neither.
bool ReadEventField(const std::string& field, EventField& event);

}  // namespace event_fields
