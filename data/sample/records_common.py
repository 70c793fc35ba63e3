"""Helpers shared by the conversions of public records."""

import csv
import os
import re

BLANK = " "

MONTHS = ["January", "February", "March", "April", "May", "June", "July",
          "August", "September", "October", "November", "December"]


def read_csv(data_dir, name, header=True):
    """The rows of a dataset: dictionaries by column name, or lists without a header."""
    with open(os.path.join(data_dir, name), encoding="utf-8-sig", newline="") as f:
        return list(csv.DictReader(f)) if header else list(csv.reader(f))


def source_line(source, number):
    """Where a record stands in its source file: "ngl_vermont.csv, line 1,678".
    The number has its thousands comma, so that a search by years never takes
    a line of a file for a year."""
    return "%s, line %s" % (source, "{:,}".format(number))


def tidy(text):
    """One line of text: runs of white space (line ends included) become one blank."""
    return re.sub(r"\s+", " ", text or "").strip()


def or_blank(text):
    text = tidy(text)
    return text if text else BLANK


def to_int(text):
    try:
        return int(text)
    except (TypeError, ValueError):
        return -1


def military_date(year, month=-1, day=-1):
    """6 February 1865, February 1865 or 1865; "" for an unknown year."""
    if year < 1000:
        return ""
    if 1 <= month <= 12:
        if 1 <= day <= 31:
            return "%d %s %d" % (day, MONTHS[month - 1], year)
        return "%s %d" % (MONTHS[month - 1], year)
    return str(year)
