#pragma once
// The citation of one person found: a full reference note, a short note for
// later references, and a source-list entry, naming the database, the data
// disk as its publisher and medium, the entry and the day it was consulted.
// The family-tree export names its sources and entries with the same parts.

#include <string>

#include "browse/export/calendar_date.h"
#include "browse/record_text/found_person.h"
#include "chronara_version.h"
#include "store/disk_label.h"

// What a citation says besides the person: where the records came from and
// when they were consulted.
struct CitationContext {
    DiskLabel disk;                          // what the data disk says of itself
    CalendarDate date;                       // the day of consultation (and of an export)
    std::string program = kChronaraVersion;  // the version of the program that read the disk
};

// Windows-1252 texts, each one line.
struct Citation {
    std::string fullNote;
    std::string shortNote;
    std::string sourceListEntry;
};

namespace citation {

// The title of a database code: its list text, or the roll's name for the
// roll of honor, which no list row shows.
std::string DatabaseTitle(int code);

// The disk as publisher: "Chronara data disk" or "Chronara data disk, version 3".
std::string Publisher(const DiskLabel& disk);

// "Given names Surname", the surname in its written case; the surname alone
// without given names.
std::string PersonName(const FoundPerson& person);

// What finds the person again: "War of 1812, surname SMITH, given names
// John, entry 1234" (the given names left out when there are none, the
// entry when it is not known).
std::string Locator(const FoundPerson& person);

Citation Of(const FoundPerson& person, const CitationContext& context);

}  // namespace citation
