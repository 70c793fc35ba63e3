#pragma once
// The births and deaths a record states plainly enough to become events of
// a family tree. Only a date that reads as a whole day or a year becomes
// one; a month alone, a range, "abt.", a two-digit year or a place alone
// stay in the record's text, as does every date that is not of a birth or a
// death (a date of action, of issue, of capture, of a will).
//
// Which fields of which database are read:
// - Confederate and Union Generals: "Born" (birth) and "Died" (death), each
//   a date with the place after it where the field gives one.
// - Civil War Medal of Honor: "Birth", a date with the place after it
//   ("1843, Germany"); most hold a place alone and give no event.
// - Vietnam, WWI and WWII Medal of Honor: "Born" holds the date of birth and
//   "Birth" the place ("Birth: Newnan, Ga.", "Born: 14 March 1923"); where
//   "Birth" holds the date itself ("June 15, 1922, Miami, AZ"), that.
// - WWII and Korea graves: "Date of Death", when the status says the person
//   was killed or died; a date of the missing in action is no date of death.
// - No other database states a birth or a death with a date.

#include <string>
#include <vector>

#include "browse/record_text/found_person.h"

struct PersonEvent {
    const char* tag;    // "BIRT" or "DEAT"
    std::string date;   // in the family-tree form: "14 DEC 1944", "1843"
    std::string place;  // Windows-1252; empty when the record gives none
};

namespace person_events {

// The longest place taken; a longer text after a date is more than a place.
inline constexpr std::size_t kMaxPlace = 120;

// A field that begins with a date: "14 December 1944", "December 14, 1944"
// or "1944" (months by name or three letters, any case), then nothing or a
// comma and the place (letters, no digits). True with date and place set.
bool ReadDatedField(const std::string& field, std::string& date, std::string& place);

// A field that is a place alone: letters, no digits, at most kMaxPlace.
bool IsPlace(const std::string& field);

// The events of a person, births first.
std::vector<PersonEvent> EventsOf(const FoundPerson& person);

}  // namespace person_events
