#!/usr/bin/env python3
"""Writes the source CSV files of the sample data disk, one <stem>.csv per
database, from the public datasets (titanic3.csv, medal_of_honor.csv,
nps_people.csv, dbpedia_people.csv, cwsac_commanders.csv, cwsac_battles.csv)
and a deterministic generator for the databases no dataset covers.

Usage: make_sample.py [--data DIR] [--out DIR]
  --data DIR   folder of the datasets (default: sources/ beside this script)
  --out DIR    where the CSV files go (default: this script's folder)

Python 3 standard library only. Running it twice gives the same bytes.
Every person is checked against what chronara-mkdisk accepts before a
file is written.
"""

import argparse
import csv
import os
import sys

import fictional_records
import real_records

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_DATA = os.path.join(HERE, "sources")

# Stem, database code, header of the field columns (names are for people; the tool goes by position).
DATABASES = {
    "congen": (1, ["born", "died", "prewar profession", "war service", "postwar career"]),
    "civmoh": (2, ["rank and organization", "place and date", "entered service at", "unused",
                   "accredited to", "g.o. number", "birth", "unused", "date of issue", "citation"]),
    "titan": (3, ["survived (3 = yes)", "class", "age", "ticket", "fare", "cabin", "port of embarkation",
                  "boat", "home or destination"]),
    "unigen": (4, ["born", "died", "prewar profession", "war service", "postwar career"]),
    "vnmmoh": (5, ["rank and organization", "place and date", "entered service at", "unused",
                   "accredited to", "g.o. number", "birth", "born", "unused", "citation"]),
    "ww1moh": (6, ["rank and organization", "place and date", "entered service at", "unused",
                   "accredited to", "g.o. number", "birth", "born", "unused", "citation"]),
    "ww2moh": (7, ["rank and organization", "place and date", "entered service at", "unused",
                   "accredited to", "g.o. number", "birth", "born", "unused", "citation"]),
    "w1812": (8, ["middle initial", "company", "unit", "initial rank", "final rank", "other information"]),
    "honorol": (9, ["middle initial"] + ["reference %d" % n for n in range(1, 15)]),
    "ww2_pow": (10, ["middle initial", "serial number", "race", "state", "service", "corps", "rank",
                     "capture", "source type", "capture area", "camp name", "city served by camp",
                     "camp region", "camp country", "detail", "pow status", "closed"]),
    "ww2_kor": (11, ["middle initial", "inducted from", "rank", "combat organization", "date of death",
                     "monument", "status", "us awards", "foreign awards"]),
    "v_mem": (12, ["middle name", "rank", "pay grade", "organization", "city", "state"]),
    "pcc": (13, ["place", "date", "calling"]),
    "rev": (14, ["middle initial", "company", "unit", "starting rank", "ending rank", "misc",
                 "microfilm", "roll", "jacket"]),
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


def shorten_citations(people, limit=4999):
    """Cuts a citation (the last field) at a word so that the record fits; returns how many were cut."""
    cut = 0
    for surname, given, fields in people:
        size = 1 + sum(len(f.encode("cp1252")) + 1 for f in fields)
        if size <= limit:
            continue
        room = len(fields[-1].encode("cp1252")) - (size - limit) - 4
        fields[-1] = fields[-1][:room].rsplit(" ", 1)[0] + " ..."
        cut += 1
    return cut


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
    people["congen"], people["unigen"] = real_records.generals(args.data)
    people["w1812"] = fictional_records.war_of_1812()
    people["honorol"] = fictional_records.roll_of_honor()
    people["ww2_pow"] = fictional_records.prisoners_of_war()
    people["ww2_kor"] = fictional_records.graves_and_monuments()
    people["v_mem"] = fictional_records.vietnam_memorial()
    people["pcc"] = fictional_records.uk_wills()
    people["rev"] = fictional_records.revolutionary_war()

    for stem in ("civmoh", "ww1moh", "ww2moh", "vnmmoh"):
        cut = shorten_citations(people[stem])
        if cut:
            print("%s: %d citation(s) shortened to fit a record" % (stem, cut))
    for stem, (code, columns) in DATABASES.items():
        check(stem, code, people[stem])
    for stem, (code, columns) in DATABASES.items():
        write_csv(os.path.join(args.out, stem + ".csv"), ["surname", "given names"] + columns, people[stem])
        print("%s.csv: %d people" % (stem, len(people[stem])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
