"""Titanic passengers' names as genealogists write them.

The passenger list writes a name as "Surname, Title. Given names", a
married woman under her husband's names with her own in brackets
("Astor, Mrs. John Jacob (Madeleine Talmadge Force)"), and nicknames or
the names a passenger travelled under in quotes. A person is searched by
her own given names, so those become the given names; the title, the
names she was listed under, her maiden name and the quoted names become
fields of their own.
"""

import re

# The list's titles, with a full stop only where they are abbreviations.
TITLES = {
    "Mr.": "Mr.", "Mrs.": "Mrs.", "Miss.": "Miss", "Master.": "Master", "Ms.": "Ms.",
    "Mlle.": "Mlle", "Mme.": "Mme", "Dr.": "Dr.", "Rev.": "Rev.", "Col.": "Col.",
    "Major.": "Major", "Capt.": "Capt.", "Lady.": "Lady", "Sir.": "Sir", "Don.": "Don",
    "Dona.": "Dona", "Jonkheer.": "Jonkheer",
}
# Titles under which a woman is listed by her husband's names.
MARRIED_TITLES = ("Mrs.", "Lady", "Countess")
# Own names in brackets that hold given names only, with no maiden surname
# after them (their last word is a given name, not a family name).
GIVEN_NAMES_ONLY = {"Marie Eugenie", "Martha Evelyn", "Alice Frances", "Helena Wilhelmina"}
# Maiden surnames of more than one word.
MAIDEN_SURNAMES = {"Maria Josefa Perez de Soto y Vallejo": ("Maria Josefa", "Perez de Soto y Vallejo")}
# A word of the given names that is a title in another language.
TITLE_WORDS = {"Oberst"}


class Name:
    def __init__(self):
        self.surname = ""
        self.given = ""
        self.title = ""
        self.listed_as = ""
        self.maiden = ""
        self.known_as = []


def _quoted(text):
    """The quoted names in text, and text without them."""
    names = [tidy(q) for q in re.findall(r'"([^"]*)"', text)]
    return names, tidy(re.sub(r'"[^"]*"', " ", text))


def tidy(text):
    return re.sub(r"\s+", " ", text or "").strip()


def _own_names(inner, name):
    """A married woman's own names from the brackets: given names, maiden name, nicknames."""
    words = inner.split()
    # A nickname that opens the brackets is the name she went by ("Addie" Dart
    # Trevaskis): it stays her first given name.
    if words and re.fullmatch(r'"[^"]*"', words[0]):
        name.known_as.append(words[0].strip('"'))
        words[0] = words[0].strip('"')
    nicknames, rest = _quoted(" ".join(words))
    name.known_as += nicknames
    if rest in MAIDEN_SURNAMES:
        return MAIDEN_SURNAMES[rest]
    parts = rest.split()
    if len(parts) >= 2 and rest not in GIVEN_NAMES_ONLY and len(parts[-1].rstrip(".")) > 1:
        return " ".join(parts[:-1]), parts[-1]
    return rest, ""


def parse(raw, female):
    """The parts of one name of the list; female tells whose brackets hold own names."""
    name = Name()
    surname, rest = raw.split(",", 1)
    name.surname, rest = tidy(surname), tidy(rest)
    if rest.startswith("the Countess. of"):
        # "Rothes, the Countess. of (Lucy Noel Martha Dyer-Edwards)"
        name.title, rest = "Countess", rest[len("the Countess. of"):]
        name.listed_as = "the Countess of " + name.surname
        listed_prefix = "the Countess of"
    else:
        word, _, rest = rest.partition(" ")
        name.title = TITLES[word]
        listed_prefix = name.title
    brackets = [tidy(b) for b in re.findall(r"\(([^()]*)\)", rest)]
    outside = tidy(re.sub(r"\([^()]*\)", " ", rest))
    nicknames, outside = _quoted(outside)
    name.known_as += nicknames

    own = None
    for inner in brackets:
        if re.fullmatch(r'"[^"]*"', inner):
            name.known_as.append(inner.strip('"'))  # a name travelled under
        elif female and own is None:
            own = inner
        else:
            name.known_as.append(inner)  # a man's other name: the one he was born with

    given = outside
    if own is not None and (name.title in MARRIED_TITLES or not outside):
        # Listed under her husband's (or another) name: her own names are in brackets.
        given, name.maiden = _own_names(own, name)
        if outside:
            name.listed_as = "%s %s %s" % (listed_prefix, outside, name.surname)
    elif own is not None:
        name.maiden = own  # "Dr. Alice (Farnham)": her maiden name alone
    words = given.split()
    while words and words[0] in TITLE_WORDS:
        name.title += " " + words.pop(0)
    name.given = " ".join(words)
    return name
