#pragma once
// The whole record of a person as the viewer shows, copies and prints it:
// browse/record_text/whole_record.h's fields and provenance, converted from
// the disk's Windows-1252.

#include <utility>
#include <vector>

#include <QString>

struct FoundPerson;
struct ProvenanceEntry;

struct WholeRecordText {
    using Pairs = std::vector<std::pair<QString, QString>>;
    QString title;     // More Info's title
    Pairs fields;      // heading and text of each field that is not blank, in field order
    Pairs provenance;  // key and value, in the order shown
    // The same as lines: "Heading: value", then an empty line and the
    // provenance's "Key: value"; line feeds between them.
    QString lines;
    bool Empty() const { return fields.empty() && provenance.empty(); }
};

WholeRecordText WholeRecordTextOf(const QString& title, const FoundPerson& person,
                                  const std::vector<ProvenanceEntry>& provenance);

// The "Heading: value" lines of the fields of person that are not blank,
// joined by line feeds: a person's record in a printed list.
QString FieldLinesOf(const FoundPerson& person);

// The provenance's "Key: value" lines in the order shown, joined by line feeds.
QString ProvenanceLinesOf(const std::vector<ProvenanceEntry>& provenance);
