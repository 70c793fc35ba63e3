"""Graves of veterans from four extracts of the Nationwide Gravesite Locator
of the U.S. Department of Veterans Affairs (National Cemetery
Administration): Vermont and Washington DC (2015), Nebraska and burials at
foreign addresses (2017).

Only the veteran buried ("Veteran (Self)") is taken, not the spouses and
children buried with them. The foreign file has no header row and a
country column after the state.
"""

import re

from records_common import MONTHS, read_csv, source_line, tidy

FILES = ("va-ngl-2015_ngl_vermont.csv", "va-ngl-2015_ngl_washingtondc.csv", "va-nca-2017_ngl_nebraska.csv",
         "va-nca-2017_ngl_foreign_addresses.csv")
COLUMNS = ("d_first_name", "d_mid_name", "d_last_name", "d_suffix", "d_birth_date", "d_death_date", "section_id",
           "row_num", "site_num", "cem_name", "cem_addr_one", "cem_addr_two", "city", "state", "zip", "cem_url",
           "cem_phone", "relationship", "v_first_name", "v_mid_name", "v_last_name", "v_suffix", "branch", "rank",
           "war")
FOREIGN_COLUMNS = COLUMNS[:14] + ("country",) + COLUMNS[14:]
SUFFIXES = {"JR": "Jr.", "SR": "Sr.", "II": "II", "III": "III", "IV": "IV", "V": "V"}


def rows(data_dir, name):
    """(line number, row) of one extract, each row a dictionary (the foreign
    file's columns named by their order); every row is one line."""
    if "foreign" in name:
        return [(number, dict(zip(FOREIGN_COLUMNS, row)))
                for number, row in enumerate(read_csv(data_dir, name, header=False), 1) if row]
    return list(enumerate(read_csv(data_dir, name), 2))


def va_date(text):
    """"06/28/1925" as 28 June 1925, " 1925" as 1925; a text that is neither stays as written."""
    text = tidy(text)
    match = re.fullmatch(r"(\d\d)/(\d\d)/(\d{4})", text)
    if match and 1 <= int(match.group(1)) <= 12:
        return "%d %s %s" % (int(match.group(2)), MONTHS[int(match.group(1)) - 1], match.group(3))
    return text


def grave(row):
    """The cemetery and, where the extract gives them, section, row and site."""
    parts = [tidy(row["cem_name"])]
    for key, label in (("section_id", "section"), ("row_num", "row"), ("site_num", "site")):
        if tidy(row[key]):
            parts.append("%s %s" % (label, tidy(row[key])))
    return ", ".join(parts)


def address(row):
    return ", ".join(tidy(row[key]) for key in ("cem_addr_one", "cem_addr_two", "zip") if tidy(row[key]))


def names(row):
    """(surname, given names, middle initial): a middle name written out stays
    among the given names, its initial fills the middle-initial field."""
    middle = tidy(row["d_mid_name"])
    given = tidy(row["d_first_name"])
    if len(middle.rstrip(".")) > 1:
        given += " " + middle
    suffix = tidy(row["d_suffix"]).rstrip(".")
    if suffix:
        given += ", " + SUFFIXES.get(suffix.upper(), suffix)
    return tidy(row["d_last_name"]), given, middle[:1].upper()


def published_name(name):
    """The extract's file name as the department published it ("ngl_vermont.csv"),
    without the year that this folder's copy adds to it, which a search by
    years would take for the year of every grave."""
    return re.sub(r"^va-(?:ngl|nca)-\d{4}_", "", name)


def veterans(data_dir, wanted):
    """(file, line number, row) of every veteran buried whose war names one of wanted."""
    for name in FILES:
        for number, row in rows(data_dir, name):
            if row.get("relationship") != "Veteran (Self)":
                continue
            wars = [tidy(w) for w in row["war"].split(",")]
            if any(w in wanted for w in wars):
                yield name, number, row


def world_war_two_and_korea(data_dir):
    """The WWII and Korea graves, laid out as the graves-and-monuments labels expect."""
    people = []
    for name, number, row in veterans(data_dir, ("WORLD WAR II", "KOREA")):
        surname, given, initial = names(row)
        fields = [
            initial, "", tidy(row["rank"]), tidy(row["branch"]), va_date(row["d_death_date"]), grave(row),
            "", "", "",
            va_date(row["d_birth_date"]), address(row), tidy(row["city"]), tidy(row["state"]),
            tidy(row.get("country", "")), tidy(row["war"]), source_line(published_name(name), number),
        ]
        people.append((surname, given, fields))
    return people


def revolutionary_war(data_dir):
    """The Revolutionary War graves as (surname, given names, fields) in the
    Revolutionary War layout (see pension_files.FIELDS)."""
    people = []
    for _, _, row in veterans(data_dir, ("REVOLUTIONARY WAR",)):
        surname, given, initial = names(row)
        fields = [initial, "", tidy(row["branch"]), "", tidy(row["rank"]), "", "", "", "",
                  "", "", "", "",
                  va_date(row["d_birth_date"]), va_date(row["d_death_date"]), grave(row), address(row),
                  tidy(row["city"]), tidy(row["state"]), tidy(row.get("country", ""))]
        people.append((surname, given, fields))
    return people
