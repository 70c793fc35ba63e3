"""People of the sample data disk taken from public historical datasets.

Each function returns a list of (surname, given names, fields) in the
order of the source file; fields follow the label layout of the database.
A field that the data leaves unknown is a single blank, which the viewer
leaves out of the full text together with its label.
"""

import csv
import os
import re

BLANK = " "

MONTHS = ["January", "February", "March", "April", "May", "June", "July",
          "August", "September", "October", "November", "December"]


def read_csv(data_dir, name):
    with open(os.path.join(data_dir, name), encoding="utf-8-sig", newline="") as f:
        return list(csv.DictReader(f))


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
    """6 February 1865, February 1865 or 1865; None for an unknown year."""
    if year < 1000:
        return None
    if 1 <= month <= 12:
        if 1 <= day <= 31:
            return "%d %s %d" % (day, MONTHS[month - 1], year)
        return "%s %d" % (MONTHS[month - 1], year)
    return str(year)


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
        surname, given = [part.strip() for part in row["name"].split(",", 1)]
        surname, given = split_surname(surname, given, 19)
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
        return BLANK
    return military_date(int(match.group(3)), int(match.group(1)), int(match.group(2)))


def medal_of_honor(data_dir):
    """The four rolls, each a list of people, keyed by stem."""
    rolls = {"civmoh": [], "ww1moh": [], "ww2moh": [], "vnmmoh": []}
    for row in read_csv(data_dir, "medal_of_honor.csv"):
        stem = war_of(row)
        if stem is None:
            continue
        surname, given = [tidy(part) for part in row["name"].split(",", 1)]
        rank_and_organization = ", ".join(
            tidy(row[key]) for key in ("military record.rank", "military record.company",
                                       "military record.division", "military record.organization")
            if tidy(row[key]))
        year = to_int(row["awarded.date.year"])
        place_and_date = military_date(year, to_int(row["awarded.date.month"]),
                                       to_int(row["awarded.date.day"])) if year >= 1800 else None
        order = row["awarded.General Order number"]
        born = military_date(to_int(row["birth.date.year"]), to_int(row["birth.date.month"]),
                             to_int(row["birth.date.day"]))
        fields = [
            or_blank(rank_and_organization),
            or_blank(place_and_date),
            or_blank(row["military record.entered service at"]),
            BLANK,  # no label
            or_blank(row["awarded.accredited to"]),
            or_blank("" if order == "-1" else order),
            or_blank(row["birth.location name"]),
        ]
        if stem == "civmoh":
            fields += [BLANK, issued_date(row["awarded.issued"])]  # slot 7 has no label
        else:
            fields += [or_blank(born), BLANK]  # "Born: " then a slot without label
        fields.append(or_blank(row["awarded.citation"]))
        rolls[stem].append((surname, given, fields))
    return rolls


# ---------------------------------------------------------------- generals

def generals(data_dir):
    """(Confederate generals, Union generals)."""
    categories = {row["uri"]: row for row in read_csv(data_dir, "dbpedia_people.csv")}
    battles = {row["battle"]: row for row in read_csv(data_dir, "cwsac_battles.csv")}
    commanded = {}
    for row in read_csv(data_dir, "cwsac_commanders.csv"):
        key = (row["last_name"].lower(), row["first_name"].lower())
        commanded.setdefault(key, []).append(row)

    confederate, union = [], []
    for person in read_csv(data_dir, "nps_people.csv"):
        surname = tidy(person["last_name"])
        if not surname:
            continue
        dbpedia = categories.get(person["dbpedia_uri"], {})
        union_general = dbpedia.get("Union_Army_generals") == "1"
        confederate_general = dbpedia.get("Confederate_States_Army_generals") == "1"
        if "General" not in person["rank"] and not union_general and not confederate_general:
            continue
        key = (surname.lower(), tidy(person["first_name"]).lower())
        sides = {row["belligerent"] for row in commanded.get(key, [])}
        if union_general != confederate_general:
            side = "US" if union_general else "Confederate"
        elif len(sides) == 1 and sides <= {"US", "Confederate"}:
            side = sides.pop()
        else:
            continue  # the side cannot be told

        service = []
        if tidy(person["rank"]):
            service.append(tidy(person["rank"]) + ".")
        if tidy(person["bio"]):
            service.append(tidy(person["bio"]))
        fought = []
        for row in commanded.get(key, []):
            battle = battles.get(row["battle"])
            if row["belligerent"] != side or battle is None:
                continue
            start = battle["start_date"].split("-")
            when = military_date(int(start[0]), int(start[1]), int(start[2]))
            fought.append("%s, %s (%s)" % (tidy(battle["battle_name"]), battle["state"], when))
        if fought:
            service.append("Commanded at: " + "; ".join(fought) + ".")
        given = " ".join(tidy(person[k]) for k in ("first_name", "middle_name", "suffix") if tidy(person[k]))
        fields = [BLANK, BLANK, BLANK, or_blank(" ".join(service)), BLANK]
        (union if side == "US" else confederate).append((surname, given, fields))
    return confederate, union
