"""The generals of both sides of the Civil War, from four files of
acw_battle_data: the National Park Service's people (nps_people.csv), their
DBpedia categories (dbpedia_people.csv), and the commanders and battles of
the Civil War Sites Advisory Commission (cwsac_commanders.csv,
cwsac_battles.csv).

A person is taken when a source says he held a general's rank in that
side's army during the war:
  - the NPS rank is a general's rank, or
  - the NPS biography says he was made a general, or
  - DBpedia's category of that side's generals holds him ("Union Army
    generals", "Confederate States Army generals").
and his side is told by the sources without contradiction. An NPS person
counts as the DBpedia person his record points to only when the names
agree (see names_agree), because some NPS records point to a namesake: Jefferson
Davis to the Union general Jefferson C. Davis, the abolitionist John Brown
to the Confederate general John C. Brown, a settler William Sherman to
William Tecumseh Sherman. Every person stands once: NPS records of one
man, the DBpedia page they point to, and two DBpedia pages of one man
become one record.
"""

import functools
import re
import unicodedata
import urllib.parse

from records_common import BLANK, military_date, read_csv, tidy

SIDES = {"US": "Union", "Confederate": "Confederate"}
CATEGORY = {"US": "Union_Army_generals", "Confederate": "Confederate_States_Army_generals"}
# Categories that tell a side without saying the rank.
SIDE_CATEGORIES = {
    "US": ("Union_Army_generals", "Union_Army_colonels", "Union_Army_officers", "Union_Army_soldiers",
           "Union_Army_personnel"),
    "Confederate": ("Confederate_States_Army_generals", "Confederate_States_Army_officers",
                    "Confederate_States_Army_soldiers", "Confederate_States_Army_personnel"),
}
GENERAL_RANKS = ("Brigadier General", "Major General", "Lieutenant General", "General")
RANK_ORDER = {rank: index for index, rank in enumerate(GENERAL_RANKS)}
OFFICER_WORDS = ("General", "Colonel", "Major", "Captain", "Lieutenant")
PARTICLES = {"de", "De", "du", "Du", "van", "Van", "von", "Von", "la", "La", "le", "Le", "St.", "Des"}
SUFFIXES = {"Jr.", "Sr.", "II", "III", "IV"}
# A biography that says its man was made a general (not that he fought one).
MADE_GENERAL = re.compile(
    r"\b(?:promoted|promotion|appointed|commissioned|made|became|become|rose|advanced|raised|received|"
    r"nominated|named)\b[^.;]{0,60}?\b(?:a |to |as )?(?:brigadier|major|lieutenant)[- ]general", re.I)
# Letters that Windows-1252 lacks, as genealogists write them in English.
ASCII_LETTERS = {"ł": "l", "Ł": "L", "ż": "z", "Ż": "Z"}


def windows_1252(text):
    out = []
    for char in text:
        char = ASCII_LETTERS.get(char, char)
        try:
            char.encode("cp1252")
        except UnicodeEncodeError:
            char = unicodedata.normalize("NFKD", char).encode("ascii", "ignore").decode()
        out.append(char)
    return "".join(out)


@functools.lru_cache(maxsize=None)
def fold(text):
    """A name for comparing: no accents, no case, no blanks, hyphens or full stops."""
    text = unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode().lower()
    return re.sub(r"[\s.\-']", "", text)


class Name:
    """Surname, first name, middle names and suffix of one person."""

    def __init__(self, surname, first, middle, suffix=""):
        self.surname = tidy(surname)
        self.first = tidy(first)
        self.middle = tidy(middle)
        self.suffix = tidy(suffix)
        self.nickname = ""

    def given(self):
        return " ".join(part for part in (self.first, self.middle, self.suffix) if part)

    def middle_initial(self):
        return self.middle[:1].upper()


def uri_name(uri):
    """The name of a DBpedia person from his page's title."""
    title = urllib.parse.unquote(uri.rsplit("/", 1)[1]).replace("_", " ")
    title = tidy(re.sub(r"\([^)]*\)", "", title))
    suffix = ""
    if "," in title:
        title, _, suffix = (tidy(part) for part in title.partition(","))
    words = title.split()
    if not suffix and words[-1] in SUFFIXES:  # "Lucius Quintus Cincinnatus Lamar II"
        suffix = words.pop()
    if words[0] == "St." and len(words) > 2:  # "St. John Richardson Liddell"
        words[0:2] = [words[0] + " " + words[1]]
    if suffix and suffix not in SUFFIXES:  # "Camille Armand Jules Marie, Prince de Polignac"
        words += suffix.split()[-1:]
        suffix = ", " + " ".join(suffix.split()[:-1])
        return Name(words[-1], words[0], " ".join(words[1:-1]) + suffix)
    cut = len(words) - 1
    while cut > 1 and words[cut - 1] in PARTICLES and words[cut - 1] != "St.":
        cut -= 1
    return Name(" ".join(words[cut:]), words[0], " ".join(words[1:cut]), suffix)


def nps_name(row):
    """The name of an NPS record; a nickname in quotes or brackets, in the first
    or the middle name ("Lewis "Lew""), is kept beside the first name."""
    nickname = ""
    parts = []
    for key in ("first_name", "middle_name"):
        found = re.search(r"\(([^)]*)\)|\"([^\"]*)\"", row[key])
        if found:
            nickname = tidy(found.group(1) or found.group(2))
        parts.append(tidy(re.sub(r"\([^)]*\)|\"[^\"]*\"", " ", row[key])))
    first, middle = parts
    name = Name(row["last_name"], first, middle or row["middle_initial"], row["suffix"])
    name.nickname = nickname
    return name


def first_names_agree(a, b):
    """"J." agrees with "Joseph"; "Sam" does not agree with "Samuel" (a namesake is likelier)."""
    if fold(a) == fold(b):
        return True
    short, long = sorted((a, b), key=len)
    return bool(re.fullmatch(r"[A-Z]\.", short)) and long[:1] == short[:1]


def spelt_alike(a, b):
    """Equal but for at most two letters (the NPS writes "Tecumsheh")."""
    a, b = fold(a), fold(b)
    previous = list(range(len(b) + 1))
    for i, char in enumerate(a, 1):
        current = [i]
        for j, other in enumerate(b, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (char != other)))
        previous = current
    return previous[-1] <= 2 and a[:1] == b[:1]


def middles_agree(a, b):
    """Two middle names, both given: written out, they agree when spelt alike
    (Henry Hopkins Sibley is not Henry Hastings Sibley); else by initial."""
    ours, theirs = a.middle.split()[0], b.middle.split()[0]
    if re.fullmatch(r"[A-Za-z'-]{2,}", ours) and re.fullmatch(r"[A-Za-z'-]{2,}", theirs):
        return spelt_alike(ours, theirs)
    return a.middle_initial() == b.middle_initial()


def suffixes_agree(a, b):
    """Jr. and Sr. tell father from son; "Wade Hampton" is the "Wade Hampton III" of his day."""
    if fold(a.suffix) == fold(b.suffix):
        return True
    return not (a.suffix and b.suffix) and (a.suffix or b.suffix) in ("II", "III", "IV")


# NPS records and DBpedia pages that name one man in different forms: his
# nickname, his name in German, a surname spelt two ways (checked against
# the biographies by hand).
SAME_MAN = {
    ("Jackson", "Thomas"): "http://dbpedia.org/resource/Stonewall_Jackson",
    ("Salomon", "Friedrich"): "http://dbpedia.org/resource/Frederick_C._Salomon",
    ("Finegan", "Joseph"): "http://dbpedia.org/resource/Joseph_Finnegan_(Brigadier_general)",
}


def names_agree(nps, dbpedia, officer):
    """Whether an NPS record and the DBpedia page it points to name one man.

    DBpedia's titles often leave the middle name out ("Joshua Chamberlain"),
    so a middle name the NPS gives is no disagreement. A middle name that
    only DBpedia gives is the sign of a namesake (Jefferson Davis, Jefferson
    C. Davis) unless the NPS record is an officer's (a rank is given)."""
    if fold(nps.surname) != fold(dbpedia.surname) or not suffixes_agree(nps, dbpedia):
        return False
    if not any(first_names_agree(first, dbpedia.first) for first in (nps.first, nps.nickname) if first):
        return False
    if nps.middle and dbpedia.middle:
        return middles_agree(nps, dbpedia)
    return not dbpedia.middle or officer


def best_name(names):
    """The fullest spelling: a name written out beats an initial or a short form
    (Lewis, not Lew), DBpedia's spelling beats the NPS one where both write it
    out (the NPS has "Tecumsheh")."""
    def score(pair):
        name, from_dbpedia = pair
        return (len(name.first) > 2, len(name.middle) > 2, len(name.first), from_dbpedia, len(name.middle))
    return max(names, key=score)[0]


class Person:
    def __init__(self, side):
        self.side = side
        self.names = []  # (Name, from DBpedia)
        self.uri = ""
        self.ranks = []
        self.bios = []
        self.bio_sources = []
        self.sources = []
        self.commanded = []

    def name(self):
        return best_name(self.names)


def highest_rank(ranks):
    general = [rank for rank in ranks if rank in RANK_ORDER]
    return max(general, key=RANK_ORDER.get) if general else ""


class Sources:
    def __init__(self, data_dir):
        self.categories = {row["uri"]: row for row in read_csv(data_dir, "dbpedia_people.csv")}
        self.battles = {row["battle"]: row for row in read_csv(data_dir, "cwsac_battles.csv")}
        self.commanders = {}
        for row in read_csv(data_dir, "cwsac_commanders.csv"):
            self.commanders.setdefault(fold(row["last_name"]), []).append(row)
        self.nps = read_csv(data_dir, "nps_people.csv")

    def sides_of_categories(self, uri):
        row = self.categories.get(uri, {})
        return {side for side, names in SIDE_CATEGORIES.items() if any(row.get(n) == "1" for n in names)}

    def general_side(self, uri):
        row = self.categories.get(uri, {})
        sides = [side for side, name in CATEGORY.items() if row.get(name) == "1"]
        return sides[0] if len(sides) == 1 else None

    def commands_of(self, name):
        """The commander rows of the CWSAC that name this man (first name, surname, middle initial)."""
        rows = []
        for row in self.commanders.get(fold(name.surname), []):
            if row["navy"] == "1":
                continue
            if not first_names_agree(row["first_name"], name.first):
                continue
            theirs = row["middle_name"][:1].upper()
            if theirs and name.middle and theirs != name.middle_initial():
                continue
            rows.append(row)
        return rows


class Counts:
    """What the rule took and left out, for the README."""

    def __init__(self):
        self.values = {}

    def add(self, key, amount=1):
        self.values[key] = self.values.get(key, 0) + amount


def build(data_dir, counts=None):
    """(Confederate people, Union people) as Person objects, and the counts."""
    counts = counts or Counts()
    sources = Sources(data_dir)
    people = {}  # key: DBpedia URI, or ("nps", side, surname, first, middle initial)

    for uri in sources.categories:
        side = sources.general_side(uri)
        if side is None:
            continue
        person = people.setdefault(uri, Person(side))
        person.uri = uri
        person.names.append((uri_name(uri), True))
        person.sources.append("DBpedia category %s" % CATEGORY[side].replace("_", " "))
        counts.add("dbpedia " + side)

    for row in sources.nps:
        if not tidy(row["last_name"]):
            counts.add("nps without surname")
            continue
        name = nps_name(row)
        rank = tidy(row["rank"])
        officer = any(word in rank for word in OFFICER_WORDS)
        uri = row["dbpedia_uri"]
        linked = uri in sources.categories and (names_agree(name, uri_name(uri), officer) or
                                                SAME_MAN.get((name.surname, name.first)) == uri)
        if uri in sources.categories and not linked:
            counts.add("nps link refused")
        commands = sources.commands_of(name)
        sides = set()
        if linked:
            # The generals' category tells the side of his generalship; the others may
            # name service before the war (Buckner: "Union Army officers").
            sides |= {sources.general_side(uri)} - {None} or sources.sides_of_categories(uri)
        sides |= {r["belligerent"] for r in commands if r["belligerent"] in SIDES}
        made_general = bool(MADE_GENERAL.search(row["bio"]))
        dbpedia_general = linked and sources.general_side(uri) is not None
        if rank in GENERAL_RANKS and commands and not made_general and not dbpedia_general and \
                not any(r["rank"] in GENERAL_RANKS for r in commands):
            # The NPS gives John Chivington and Charles Zagonyi a general's rank; the
            # battle summaries name them colonel and major, and nothing else says general.
            counts.add("nps rank contradicted")
            continue
        if not (rank in GENERAL_RANKS or made_general or dbpedia_general):
            counts.add("nps not a general")
            continue
        if len(sides) != 1:
            counts.add("nps side contradicted" if sides else "nps side unknown")
            continue
        side = sides.pop()
        if linked and sources.general_side(uri) not in (None, side):
            counts.add("nps side contradicted")
            continue
        key = uri if linked and uri in people else ("nps", side, fold(name.surname), fold(name.first),
                                                     name.middle_initial())
        person = people.setdefault(key, Person(side))
        if person.side != side:
            counts.add("nps side contradicted")
            continue
        person.names.append((name, False))
        if rank:
            person.ranks.append(rank)
        if tidy(row["bio"]) and tidy(row["bio"]) not in person.bios:
            person.bios.append(tidy(row["bio"]))
        for source in (tidy(s) for s in row["bio_source"].split(";")):
            if source and source not in person.bio_sources:
                person.bio_sources.append(source)
        label = "National Park Service, Soldiers and Sailors Database" + (": " + rank if rank else "")
        if label not in person.sources:
            person.sources.insert(0, label)
        counts.add("nps record taken")

    merge_namesakes(people, counts)
    attach_commands(people, sources)
    confederate = sorted((p for p in people.values() if p.side == "Confederate"), key=sort_key)
    union = sorted((p for p in people.values() if p.side == "US"), key=sort_key)
    return confederate, union, counts


def sort_key(person):
    name = person.name()
    return fold(name.surname), fold(name.given())


def same_man(a, b, a_known, b_known):
    """Whether two people of one side are one man: same surname, suffix and
    first name, and middle names that agree. Where only one of them gives a
    middle name, they are one man only if one of them is an NPS record that
    no DBpedia page was linked to (two DBpedia pages, "William Smith" and
    "William Duncan Smith", are two men)."""
    if fold(a.surname) != fold(b.surname) or not suffixes_agree(a, b):
        return False
    if not first_names_agree(a.first, b.first):
        return False
    if a.middle and b.middle:
        return middles_agree(a, b)
    return not (a.middle or b.middle) or not (a_known and b_known)


def merge_namesakes(people, counts):
    """One record per man: people of one side that same_man calls one are merged,
    where the match is unique (a record that could be either of two men stays)."""
    keys = sorted(people, key=lambda k: (not isinstance(k, str), str(k)))
    buckets = {}
    for key in keys:
        buckets.setdefault((people[key].side, fold(people[key].name().surname)), []).append(key)
    for key in keys:
        if key not in people:
            continue
        person = people[key]
        name = person.name()
        bucket = buckets[(person.side, fold(name.surname))]
        matches = [k for k in bucket if k != key and k in people and
                   same_man(people[k].name(), name, isinstance(k, str), isinstance(key, str))]
        if len(matches) != 1:
            continue
        target = people[matches[0]]
        if isinstance(key, str) and isinstance(matches[0], str):
            target.uri = min(target.uri, person.uri)  # two DBpedia pages of one man
            counts.add("dbpedia pages merged")
        else:
            if isinstance(key, str):
                target.uri = person.uri
            counts.add("nps merged by name")
        target.names += person.names
        target.ranks += person.ranks
        target.bios += [b for b in person.bios if b not in target.bios]
        target.bio_sources += [s for s in person.bio_sources if s not in target.bio_sources]
        target.sources += [s for s in person.sources if s not in target.sources]
        del people[key]


def attach_commands(people, sources):
    """The battles each man commanded, where the CWSAC's name points to him alone."""
    claims = {}
    for key, person in people.items():
        for row in sources.commands_of(person.name()):
            if row["belligerent"] == person.side:
                claims.setdefault(id(row), []).append((person, row))
    for pairs in claims.values():
        if len(pairs) == 1:
            person, row = pairs[0]
            person.commanded.append(row)


def fields_of(person, sources):
    name = person.name()
    rank = highest_rank(person.ranks + [row["rank"] for row in person.commanded])
    service = []
    if rank:
        service.append(rank + ".")
    service += person.bios
    if not person.bios:
        service.append("%s general (%s)." % (SIDES[person.side], "; ".join(person.sources)))
    fought = []
    for row in person.commanded:
        battle = sources.battles.get(row["battle"])
        if battle is None:
            continue
        start = [int(part) for part in battle["start_date"].split("-")]
        fought.append("%s, %s (%s)" % (tidy(battle["battle_name"]), battle["state"], military_date(*start)))
    if fought:
        service.append("Commanded at: " + "; ".join(fought) + ".")
    commissions = sorted({row["rank"] for row in person.commanded if row["rank"]})
    source_text = "; ".join(person.sources + (
        ["Civil War Sites Advisory Commission: commanded as " + ", ".join(commissions)] if commissions else []))
    return windows_1252(name.surname), windows_1252(name.given()), [
        BLANK, BLANK, BLANK, windows_1252(" ".join(service)), BLANK,
        rank or BLANK, windows_1252(source_text), "; ".join(person.bio_sources) or BLANK,
        person.uri or BLANK]


def generals(data_dir, counts=None):
    """(Confederate generals, Union generals) as (surname, given names, fields)."""
    confederate, union, counts = build(data_dir, counts)
    sources = Sources(data_dir)
    return [fields_of(p, sources) for p in confederate], [fields_of(p, sources) for p in union]
