#!/usr/bin/env python3
"""Writes the source CSV files of the sample data disk, one <stem>.csv per
database, from the public datasets in sources/ (see sources/SOURCES.md)
and a deterministic generator for the four databases that no dataset
covers.

Usage: make_sample.py [--data DIR] [--out DIR]
  --data DIR   folder of the datasets (default: sources/ beside this script)
  --out DIR    where the CSV files go (default: this script's folder)

Python 3 standard library only. Running it twice gives the same bytes.
Every person is checked against what chronara-mkdisk accepts before a
file is written. The header row of each file names the fields as a reader
sees them (chronara-mkdisk keeps them as the field headings); an empty
heading stands over a field the database never fills.
"""

import argparse
import csv
import os
import sys

import fictional_records
import generals
import pension_files
import probate
import real_records
import va_graves
from records_common import BLANK

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_DATA = os.path.join(HERE, "sources")

GENERALS = ["Born", "Died", "Prewar profession", "War service", "Postwar career", "Rank", "Sources",
            "Biography by", "DBpedia page"]
MEDAL_EXTRAS = ["Also known as", "Second award", "Society's page"]
MEDAL = ["Rank and organization", "Place and date", "Entered service at", "", "Accredited to", "G.O. number",
         "Birth", "Born", "", "Citation", "Date of issue"] + MEDAL_EXTRAS

# Stem: database code and the headings of the field columns (columns 3 on).
DATABASES = {
    "congen": (1, GENERALS),
    "civmoh": (2, ["Rank and organization", "Place and date", "Entered service at", "", "Accredited to",
                   "G.O. number", "Birth", "", "Date of issue", "Citation", "Born"] + MEDAL_EXTRAS),
    "titan": (3, ["Survived", "Class", "Age", "Ticket", "Fare", "Cabin", "Port of embarkation", "Lifeboat",
                  "Home or destination", "Title", "Listed as", "Maiden name", "Known as", "Body number"]),
    "unigen": (4, GENERALS),
    "vnmmoh": (5, MEDAL),
    "ww1moh": (6, MEDAL),
    "ww2moh": (7, MEDAL),
    "w1812": (8, ["Middle initial", "Company", "Unit", "Initial rank", "Final rank", "Other information"]),
    "honorol": (9, ["Middle initial"] + ["Reference %d" % n for n in range(1, 15)]),
    "ww2_pow": (10, ["Middle initial", "Serial number", "Race", "State", "Service", "Corps", "Rank", "Capture",
                     "Source type", "Capture area", "Camp name", "City served by camp", "Camp region",
                     "Camp country", "Detail", "POW status", "Closed"]),
    "ww2_kor": (11, ["Middle initial", "Inducted from", "Rank", "Combat organization", "Date of death",
                     "Monument", "Status", "US awards", "Foreign awards", "Date of birth", "Cemetery address",
                     "City", "State", "Country", "War", "Source line"]),
    "v_mem": (12, ["Middle name", "Rank", "Pay grade", "Organization", "City", "State"]),
    "pcc": (13, ["Place", "Date", "Will or administration", "Date of death", "Place of death",
                 "Occupation or description", "Registry", "Executors or administrators", "Relationship",
                 "Effects", "Former abode", "Title", "Entry as printed", "Source line"]),
    "rev": (14, ["Middle initial", "Company", "Unit", "Starting rank", "Ending rank", "Misc",
                 "Microfilm reference", "Catalogue number", "Catalogue address", "Pension file", "Kind of file",
                 "State", "Catalogue title", "Date of birth", "Date of death", "Cemetery", "Cemetery address",
                 "City", "State or province", "Country"]),
}


def key_length(code, surname):
    """Length of the index key a search forms: padded to 17 or 22 when the rule says so."""
    long_keys = code == 2 or code >= 7
    length = len(surname)
    if length <= 16 or (length <= 21 and code > 8):
        return max(length, 22 if long_keys else 17)
    return length


def check(stem, code, people):
    """Refuses what the data-disk builder would refuse, naming the person."""
    longest_key = 23 if (code == 2 or code >= 7) else 19
    for surname, given, fields in people:
        who = "%s: %s, %s" % (stem, surname, given)
        if not surname or key_length(code, surname.encode("cp1252")) > longest_key:
            raise ValueError(who + ": surname does not fit the index key")
        if len(given.encode("cp1252")) > 254:
            raise ValueError(who + ": given names over 254 bytes")
        size = 1
        for field in fields:
            data = field.encode("cp1252")  # raises for a character without a Windows-1252 form
            if b"\n" in data or b"\xff" in data or b"\0" in data:
                raise ValueError(who + ": a field holds a line feed, 0xFF or NUL")
            size += len(data) + 1
        if size > 4999:
            raise ValueError(who + ": record of %d bytes" % size)


def shorten_citations(people, index=9, limit=4999):
    """Cuts a citation (field index) at a word so that the record fits; returns how many were cut."""
    cut = 0
    for surname, given, fields in people:
        size = 1 + sum(len(f.encode("cp1252")) + 1 for f in fields)
        if size <= limit:
            continue
        room = len(fields[index].encode("cp1252")) - (size - limit) - 4
        fields[index] = fields[index][:room].rsplit(" ", 1)[0] + " ..."
        cut += 1
    return cut


def probate_people(data_dir):
    entries, unread = probate.read_all(data_dir)
    people = []
    for e in entries:
        people.append((e.surname, e.forenames, [
            e.place, e.date, e.kind, e.died, e.died_at, e.occupation, e.registry, e.executors, e.relationship,
            e.effects, e.former_abode, e.title, e.text, e.source]))
    return people, unread


def write_csv(path, header, people):
    with open(path, "w", encoding="utf-8", newline="") as f:
        writer = csv.writer(f, lineterminator="\n")
        writer.writerow(header)
        for surname, given, fields in people:
            writer.writerow([surname, given] + list(fields))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--data", default=DEFAULT_DATA)
    parser.add_argument("--out", default=HERE)
    args = parser.parse_args()

    people = {"titan": real_records.titanic(args.data)}
    people.update(real_records.medal_of_honor(args.data))
    people["congen"], people["unigen"] = generals.generals(args.data)
    people["w1812"] = fictional_records.war_of_1812()
    people["honorol"] = fictional_records.roll_of_honor()
    people["ww2_pow"] = fictional_records.prisoners_of_war()
    people["ww2_kor"] = va_graves.world_war_two_and_korea(args.data)
    people["v_mem"] = fictional_records.vietnam_memorial()
    people["pcc"], unread = probate_people(args.data)
    people["rev"] = pension_files.pension_files(args.data) + va_graves.revolutionary_war(args.data)

    for stem in people:
        # An unknown field is a single blank; other fields stay as made (the roll
        # of honor's references are padded with blanks on purpose).
        people[stem] = [(s, g, [f if f.strip() else BLANK for f in fields]) for s, g, fields in people[stem]]
    for stem in ("civmoh", "ww1moh", "ww2moh", "vnmmoh"):
        cut = shorten_citations(people[stem])
        if cut:
            print("%s: %d citation(s) shortened to fit a record" % (stem, cut))
    for stem, (code, headings) in DATABASES.items():
        widest = max(len(fields) for _, _, fields in people[stem])
        if widest > len(headings):
            raise ValueError("%s: %d fields but %d headings" % (stem, widest, len(headings)))
        check(stem, code, people[stem])
    for stem, (code, headings) in DATABASES.items():
        write_csv(os.path.join(args.out, stem + ".csv"), ["Surname", "Given names"] + headings, people[stem])
        print("%s.csv: %d people" % (stem, len(people[stem])))
    print("pcc: %d calendar entries left out, their name unread" % len(unread))
    return 0


if __name__ == "__main__":
    sys.exit(main())
