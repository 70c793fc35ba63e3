#pragma once
// The citation of one person found: a full reference note, a short note for
// later references, and a source-list entry, naming the record set, its
// publisher and medium, the entry and the day it was consulted. The record
// set is named as the data disk's provenance of its database names it
// (Title, Publisher, Source: store/database_about.h) where the disk has
// one, and by the database's title with the disk as publisher otherwise.
// The family-tree export names its sources and entries with the same parts.

#include <map>
#include <string>
#include <vector>

#include "browse/export/calendar_date.h"
#include "browse/record_text/found_person.h"
#include "chronara_version.h"
#include "store/database_about.h"
#include "store/disk_label.h"

// What a citation says besides the person: where the records came from and
// when they were consulted.
struct CitationContext {
    DiskLabel disk;                          // what the data disk says of itself
    CalendarDate date;                       // the day of consultation (and of an export)
    std::string program = kChronaraVersion;  // the version of the program that read the disk
    // Where the records of each database came from, by code; a database
    // not in it, or with none, is named by the disk.
    std::map<int, std::vector<ProvenanceEntry>> provenance;
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
