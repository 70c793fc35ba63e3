#!/usr/bin/env python3
"""Entries of the Calendar of the Grants of Probate and Letters of
Administration for England and Wales, 1873, read from the OCR text of
Free UK Genealogy's ProbateParsing project (one entry a line).

An entry reads, when the OCR kept it in order:

  DODDS George. Effects under £800. 20 March. The Will of George Dodds late
  of the Parish of Goodnestone next Wingham in the County of Kent Land
  Steward who died 28 December 1872 at Goodnestone was proved at Canterbury
  by John Bridges Plumptre of Goodnestone Esquire ... the Executors.

The printed page had the name and the effects in a margin beside the text,
and the OCR often set them down in the middle of a sentence; so the
margin's parts are found and taken out first, then the sentence is read.
Only mends that a rule can make safely are made: the ligatures the OCR
wrote (fi, fl), "Effects" spelt with a stray mark, a word broken at a
line end that the entry writes whole elsewhere, and a surname whose
printed capitals the OCR misread where the entry's own text spells it
(the calendar of these files runs from A to F, so a headword beginning
with another letter is a misreading; "OOPER" for COOPER). The entry's
whole text is kept as a field, so nothing the OCR read is lost.

Run as a script, it prints the counts: entries, parsed (every field read),
partly parsed (the name read, some field not), unread (no name: left out);
with --unread, the unread entries with their file and line.
"""

import os
import re
import sys

from records_common import source_line

FILES = ("freeukgen_probate-calendar-1873_test.txt", "freeukgen_probate-calendar-1873_train.txt")
MONTHS = ("January", "February", "March", "April", "May", "June", "July", "August", "September",
          "October", "November", "December")
MONTH = "(?:%s)" % "|".join(MONTHS)
LIGATURES = {"\ufb01": "fi", "\ufb02": "fl", "\ufb00": "ff", "\ufb03": "ffi", "\ufb04": "ffl"}
# The registries that granted probate in 1873: the Principal Registry and the district registries.
REGISTRIES = (
    "Principal Registry", "Bangor", "Barnstaple", "Bedford", "Birmingham", "Blandford", "Bodmin", "Bristol",
    "Bury St. Edmunds", "Canterbury", "Carlisle", "Carmarthen", "Chester", "Chichester", "Derby", "Durham",
    "Exeter", "Gloucester", "Hereford", "Ipswich", "Lancaster", "Leicester", "Lewes", "Lichfield", "Lincoln",
    "Liverpool", "Llandaff", "Manchester", "Newcastle-upon-Tyne", "Northampton", "Norwich", "Nottingham",
    "Oxford", "Peterborough", "St. Asaph", "Salisbury", "Shrewsbury", "Taunton", "Wakefield", "Winchester",
    "Worcester", "York")
# What the executors or administrators were to the dead, as the calendar says it.
RELATIONS = (
    "Widow the Relict", "Relict", "Husband", "Sons", "Son", "Daughters", "Daughter", "Brothers", "Brother",
    "Sisters", "Sister", "Nephews", "Nephew", "Nieces", "Niece", "Father", "Mother", "Grandsons", "Grandson",
    "Granddaughters", "Granddaughter", "Cousins", "Cousin", "Uncle", "Aunt", "Son-in-law", "Sons-in-law",
    "Daughter-in-law", "Brother-in-law", "Brothers-in-law", "Sister-in-law", "Sisters-in-law",
    "Natural and Lawful Son", "Natural and Lawful Daughter", "Lawful Son", "Lawful Daughter",
    "Residuary Legatee", "Residuary Legatees", "Universal Legatee", "Next of Kin", "Attorney", "Creditor",
    "Guardian", "Step-son", "Step-daughter", "Stepson", "Stepdaughter", "Partner")
TITLES = ("the Reverend", "The Reverend", "the Honourable", "The Honourable", "Sir", "Dame", "Lady", "Dr.")
# The counties of England and Wales as the calendar names them, and the
# places outside them that end an abode.
COUNTIES = (
    "Bedford", "Berks", "Buckingham", "Cambridge", "Chester", "Cornwall", "Cumberland", "Derby", "Devon",
    "Dorset", "Durham", "Essex", "Gloucester", "Hereford", "Hertford", "Huntingdon", "Kent", "Lancaster",
    "Leicester", "Lincoln", "Middlesex", "Monmouth", "Norfolk", "Northampton", "Northumberland", "Nottingham",
    "Oxford", "Rutland", "Salop", "Somerset", "Southampton", "Stafford", "Suffolk", "Surrey", "Sussex",
    "Warwick", "Westmorland", "Wilts", "Worcester", "York", "Anglesey", "Brecon", "Cardigan", "Carmarthen",
    "Carnarvon", "Denbigh", "Flint", "Glamorgan", "Merioneth", "Montgomery", "Pembroke", "Radnor")
ABROAD = ("North Britain", "Scotland", "Ireland", "Wales", "the Isle of Man", "the Isle of Wight", "France",
          "America", "the United States of America", "the East Indies", "the West Indies", "India", "Australia",
          "Canada", "Jersey", "Guernsey")
PLACE_END = re.compile(
    r"(?:(?:in|of)\s+|^)the\s+(?:said\s+)?(?:County|City|Borough|Town|Parish|Township|Liberty|Hundred|Isle|Colony|"
    r"Island|Principality)(?:\s+of\s+(?:the\s+(?:City|Town|County)\s+of\s+)?(?:%s|[A-Z][\w'\u2014-]+)\b)?"
    r"|\bin\s+(?:%s)\b" % ("|".join(COUNTIES), "|".join(ABROAD)))
# Words of the calendar that the OCR breaks at a line end ("Prin- cipal").
CALENDAR_WORDS = ("Principal", "Registry", "Executor", "Executors", "Executrix", "Executrices", "Administration",
                  "Administrator", "Administratrix", "Gentleman", "Esquire", "Spinster", "Widow", "Bachelor",
                  "Widower", "Labourer", "Yeoman", "Farmer", "Limitations", "Residuary", "Legatee", "Manchester",
                  "Newcastle-upon-Tyne", "Liverpool", "Birmingham", "Wakefield", "Peterborough", "Canterbury",
                  "Northampton", "Nottingham", "Chichester", "Lancaster", "Shrewsbury", "Worcester", "Gloucester") + \
    COUNTIES


def safe_mends(text):
    """The OCR text with the mends no reader would dispute."""
    # The ff ligature read as fi or fl and a quote: "Eﬁ'ects", "Staﬁ'ord", "Suﬂ‘olk".
    text = re.sub("[\ufb01\ufb02]['\u2018\u2019]", "ff", text)
    for ligature, letters in LIGATURES.items():
        text = text.replace(ligature, letters)
    text = re.sub(r"\s+", " ", text).strip()
    # "Eﬁ'ects", "Eﬂ‘ects", "Eifects", "Efi'eots": Effects with a stray mark.
    text = re.sub(r"\bE[fil1t'\u2018\u2019\"]{1,4}e[co]ts\b", "Effects", text)

    def join(match):
        whole = match.group(1) + match.group(2)
        if whole in CALENDAR_WORDS or re.search(r"\b%s\b" % re.escape(whole), text, re.I):
            return whole
        return match.group(0)
    # "Chap- man" is Chapman where the entry writes Chapman; "Berkeley- place" stays.
    return re.sub(r"\b([A-Za-z]+)- ([a-z]+)\b", join, text)


def fold(text):
    return re.sub(r"[^a-z]", "", text.lower())


def spelt_alike(a, b, most=2):
    a, b = fold(a), fold(b)
    previous = list(range(len(b) + 1))
    for i, char in enumerate(a, 1):
        current = [i]
        for j, other in enumerate(b, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (char != other)))
        previous = current
    return previous[-1] <= most


class Entry:
    FIELDS = ("place", "date", "occupation", "kind", "died", "died_at", "registry", "executors",
              "relationship", "effects", "former_abode", "title")

    def __init__(self, text):
        self.text = text
        self.surname = ""
        self.forenames = ""
        self.mended_surname = ""  # the headword as the OCR read it, where the surname was mended
        self.work = ""  # the text being read, the margin taken out
        self.source = ""  # file and line
        for field in self.FIELDS:
            setattr(self, field, "")

    def read_fields(self):
        return [f for f in ("kind", "date", "place", "died", "registry", "executors") if getattr(self, f)]


HEADWORD = re.compile(r"(?<![A-Za-z])((?:[A-Z] )?[A-Za-z][A-Z'\u2019]*[A-Z](?:[ -][A-Z][A-Z'\u2019]+)*)-?\s+"
                      r"([A-Z][a-z][\w'\u2019]*(?:\s+[A-Z][\w'\u2019]*\.?)*?)\s*(?:Esq\.)?\s*"
                      r"(?:[.,;:'\u2018\u2019]|(?=\s+(?:\d|Effects|The\s|Administration)))")
BODY_NAME = re.compile(
    r"(?:The Will|Administration)(?P<rest>[^.]*?)\bof\s*:?\s+(?:the\s+(?:Personal\s+)?(?:Estate\s+and\s+)?"
    r"[Ee]ffects\s+of\s+)?(?P<name>(?:(?:the\s+)?[A-Z][\w'\u2019.-]*\s+){1,6}?)(?:\((?:Wife|Widow|here|other)"
    r"[^)]*\)\s+)?(?:\.\s+)?(?:formerly|late|heretofore|of)\b")


def parse(line):
    """The Entry of one line of the calendar."""
    entry = Entry(safe_mends(line))
    # For reading (not for the text kept): marks standing alone between words carry no text.
    work = re.sub(r"(?<=\s)[^\w\s\u00a3&(]{1,3}(?=\s)", " ", entry.text)

    # The margin: effects (and a resworn value), then the date of the grant.
    effects = re.search(r"Effects\s+((?:under|not exceeding)\s+\S+(?:\s+in England)?)\.?", work)
    if effects:
        entry.effects = effects.group(1).rstrip(".")
        work = work[:effects.start()] + " " + work[effects.end():]
    resworn = re.search(r"Re-?sworn\s+([^.]*?under\s+\S+?)\.?(?=\s|$)", work)
    if resworn:
        entry.effects = "; ".join(filter(None, (entry.effects, "resworn " + resworn.group(1).rstrip("."))))
        work = work[:resworn.start()] + " " + work[resworn.end():]

    body = BODY_NAME.search(work)
    body_names = []
    if body:
        words = body.group("name").split()
        while words and words[0].lower() in ("the",):
            words.pop(0)
        for title in TITLES:
            parts = title.split()
            if [w.lower() for w in words[:len(parts)]] == [p.lower() for p in parts]:
                entry.title = " ".join(parts[-1:]) if parts[0].lower() == "the" else title
                words = words[len(parts):]
        body_names = [w.rstrip(".") if not re.fullmatch(r"[A-Z]\.", w) else w for w in words
                      if not w.endswith("-")]

    headword = find_headword(work, body_names)
    if len(body_names) >= 2:
        entry.surname, entry.forenames = body_names[-1], " ".join(body_names[:-1])
    if headword:
        caps, forenames = headword.group(1), headword.group(2).rstrip(".")
        if not entry.surname:
            entry.surname, entry.forenames = caps.title(), forenames
        elif fold(caps) == fold(entry.surname):
            if junk(forenames) < junk(entry.forenames):
                entry.forenames = forenames
        elif misread(caps) and mendable(caps, entry.surname):
            entry.mended_surname = caps  # the text's spelling mends the printed capitals
        else:
            # The printed headword files the entry (its letters are the index's own).
            entry.surname, entry.forenames = caps.title(), forenames
        work = work[:headword.start()] + " " + work[headword.end():]
    entry.surname = tidy_surname(entry.surname)
    entry.forenames = re.sub(r"^[^A-Za-z]+|[^A-Za-z.]+$", "", entry.forenames)

    grant = re.search(r"(?<![\d£])\b([0-3]?\d)\s+(%s)\s*[.,:](?!\s*\d{4})" % MONTH, work)
    if grant:
        entry.date = "%s %s 1873" % (int(grant.group(1)), grant.group(2))
        work = work[:grant.start()] + " " + work[grant.end():]
    work = re.sub(r"\s+", " ", work)

    kind = re.search(r"(The Will(?:\s+(?:with|and)\s+[^.]*?Codicils?)?|Administration(?:\s*\([^)]*\))?)", work)
    if kind:
        entry.kind = re.sub(r"^The ", "", kind.group(1))
    read_abode(entry, work)
    entry.work = work
    died = re.search(r"who died\s+([0-3]?\d\s+%s\s+\d{4})(?:\s+at\s+(.+?))?\s+(?:was|were)\s+"
                     r"(?:proved|granted)" % MONTH, work)
    if died:
        entry.died = died.group(1)
        entry.died_at = (died.group(2) or "").strip(" ,")
    granted = re.search(r"(?:was|were)\s+(proved|granted)\s+at\s+(?:the\s+)?(.+?)\s+(by|to|under|unto)\s+(.*)$",
                        work)
    if granted:
        entry.registry = registry_of(granted.group(2))
        rest = granted.group(4)
        if granted.group(3) == "under":  # "under certain Limitations to John Fox Turner ..."
            rest = re.sub(r"^.*?\bto\s+", "", rest)
        entry.executors = rest.strip(" .'\"")
        entry.relationship = ", ".join(grantees_relations(rest))
    return entry


RELATION = re.compile(r"\bthe\s+(%s)\b" % "|".join(re.escape(r) for r in RELATIONS))
# Where the grant names another person through whom the grantee took it
# ("the Executor of the Will of George Crebbin", "for the Use and Benefit of
# Sarah Wingrave"): the relationship that follows that name is that person's.
# "the said" names the dead, who is no other person.
THROUGH_ANOTHER = re.compile(r"\b(?:Will|[Ee]ffects|Estate|Administration|Benefit|Attorneys?)\s+of\s+(?!the\s+said\b)")
# The words of a grantee's office, which name nobody ("the Executors according
# to the Tenor", "the Cousin-German"), between a relationship and "of the Will of":
# "the Son and one of the Executors of the Will of Charles Drawbridge" makes him
# that man's son.
OFFICE = re.compile(r"\b(?:Executors?|Executrix(?:es)?|Administrat(?:or|rix)s?|Residuary|Universal|Legatees?|Will|"
                    r"Administration|Estate|Benefit|Use|Acting|Attorneys?|Tenor|Trust|German)\b")


def grantees_relations(rest):
    """What the executors or administrators were to the dead, in order, once each.
    A relationship that stands with another person than the dead is left out:
    "the Executor of the Will of John Fox the Father and Next of Kin" gives none."""
    matches = list(RELATION.finditer(rest))
    gaps = [rest[matches[i - 1].end() if i else 0:m.start()] for i, m in enumerate(matches)]
    gaps.append(rest[matches[-1].end():] if matches else rest)

    def no_new_name(text):  # "and", "one of", "the surviving Executor and"
        return not re.search(r"[A-Z]", OFFICE.sub("", text))

    others = [False] * len(matches)
    for i in range(len(matches)):
        # After another person's name, or joined to such a relationship.
        others[i] = bool(THROUGH_ANOTHER.search(gaps[i])) or (i > 0 and others[i - 1] and no_new_name(gaps[i]))
    for i in reversed(range(len(matches))):
        # Before "and one of the Executors of the Will of" another person, or
        # joined to such a relationship.
        through = THROUGH_ANOTHER.search(gaps[i + 1])
        of_other = bool(through) and no_new_name(gaps[i + 1][:through.start()])
        joined = i + 1 < len(matches) and others[i + 1] and no_new_name(gaps[i + 1])
        others[i] = others[i] or of_other or joined
    relations = []
    for i, match in enumerate(matches):
        if not others[i] and match.group(1) not in relations:
            relations.append(match.group(1))
    return relations


def find_headword(work, body_names):
    """The printed headword ("DODDS George."): capitals anywhere that spell the
    surname of the text (the margin's name may be set down inside the
    sentence), else the first capitals near the start of the line, after the
    OCR's stray marks."""
    matches = list(HEADWORD.finditer(work))
    if body_names:
        for match in matches:
            if len(match.group(1)) >= 2 and mendable(match.group(1), body_names[-1]):
                return match
    for match in matches:
        if len(fold(match.group(1))) >= 3:
            return match
    return None


PARTICLES = ("de", "la", "le", "du", "st", "van", "von", "d'", "d\u2019", "fitz", "ap")


def tidy_surname(surname):
    """A surname without the OCR's marks at its ends, with the blanks it put inside
    a word taken out ("Chilm An" is Chilman; "De La Mare" keeps its words);
    empty when no name is left."""
    surname = re.sub(r"^[^A-Za-z]+|[^A-Za-z]+$", "", surname)
    words = surname.split()
    while len(words) > 1 and len(words[0]) == 1 and len(words[1]) >= 3:
        words.pop(0)  # a stray capital before the headword
    joined = []
    for word in words:
        if joined and len(word) <= 2 and word.lower() not in PARTICLES:
            joined[-1] += word.lower()
        elif joined and len(joined[-1]) <= 2 and joined[-1].lower() not in PARTICLES:
            joined[-1] += word.lower()
        else:
            joined.append(word)
    surname = " ".join(joined)
    if not re.fullmatch(r"[A-Za-z][A-Za-z'\u2019 -]*[A-Za-z]", surname) or junk(surname):
        return ""
    return surname


def junk(text):
    """How many characters of a name no name holds (the OCR's digits and marks)."""
    return len(re.findall(r"[^A-Za-z .'\u2019-]|\d", text))


def misread(caps):
    """Whether printed capitals are visibly misread: a first letter outside the
    calendar's A to F, a lower-case letter, a blank or a quote inside the word
    (other than in D'ARCY)."""
    return not re.fullmatch(r"[A-F](?:['\u2019](?=[A-Z]{3}))?[A-Z-]+", caps)


def mendable(caps, body):
    """Whether the headword's capitals are a misreading that the text's own spelling mends:
    a blank inside ("BR UNT"), lost first letters ("OOPER"), a first letter outside the
    calendar's A to F ("GORNOCK" for CORNOCK), or at most two letters off."""
    if fold(caps) == fold(body):
        return True
    if fold(caps).replace(" ", "") == fold(body):
        return True
    if len(fold(caps)) >= 3 and fold(body).endswith(fold(caps)[1:]) and len(fold(body)) - len(fold(caps)) <= 2:
        return True
    return spelt_alike(caps, body)


def registry_of(text):
    text = text.strip(" ,.")
    for registry in REGISTRIES:
        if fold(text).startswith(fold(registry)):
            return registry
    for registry in REGISTRIES:
        if spelt_alike(text.split(" by")[0], registry, 2):
            return registry
    return text


def read_abode(entry, work, descriptions=()):
    """Abode (late of ...), former abode, and what the dead person was: the words
    between the place that ends the abode (a county, city, borough ...) and
    "who died"; without such a place, the last words of the abode that the
    calendar uses as descriptions elsewhere ("Esquire", "Gentleman", "Widow")."""
    match = re.search(r"(?:(formerly of|heretofore of)\s+(.+?)\s+(?:but|and)\s+)?late\s+of\s+(.+?)\s+who\s+died", work)
    if not match:
        return
    entry.former_abode = (match.group(2) or "").strip(" ,")
    abode = match.group(3).strip(" ,")
    ends = list(PLACE_END.finditer(abode))
    if ends:
        end = ends[-1].end()
    else:
        words = abode.split()
        end = len(words)
        while end > 1 and (words[end - 1] in descriptions or words[end - 1] in ("a", "an", "and")):
            end -= 1
        while end < len(words) and words[end] in ("and",):
            end += 1
        end = len(" ".join(words[:end]))
    entry.place = abode[:end].strip(" ,")
    entry.occupation = re.sub(r"^(?:a|an)\s+", "", abode[end:].strip(" ,."))


def description_words(entries):
    """The words of the descriptions read after a county, used by three entries or more."""
    counts = {}
    for entry in entries:
        for word in entry.occupation.split():
            counts[word] = counts.get(word, 0) + 1
    return {word for word, count in counts.items() if count >= 3 and word[:1].isupper()}


def read_all(data_dir):
    """(entries read, unread (file, line number, text)) of both files, in file order.
    An abode without a county, city or borough at its end gives its description
    by the words that descriptions after a county use (a second reading)."""
    entries, unread = [], []
    for name in FILES:
        with open(os.path.join(data_dir, name), encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                if not line.strip():
                    continue
                entry = parse(line)
                entry.source = source_line(name, number)
                if entry.surname and entry.forenames:
                    entries.append(entry)
                else:
                    unread.append((name, number, line.strip()))
    words = description_words(entries)
    for entry in entries:
        if entry.work and not entry.occupation:
            read_abode(entry, entry.work, words)
    return entries, unread


def counts(data_dir):
    entries, unread = read_all(data_dir)
    parsed = sum(1 for e in entries if len(e.read_fields()) == 6)
    return {"entries": len(entries) + len(unread), "parsed": parsed, "partly parsed": len(entries) - parsed,
            "unread": len(unread), "surnames mended": sum(1 for e in entries if e.mended_surname)}


def main():
    arguments = [a for a in sys.argv[1:] if a != "--unread"]
    data_dir = arguments[0] if arguments else os.path.join(os.path.dirname(os.path.abspath(__file__)), "sources")
    if "--unread" in sys.argv[1:]:
        for name, number, text in read_all(data_dir)[1]:
            print("%s, line %d: %s" % (name, number, text))
        return 0
    for key, value in counts(data_dir).items():
        print("%s: %d" % (key, value))
    return 0


if __name__ == "__main__":
    sys.exit(main())
