"""People of the sample data disk taken from the Titanic's passenger list
and the Medal of Honor rolls.

Each function returns a list of (surname, given names, fields) in the
order of the source file; the first fields follow the label layout of the
database, further fields follow them under headings of their own (see
DATABASES in make_sample.py). A field that the data leaves unknown is a
single blank, which the viewer leaves out together with its label.
"""

import re

import titanic_names
from records_common import MONTHS, military_date, or_blank, read_csv, tidy, to_int

# ---------------------------------------------------------------- titan

PORTS = {"S": "Southampton", "C": "Cherbourg", "Q": "Queenstown"}
CLASSES = {"1": "1st class", "2": "2nd class", "3": "3rd class"}


def split_surname(surname, given, longest):
    """A surname too long for the index is filed under its first part; the
    whole surname stays readable at the end of the given names."""
    if len(surname) <= longest:
        return surname, given
    first = re.split(r"[ -]", surname)[0]
    return first, "%s (surname %s)" % (given, surname)


def titanic(data_dir):
    people = []
    for row in read_csv(data_dir, "titanic3.csv"):
        name = titanic_names.parse(row["name"], row["sex"] == "female")
        surname, given = split_surname(name.surname, name.given, 19)
        age = row["age"]
        if age:
            years = float(age)
            age = "%d months" % round(years * 12) if years < 1 else ("%g" % years)
        fare = "%.2f" % float(row["fare"]) if row["fare"] else ""
        fields = [
            "3" if row["survived"] == "1" else "0",  # the survival code the viewer reads
            CLASSES.get(row["pclass"], ""),
            age,
            row["ticket"],
            fare,
            row["cabin"],
            PORTS.get(row["embarked"], ""),
            row["boat"],
            row["home.dest"],
            name.title,
            name.listed_as,
            name.maiden,
            "; ".join(name.known_as),
            row["body"],
        ]
        people.append((surname, given, [or_blank(f) for f in fields]))
    return people


# ---------------------------------------------------------------- Medal of Honor

# Places and countries that tell a campaign other than the World War of its years.
NOT_WORLD_WAR_ONE = ("haiti", "dominican", "vera cruz", "veracruz", "mexic", "nicaragua", "china")


def action_year_month(row):
    year, month = to_int(row["awarded.date.year"]), to_int(row["awarded.date.month"])
    if year >= 1800:
        return year, month, "action"
    # "-1--1-1869": a year without day and month.
    match = re.search(r"(1[89]\d\d|20\d\d)$", row["awarded.date.full"])
    if match:
        return int(match.group(1)), -1, "action"
    match = re.search(r"\b(1[89]\d\d|20\d\d)\b", row["awarded.citation"])
    if match:
        return int(match.group(1)), -1, "citation"
    issued = re.match(r"(\d\d)/(\d\d)/(\d{4})$", row["awarded.issued"])
    if issued:
        return int(issued.group(3)), -1, "issued"
    return -1, -1, None


def war_of(row):
    """The stem of the roll a recipient belongs to, or None when the war cannot be told."""
    citation = row["awarded.citation"].lower()
    if "vietnam" in citation:
        return "vnmmoh"
    year, month, source = action_year_month(row)
    if source is None:
        return None
    if source == "issued":
        # An award is issued after the deed; only windows that no other
        # campaign shares are taken.
        if 1863 <= year <= 1866:
            return "civmoh" if "indian" not in citation else None
        if 1942 <= year <= 1946:
            return "ww2moh"
        if 1965 <= year <= 1974:
            return "vnmmoh"
        return None
    if 1861 <= year <= 1865:
        return "civmoh" if "indian" not in citation else None
    if (year == 1917 and (month < 0 or month >= 4)) or year == 1918:
        return "ww1moh" if not any(word in citation for word in NOT_WORLD_WAR_ONE) else None
    if (year == 1941 and month == 12) or 1942 <= year <= 1945:
        return "ww2moh"
    if 1964 <= year <= 1973:
        return "vnmmoh"
    return None


def issued_date(text):
    match = re.match(r"(\d\d)/(\d\d)/(\d{4})$", text)
    if not match:
        return ""
    return military_date(int(match.group(3)), int(match.group(1)), int(match.group(2)))


def action_date(row):
    """The date of the deed; a day such as "1618" is the range 16-18 of the month."""
    year, month = to_int(row["awarded.date.year"]), to_int(row["awarded.date.month"])
    day = row["awarded.date.day"]
    if year < 1800:
        return ""
    match = re.fullmatch(r"([1-9]|[12]\d|3[01])([12]\d|3[01])", day) if len(day) > 2 else None
    if match and 1 <= month <= 12 and int(match.group(1)) < int(match.group(2)):
        return "%s-%s %s %d" % (match.group(1), match.group(2), MONTHS[month - 1], year)
    return military_date(year, month, to_int(day))

# The headings of the official record, as some source cells carry them into
# the cell of another field ("New York, N.Y. Date of issue: 18 April 1888").
RECORD_LABELS = {
    "Rank and organization": "rank", "Place and date": "place", "Entered service at": "entered",
    "Birth": "birth", "Born": "born", "Date of issue": "issued", "G.O. No.": "order",
    "Accredited to": "accredited", "Citation": "citation",
}
LABEL_PATTERN = re.compile(r"(?:^|(?<=\s))(%s):(?=\s|$)" % "|".join(re.escape(k) for k in RECORD_LABELS))


def split_labelled(text):
    """(text before the first heading, {field: text}, the first field) of a cell that holds headings."""
    parts = LABEL_PATTERN.split(text)
    lead, found = tidy(parts[0]), {}
    for index in range(1, len(parts) - 1, 2):
        # The full stop that ends a heading's text, not that of an abbreviation ("Wyo.").
        found.setdefault(RECORD_LABELS[parts[index]], re.sub(r"(?<=\d)\.$", "", tidy(parts[index + 1])))
    first = RECORD_LABELS[parts[1]] if len(parts) > 1 else None
    return lead, found, first


SECOND_AWARD = re.compile(r"\n\s*SECOND (?:AWARD|MEDAL)\s*:?\s*")


def recipient_name(raw):
    """(surname, given names, also known as) of the roll's "Surname, Given" form."""
    surname, given = [tidy(part) for part in raw.split(",", 1)]
    known = ""
    aka = re.search(r"\(Aka ([^)]*)\)", given)
    if aka:
        known, given = tidy(aka.group(1)), tidy(given[:aka.start()] + given[aka.end():])
    # Roman numerals written as words ("Iii") and a suffix or title put before
    # the given names ("Sabo, Jr., Leslie H.") or inside them ("Edward, Jr. L.").
    given = re.sub(r"\b(Ii|Iii|Iv)\b", lambda m: m.group(1).upper(), given)
    parts = [tidy(p) for p in given.split(",")]
    suffixes = [p for p in parts if re.fullmatch(r"(Jr\.|Sr\.|II|III|IV|Dr\.)", p)]
    words = [p for p in parts if p not in suffixes]
    joined = " ".join(words)
    for suffix in ("Jr.", "Sr."):
        if re.search(r"\b%s " % re.escape(suffix), joined):
            joined = tidy(joined.replace(suffix, ""))
            suffixes.append(suffix)
    given = ", ".join([joined] + suffixes) if joined else ", ".join(suffixes)
    given = re.sub(r"^\((.*)\)$", r"\1", given)  # "(Mad Bear)": his name in English
    return surname, given, known


def medal_record(row, stem):
    """The fields of one recipient, each taken from the cell that holds it."""
    carried = {}
    cells = {}
    for key, field in (("military record.entered service at", "entered"), ("birth.location name", "birth"),
                       ("awarded.accredited to", "accredited")):
        lead, found, _ = split_labelled(row[key])
        cells[field] = lead
        for name, text in found.items():
            carried.setdefault(name, text)
    citation_text, second = (SECOND_AWARD.split(row["awarded.citation"], 1) + [""])[:2]
    lead, found, first = split_labelled(citation_text)
    for name, text in found.items():
        if name != "citation":
            carried.setdefault(name, text)
    citation = tidy(citation_text) if not found else found.get("citation", "")
    if found and lead:
        if first == "citation":
            citation = tidy(lead + " " + citation)  # prose before "Citation:" belongs to it
        elif first in ("birth", "born"):
            carried.setdefault("entered", lead)  # the end of "Entered service at: ..."

    entered = cells["entered"] or carried.get("entered", "")
    place_and_date = action_date(row)
    # "At Chapins Farm, Va., 29 September 1864" in the entered-service cell is the place and date of the deed.
    if not place_and_date and re.match(r"At .*\d{4}$", entered):
        place_and_date, entered = entered, ""
    place_and_date = place_and_date or carried.get("place", "")
    rank_and_organization = ", ".join(
        tidy(row[key]) for key in ("military record.rank", "military record.company",
                                   "military record.division", "military record.organization")
        if tidy(row[key])) or carried.get("rank", "")
    order = row["awarded.General Order number"]
    order = carried.get("order") or ("" if order == "-1" else order)
    issued = issued_date(row["awarded.issued"]) or carried.get("issued", "")
    born = military_date(to_int(row["birth.date.year"]), to_int(row["birth.date.month"]),
                         to_int(row["birth.date.day"])) or carried.get("born", "")
    dated_birth = re.match(r"(\d{1,2} [A-Z][a-z]+ \d{4}), (.+)$", carried.get("birth", ""))
    if not born and dated_birth:  # "Birth: 13 June 1922, New Haven, Conn."
        born = dated_birth.group(1)
    accredited = cells["accredited"].rstrip(".") if "order" in carried else cells["accredited"]
    fields = [rank_and_organization, place_and_date, entered, "", accredited or carried.get("accredited", ""),
              order, cells["birth"] or carried.get("birth", "")]
    if stem == "civmoh":
        fields += ["", issued, citation, born]  # slot 7 has no label; "Born" comes after the citation
    else:
        fields += [born, "", citation, issued]  # slot 8 has no label; "Date of issue" after the citation
    return fields, tidy(second)


def page_number(row):
    match = re.search(r"/recipient-detail/(\d+)/", row["metadata.link"])
    return int(match.group(1)) if match else -1


def placed_rows(rows):
    """(stem, row) of every recipient whose war can be told.

    A date of issue alone is weak evidence (medals were issued long after
    the deed, and some cells are wrong: an Indian Wars musician issued in
    1968), so such a recipient is taken only when the society's page number,
    which runs war by war, lies among those of the recipients that the
    action dates placed in the same roll."""
    placed = [(war_of(row), row) for row in rows]
    pages = {}
    for stem, row in placed:
        if stem and action_year_month(row)[2] != "issued" and page_number(row) > 0:
            pages.setdefault(stem, []).append(page_number(row))
    for stem, row in placed:
        if stem is None:
            continue
        if action_year_month(row)[2] == "issued" and "vietnam" not in row["awarded.citation"].lower():
            numbers = pages.get(stem, [])
            if not min(numbers) <= page_number(row) <= max(numbers):
                continue
        yield stem, row


def medal_of_honor(data_dir):
    """The four rolls, each a list of people, keyed by stem."""
    rolls = {"civmoh": [], "ww1moh": [], "ww2moh": [], "vnmmoh": []}
    for stem, row in placed_rows(read_csv(data_dir, "medal_of_honor.csv")):
        surname, given, known = recipient_name(row["name"])
        fields, second = medal_record(row, stem)
        fields += [known, second, row["metadata.link"]]
        rolls[stem].append((surname, given, [or_blank(f) for f in fields]))
    return rolls
