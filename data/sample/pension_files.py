"""Revolutionary War pension and bounty-land warrant application files
(National Archives microfilm publication M804) from the catalogue titles
of a sample of 872 pages.

Only the catalogue's own columns are read: `title`, `NAID` and `naraURL`.
The sample's other columns were made by a language model and rules (an
extracted pension amount, an applicant type, a place) and are not records.
A title reads "Revolutionary War Pension and Bounty Land Warrant
Application File W. 6545, Reuben W Wilder, Mass.": the file (S a
survivor's, W a widow's, R a rejected claim), the soldier and the state
he served for. Pages of one file share its NAID: the file is one person.
"""

import re

from records_common import read_csv, tidy

FILE = "nara_m804_revwar_pension_titles_sample.csv"
TITLE_START = "Revolutionary War Pension and Bounty Land Warrant Application File"
KINDS = {"S": "Survivor's file", "W": "Widow's file", "R": "Rejected claim"}
UNREADABLE = re.compile(r"\[(?:blank|illegible)\]", re.I)


def parse_title(title):
    """(file, kind, name, state) of one catalogue title; parts it lacks are ""."""
    rest = tidy(title)
    if rest.startswith(TITLE_START):
        rest = rest[len(TITLE_START):].strip()
    parts = [tidy(p) for p in rest.split(", ")]
    designation = parts.pop(0) if parts else ""
    # A few titles have a comma inside the file number ("File S, 8088, Oliver
    # Brown"): the letter alone and a number next are one file number.
    if re.fullmatch(r"[SWR]\.?", designation) and parts and re.fullmatch(r"[\d.]+", parts[0]):
        designation += ", " + parts.pop(0)
    name = re.sub(r"^for\s+", "", parts.pop(0)) if parts else ""
    state = ", ".join(parts)
    kind = KINDS.get(designation[:1], "") if re.match(r"[SWR][.,]?\s?\d", designation) else ""
    if re.match(r"(?:O\. W\.|Old War) Ind", designation):
        kind = "Old War invalid file"
    unreadable = lambda text: "" if UNREADABLE.fullmatch(text) else text
    return unreadable(designation), kind, name, unreadable(state)


def split_name(name):
    """(surname, given names, middle initial) of "Reuben W Wilder"; an unreadable
    given name ("[ILLEGIBLE] Haywood") is left blank."""
    words = [w for w in name.split() if not UNREADABLE.fullmatch(w)]
    suffix = ""
    if len(words) > 1 and words[-1].rstrip(".") in ("Jr", "Sr"):
        suffix = words.pop().rstrip(".") + "."
    if not words:
        return "", "", ""
    surname, given = words[-1], words[:-1]
    initial = ""
    if given and re.fullmatch(r"[A-Z]\.?", given[-1]) and len(given) > 1:
        initial = given.pop()[0]
    given_names = " ".join(given) + (", " + suffix if suffix else "")
    return surname, given_names, initial


def pension_files(data_dir):
    """One person per file, in the order of the sample, laid out for the Revolutionary War labels."""
    people, seen = [], set()
    for row in read_csv(data_dir, FILE):
        if row["NAID"] in seen:
            continue
        seen.add(row["NAID"])
        designation, kind, name, state = parse_title(row["title"])
        surname, given, initial = split_name(name)
        if not surname:
            continue
        fields = [initial, "", "", "", "", "", "M804", "NAID " + tidy(row["NAID"]), tidy(row["naraURL"]),
                  designation, kind, state, tidy(row["title"]),
                  "", "", "", "", "", "", ""]
        people.append((surname, given, fields))
    return people
