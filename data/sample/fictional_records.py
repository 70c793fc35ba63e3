"""Plausible but fictional people for the four databases that no public
dataset covers (War of 1812, the roll of honor, WWII prisoners of war,
the Vietnam memorial). Every person, place detail and reference here is invented by a
deterministic generator: the same script always writes the same files.

Each function returns a list of (surname, given names, fields) laid out as
the database's labels expect. A single blank is an unknown field.
"""

BLANK = " "
MASK = (1 << 64) - 1

MONTHS = ["January", "February", "March", "April", "May", "June", "July",
          "August", "September", "October", "November", "December"]


class Rng:
    """splitmix64: small, fast and the same on every Python version."""

    def __init__(self, seed):
        self.state = seed & MASK

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)

    def below(self, n):
        return self.next() % n

    def between(self, low, high):
        return low + self.below(high - low + 1)

    def choice(self, items):
        return items[self.below(len(items))]

    def chance(self, percent):
        return self.below(100) < percent

    def weighted(self, items, weights_total, cumulative):
        point = self.below(weights_total)
        low, high = 0, len(cumulative) - 1
        while low < high:
            middle = (low + high) // 2
            if cumulative[middle] > point:
                high = middle
            else:
                low = middle + 1
        return items[low]


# Surnames, most common first: the first ones are drawn often enough to give
# long result lists. Accented names are all Windows-1252 letters.
SURNAMES = """Smith Johnson Brown Williams Jones Miller Davis Wilson Anderson Taylor
Thomas Moore Martin Jackson Thompson White Harris Clark Lewis Robinson Walker Young Allen
King Wright Scott Hill Green Adams Baker Nelson Carter Mitchell Roberts Turner Phillips
Campbell Parker Evans Edwards Collins Stewart Morris Rogers Reed Cook Morgan Bell Murphy
Bailey Cooper Richardson Cox Howard Ward Peterson Gray Watson Brooks Kelly Sanders Price
Bennett Wood Barnes Ross Henderson Coleman Jenkins Perry Powell Long Patterson Hughes
Washington Butler Simmons Foster Bryant Alexander Russell Griffin Hayes Myers Ford Hamilton
Graham Sullivan Wallace Woods Cole West Jordan Owens Reynolds Fisher Ellis Harrison Gibson
McDonald Marshall MacGregor O'Brien O'Neill O'Connor Fitzgerald Fitzpatrick Donnelly Gallagher
Müller Schäfer Schröder Köhler Fröhlich Weiß Groß Krüger Böhm Jäger Günther Hoffmann Becker
García Gómez Núñez Muñoz Peña Sánchez Martínez Fernández Rodríguez López Ibáñez Cortés
Lefèvre Béranger Côté Gagné Bélanger Dubé Thériault Lévesque Pâquet Hébert Gauthier Leblanc
Sørensen Ångström Öberg Åkesson Løvland Jørgensen Nyström Lindqvist Bjørnson Hägglund
Van_Buren Van_der_Berg De_la_Cruz De_Vries St._John Le_Blanc Du_Pont Ten_Eyck Vander_Meer
Kowalski Nowak Novak Horvath Kovács Szabó Dvorak Šimek Žukauskas
Abernathy Blackwood Cartwright Drummond Ellsworth Fairbanks Goodrich Hathaway Ingersoll
Kensington Lockhart Merriweather Northcott Pemberton Quackenbush Rutherford Sutherland
Thistlewaite Underhill Vanderbilt Whitfield Yardley Zimmerman Abbott Ashby Bancroft
Bradford Calloway Chandler Davenport Dunbar Eastman Farnsworth Garfield Hale Holloway
Kirkpatrick Langley Maddox Norwood Osgood Prescott Radcliffe Sheffield Tillman Upton
Vickers Wainwright Whitaker Winslow Yates Aldridge Barrington Beauchamp Carrington
Fitzwilliam-Montague Featherstonehaugh Montgomery-Campbell Wolstenholme Throckmorton""".split()
# Names of two words are written with "_" in the list above.
SURNAMES = [name.replace("_", " ") for name in SURNAMES]

# Given names that share their beginnings, so that a first-name search narrows step by step.
MALE = """John Johnny Jonathan Jon Jonas Joseph Josiah Joshua Jose José James Jameson Jamie
William Willis Wilbur Wilfred Charles Charlie Chester George Georges Henry Henrik Harry Harold
Harrison Thomas Tom Tobias Robert Robin Roberto Richard Rick Edward Edwin Edmund Edgar Samuel
Sam Samson Daniel Dan Danforth Peter Pierre Piet Michael Mick Mikael Francis Frank Franklin
François Søren Jürgen Björn Ángel Andrés Stefan Stephen Steven Arthur Albert Alfred Alvin Walter
Wallace Warren Ernest Ernesto Earl Elmer Eli Elijah Elias Isaac Isaiah Ira Irving Lewis Louis
Luis Luke Lucas Lucius Martin Marvin Marcus Mark Matthew Matthias Nathan Nathaniel Oscar Otto
Owen Patrick Paul Paulo Ralph Raymond Ray Roy Roger Rudolph Sylvester Silas Simon Vernon
Victor Vincent""".split()
FEMALE = """Mary Marie Maria Marian Marion Margaret Margarete Marguerite Martha Marta Anna Ann
Anne Annie Annabel Elizabeth Eliza Elisabeth Élise Ellen Ellie Eleanor Elinor Catherine Cathy
Katharina Sarah Sara Susan Susanna Suzanne Jane Janet Janine Joan Joanna Johanna Josephine
Louise Louisa Lucy Lucille Lydia Emma Emily Emilie Dorothy Doris Dora Rose Rosa Rosalind
Renée Zoë Inés Åsa Helen Helena Hélène Harriet Hannah Clara Claire Grace Frances Francine""".split()

STATES = ["Alabama", "Arkansas", "California", "Connecticut", "Delaware", "Georgia", "Illinois",
          "Indiana", "Iowa", "Kansas", "Kentucky", "Louisiana", "Maine", "Maryland", "Massachusetts",
          "Michigan", "Minnesota", "Mississippi", "Missouri", "Nebraska", "New Hampshire", "New Jersey",
          "New York", "North Carolina", "Ohio", "Oregon", "Pennsylvania", "Rhode Island",
          "South Carolina", "Tennessee", "Texas", "Vermont", "Virginia", "Washington",
          "West Virginia", "Wisconsin"]
STATE_CODES = ["AL", "AR", "CA", "CT", "DE", "GA", "IL", "IN", "IA", "KS", "KY", "LA", "ME", "MD",
               "MA", "MI", "MN", "MS", "MO", "NE", "NH", "NJ", "NY", "NC", "OH", "OR", "PA", "RI",
               "SC", "TN", "TX", "VT", "VA", "WA", "WV", "WI"]
TOWNS = ["Dayton", "Springfield", "Franklin", "Greenville", "Clinton", "Salem", "Madison",
         "Georgetown", "Arlington", "Fairview", "Marion", "Oxford", "Ashland", "Burlington",
         "Manchester", "Milton", "Newport", "Jackson", "Dover", "Bristol", "Lexington",
         "Chester", "Auburn", "Riverside", "Centerville", "Hudson", "Kingston", "Mount Vernon"]
ORDINALS = ["1st", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th", "10th", "11th", "12th",
            "13th", "14th", "15th", "16th", "17th", "18th", "19th", "20th", "21st", "22nd", "23rd",
            "24th", "25th", "26th", "27th", "28th", "29th", "30th"]


class People:
    """Draws surnames (often the common ones) and given names."""

    def __init__(self, rng, surnames=SURNAMES):
        self.rng = rng
        self.surnames = surnames
        self.cumulative = []
        total = 0
        for rank in range(len(surnames)):
            total += 100000 // (rank + 4)
            self.cumulative.append(total)
        self.total = total

    def surname(self):
        return self.rng.weighted(self.surnames, self.total, self.cumulative)

    def given(self, women_percent=0, middle_percent=25):
        pool = FEMALE if self.rng.chance(women_percent) else MALE
        name = self.rng.choice(pool)
        if self.rng.chance(middle_percent):
            name += " " + self.rng.choice(pool)
        return name

    def initial(self, percent=70):
        return chr(ord("A") + self.rng.below(26)) if self.rng.chance(percent) else BLANK

    def date(self, first_year, last_year):
        return "%d %s %d" % (self.rng.between(1, 28), self.rng.choice(MONTHS),
                             self.rng.between(first_year, last_year))


def maybe(rng, percent, text):
    return text if rng.chance(percent) else BLANK


# ---------------------------------------------------------------- War of 1812 (code 8)

W1812_NOTES = [
    "Served at Fort Erie; wounded at Lundy's Lane, {date}; discharged at Buffalo on account of wounds.",
    "Enlisted for one year; present at the defence of Baltimore and at North Point, {date}; mustered out with his company at the close of the war.",
    "Taken prisoner at the River Raisin, {date}; paroled and exchanged; rejoined his regiment at Detroit.",
    "Drafted militia; served three months on the Niagara frontier; absent sick at Lewiston part of the time.",
    "Substitute for his father; served in the garrison of Fort McHenry; land warrant issued to his widow many years later.",
    "Deserted {date}.",
    "Died in camp of fever, {date}.",
]
W1812_RANKS = ["Private", "Private", "Private", "Corporal", "Sergeant", "Musician", "Ensign",
               "Lieutenant", "Captain", "Fifer", "Drummer", "Wagoner"]


def war_of_1812(count=2600):
    rng = Rng(1812)
    people = People(rng)
    rows = []
    for _ in range(count):
        start = rng.choice(W1812_RANKS)
        final = start if rng.chance(80) else rng.choice(W1812_RANKS)
        company = "Capt. %s's Company" % people.surname() if rng.chance(60) else "Company %s" % chr(65 + rng.below(10))
        unit = "%s Regiment, %s Militia" % (rng.choice(ORDINALS), rng.choice(STATES[:30]))
        note = rng.choice(W1812_NOTES).format(date=people.date(1812, 1815)) if rng.chance(35) else BLANK
        rows.append((people.surname(), people.given(), [
            people.initial(), maybe(rng, 90, company), maybe(rng, 95, unit), maybe(rng, 90, start),
            maybe(rng, 85, final), note]))
    return rows


# ---------------------------------------------------------------- roll of honor (code 9)

def reference(rng, second_page):
    """Volume in 2 characters, page in 3, an optional second page in 3, each blank-padded."""
    volume = str(rng.between(1, 27)).ljust(2)
    page = rng.between(1, 548)
    text = volume + str(page).ljust(3)
    if second_page:
        text += str(page + 1).ljust(3)
    return text


def roll_of_honor(count=2500):
    rng = Rng(1866)
    people = People(rng)
    rows = []
    for index in range(count):
        references = []
        if index % 10 == 0:
            # Fifteen fields: the footnote about the volumes follows the text.
            used = rng.between(1, 13)
            references = [reference(rng, rng.chance(30)) for _ in range(used)]
            references += [BLANK] * (14 - used)
        else:
            references = [reference(rng, rng.chance(30)) for _ in range(rng.between(1, 4))]
        rows.append((people.surname(), people.given(), [people.initial()] + references))
    return rows


# ---------------------------------------------------------------- WWII prisoners of war (code 10)

CAMPS = [
    ("Stalag Luft III", "Sagan", "Silesia", "Germany"),
    ("Stalag Luft I", "Barth", "Pomerania", "Germany"),
    ("Stalag 17B", "Krems", "Lower Danube", "Austria"),
    ("Oflag 64", "Szubin", "Wartheland", "Poland"),
    ("Stalag VII A", "Moosburg", "Bavaria", "Germany"),
    ("Stalag II B", "Hammerstein", "Pomerania", "Germany"),
    ("Cabanatuan", "Cabanatuan City", "Luzon", "Philippines"),
    ("Zentsuji", "Zentsuji", "Shikoku", "Japan"),
    ("Mukden", "Mukden", "Manchuria", "China"),
]
POW_RANKS = ["Private", "Private First Class", "Corporal", "Sergeant", "Staff Sergeant",
             "Technical Sergeant", "Second Lieutenant", "First Lieutenant", "Captain"]
POW_DETAILS = [
    "Crew member of a B-17 that was brought down by flak over the target; parachuted and was taken at once by civilians.",
    "Captured with most of his company when the position was overrun at night; marched for eleven days before reaching the camp.",
    "Moved between three camps in the last winter of the war and liberated by advancing ground forces.",
    "Listed missing in action for four months before his captivity was confirmed by the protecting power.",
]


def prisoners_of_war(count=2700):
    rng = Rng(1945)
    people = People(rng)
    rows = []
    for _ in range(count):
        camp, city, region, country = rng.choice(CAMPS)
        pacific = country in ("Philippines", "Japan", "China")
        service = "Army" if pacific else rng.choice(["Army", "Army Air Forces", "Army Air Forces"])
        corps = "Air Corps" if service == "Army Air Forces" else rng.choice(
            ["Infantry", "Field Artillery", "Coast Artillery", "Medical Department", "Corps of Engineers"])
        status = rng.choice(["Returned to military control, liberated or repatriated"] * 8 +
                            ["Died while a prisoner of war", "Escaped"])
        rows.append((people.surname(), people.given(), [
            people.initial(),
            str(rng.between(10000000, 39999999)) if service != "Navy" else BLANK,
            maybe(rng, 90, rng.choice(["White", "White", "White", "Black", "Asian", "American Indian"])),
            rng.choice(STATES),
            service,
            corps,
            rng.choice(POW_RANKS),
            people.date(1942, 1945) if not pacific else people.date(1942, 1942),
            maybe(rng, 80, "Individual report of capture"),
            "Pacific" if pacific else rng.choice(["European", "Mediterranean"]),
            camp,
            city,
            region,
            country,
            rng.choice(POW_DETAILS) if rng.chance(15) else BLANK,
            status,
            maybe(rng, 60, "Record closed " + people.date(1946, 1948)),
        ]))
    return rows


# ---------------------------------------------------------------- Vietnam memorial (code 12)

VM_RANKS = [("PFC", "E3"), ("SP4", "E4"), ("CPL", "E4"), ("SGT", "E5"), ("SSG", "E6"),
            ("2LT", "O1"), ("1LT", "O2"), ("CPT", "O3"), ("LCPL", "E3"), ("HM3", "E4")]
VM_UNITS = ["1st Cav Div", "101st Abn Div", "173rd Abn Bde", "25th Inf Div", "1st Inf Div",
            "3rd Marine Div", "1st Marine Div", "9th Inf Div", "4th Inf Div", "Americal Div"]


def vietnam_memorial(count=3000):
    rng = Rng(1982)
    people = People(rng)
    rows = []
    for _ in range(count):
        rank, grade = rng.choice(VM_RANKS)
        state = rng.below(len(STATE_CODES))
        middle = people.given() if rng.chance(70) else BLANK
        rows.append((people.surname(), people.given(middle_percent=0), [
            middle, rank, grade, rng.choice(VM_UNITS), maybe(rng, 95, rng.choice(TOWNS)), STATE_CODES[state]]))
    return rows
