#pragma once
// The events and facts of a person's life that a record states, as a family
// tree keeps them: birth and death with their dates and places (a place
// alone too), burial in its cemetery, military service, the deed of a Medal
// of Honor, residence, occupation, the probate and the will of the wills,
// capture and imprisonment of the prisoners of war.
//
// Fields are found by their headings (the disk's, else the label table's:
// browse/record_text/whole_record.h), compared without case; which heading
// of which database gives what is the table in person_events.cpp and in
// docs/family-tree-export.md. What a field holds besides a date and a
// place stays in the event's note, each field a line "Heading: value".

#include <string>
#include <vector>

#include "browse/record_text/found_person.h"

struct PersonEvent {
    std::string tag;    // BIRT, DEAT, BURI, RESI, OCCU, PROB, WILL or EVEN
    std::string type;   // its TYPE: of an EVEN what it was ("Military Service"), else a detail
    std::string value;  // the value of the tag's own line: the occupation of OCCU
    std::string date;   // in the family-tree form (browse/export/event_fields.h)
    std::string place;  // Windows-1252
    // Windows-1252 lines of the event's note, each one line of its own.
    std::vector<std::string> note;
};

namespace person_events {

// The events of a person: birth, residences, occupation, service, the
// deed, capture, death, burial, probate and will, each where the record
// states it.
std::vector<PersonEvent> EventsOf(const FoundPerson& person);

// What the record says of the person that is no event and has no place of
// its own in a tree ("Listed as: Mrs. John Jacob Astor", "Occupation or
// description: Widow"): lines of the person's note, Windows-1252.
std::vector<std::string> NotesOf(const FoundPerson& person);

}  // namespace person_events
