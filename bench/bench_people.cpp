#include "bench/bench_people.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

namespace bench {
namespace {

constexpr std::uint64_t kSurnameSeed = 0x43484E5253414D45ULL;
constexpr std::uint64_t kPoolSeed = 0x504F4F4C4E414D45ULL;
constexpr std::uint64_t kPersonSeed = 0x504552534F4E5321ULL;
constexpr std::uint64_t kAbsentSeed = 0x414253454E542121ULL;

// Surnames follow a Zipf-Mandelbrot law, weight 1/(rank + offset)^s: with
// this offset and the top share of 1%, the top 10 surnames hold about 7% of
// the people, the top 1,000 about 42% and the top 150,000 about 85%, close
// to what censuses of English-speaking countries count.
constexpr double kRankOffset = 8.0;

// The most common surnames of the era lead the pool, so the large ranges
// carry names a user would type; the rest are made up from syllables.
const char* const kCommonSurnames[] = {
    "Smith",      "Johnson",  "Brown",    "Williams", "Jones",    "Miller",  "Davis",     "Wilson",
    "Anderson",   "Taylor",   "Moore",    "Thomas",   "Martin",   "White",   "Thompson",  "Jackson",
    "Harris",     "Clark",    "Lewis",    "Robinson", "Walker",   "Young",   "Allen",     "King",
    "Wright",     "Scott",    "Hall",     "Green",    "Baker",    "Adams",   "Nelson",    "Hill",
    "Campbell",   "Mitchell", "Roberts",  "Carter",   "Phillips", "Evans",   "Turner",    "Parker",
    "Collins",    "Edwards",  "Stewart",  "Morris",   "Murphy",   "Cook",    "Rogers",    "Morgan",
    "Cooper",     "Peterson", "Bailey",   "Reed",     "Kelly",    "Howard",  "Cox",       "Ward",
    "Richardson", "Watson",   "Brooks",   "Wood",     "James",    "Bennett", "Gray",      "Hughes",
    "Price",      "Sanders",  "Myers",    "Long",     "Ross",     "Foster",  "Powell",    "Jenkins",
    "Perry",      "Russell",  "Sullivan", "Bell",     "Coleman",  "Butler",  "Henderson", "Barnes",
    "Fisher",     "Graham",   "Hamilton", "Wallace",  "Marshall", "Ellis",   "Schmidt",   "Meyer",
    "Weber",      "Hoffman",  "Schultz",  "Kowalski", "Nowak",    "Olson",   "Larson",    "Hansen",
    "Nielsen",    "O'Brien",  "McCarthy", "Murray",
};

const char* const kOnsets[] = {"B",  "Br", "C",  "Ch", "Cl", "D",  "Dr", "F",  "G",  "Gr",
                               "H",  "J",  "K",  "L",  "M",  "N",  "P",  "Pr", "R",  "S",
                               "Sh", "St", "T",  "Tr", "V",  "W",  "Wh", "Y",  "Z",  "Bl",
                               "Fl", "Pl", "Sc", "Sp", "Th", "Kr", "Gl", "Sl", "Sn", "Dw"};
const char* const kInnerOnsets[] = {"b",  "br", "c", "ch", "d",  "dr", "f",  "g",  "gr", "h",
                                    "k",  "l",  "m", "n",  "p",  "r",  "s",  "sh", "st", "t",
                                    "tr", "v",  "w", "z",  "bl", "th", "kl", "gl", "sl", "pp"};
const char* const kVowels[] = {"a", "e", "i", "o", "u", "ai", "ea", "ee", "oo", "ou", "ie", "au"};
const char* const kCodas[] = {"",   "",   "l",  "r",  "n",  "m",  "s",  "t",  "ck", "ll", "rr",
                              "nn", "nd", "rt", "st", "ld", "rn", "tt", "mb", "ng", "x"};
const char* const kEndings[] = {"son",  "ton",  "ley",   "man", "er",  "field", "well",  "by",
                                "wick", "more", "ford",  "ham", "den", "ard",   "ing",   "stead",
                                "wood", "land", "ridge", "ett", "sky", "berg",  "stein", "ini",
                                "ez",   "ova",  "ak",    "an",  "s",   "e"};

struct Weighted {
    const char* text;
    double weight;
};

// Given names of men born 1900-1935, with their approximate shares.
const Weighted kGivenNames[] = {
    {"John", 4.5},       {"James", 4.5},     {"William", 4.0},   {"Robert", 4.0},   {"Charles", 3.0},
    {"George", 2.5},     {"Joseph", 2.5},    {"Edward", 1.8},    {"Frank", 1.7},    {"Thomas", 1.5},
    {"Richard", 1.5},    {"Harold", 1.5},    {"Walter", 1.4},    {"Paul", 1.2},     {"Raymond", 1.2},
    {"Donald", 1.2},     {"Jack", 1.0},      {"Henry", 1.0},     {"Arthur", 1.0},   {"Albert", 1.0},
    {"Harry", 1.0},      {"Ralph", 0.8},     {"Kenneth", 0.8},   {"Clarence", 0.8}, {"Eugene", 0.8},
    {"Howard", 0.7},     {"Carl", 0.7},      {"Louis", 0.7},     {"Fred", 0.7},     {"Earl", 0.7},
    {"Francis", 0.6},    {"Lawrence", 0.6},  {"Roy", 0.6},       {"Herbert", 0.5},  {"Leonard", 0.5},
    {"Ernest", 0.5},     {"Anthony", 0.5},   {"Stanley", 0.5},   {"Norman", 0.5},   {"Willie", 0.5},
    {"Alfred", 0.4},     {"Melvin", 0.4},    {"Russell", 0.4},   {"Leroy", 0.3},    {"Chester", 0.3},
    {"Samuel", 0.3},     {"Edwin", 0.3},     {"Bernard", 0.3},   {"Marvin", 0.3},   {"Lloyd", 0.3},
    {"Elmer", 0.3},      {"Floyd", 0.3},     {"Clifford", 0.3},  {"Herman", 0.3},   {"Vernon", 0.3},
    {"Leo", 0.3},        {"Gerald", 0.3},    {"Warren", 0.3},    {"Daniel", 0.3},   {"Jesse", 0.3},
    {"Dale", 0.2},       {"Wayne", 0.2},     {"Glenn", 0.2},     {"Milton", 0.2},   {"Gordon", 0.2},
    {"Lester", 0.2},     {"Peter", 0.2},     {"Michael", 0.2},   {"Andrew", 0.2},   {"Martin", 0.2},
    {"Edgar", 0.2},      {"Oscar", 0.2},     {"Cecil", 0.2},     {"Victor", 0.2},   {"Everett", 0.2},
    {"Max", 0.1},        {"Morris", 0.1},    {"Sidney", 0.1},    {"Julius", 0.1},   {"Jerome", 0.1},
    {"Jacob", 0.1},      {"Otto", 0.1},      {"Homer", 0.1},     {"Virgil", 0.1},   {"Wilbur", 0.1},
    {"Orville", 0.05},   {"Ignatius", 0.02}, {"Thaddeus", 0.03}, {"Ulysses", 0.01}, {"Zebulon", 0.01},
    {"Lafayette", 0.01}, {"Octavius", 0.01}, {"Hezekiah", 0.01}, {"Erasmus", 0.01}, {"Thad", 0.01},
};

const char* const kStates[] = {"Alabama",
                               "Arizona",
                               "Arkansas",
                               "California",
                               "Colorado",
                               "Connecticut",
                               "Delaware",
                               "Florida",
                               "Georgia",
                               "Idaho",
                               "Illinois",
                               "Indiana",
                               "Iowa",
                               "Kansas",
                               "Kentucky",
                               "Louisiana",
                               "Maine",
                               "Maryland",
                               "Massachusetts",
                               "Michigan",
                               "Minnesota",
                               "Mississippi",
                               "Missouri",
                               "Montana",
                               "Nebraska",
                               "Nevada",
                               "New Hampshire",
                               "New Jersey",
                               "New Mexico",
                               "New York",
                               "North Carolina",
                               "North Dakota",
                               "Ohio",
                               "Oklahoma",
                               "Oregon",
                               "Pennsylvania",
                               "Rhode Island",
                               "South Carolina",
                               "South Dakota",
                               "Tennessee",
                               "Texas",
                               "Utah",
                               "Vermont",
                               "Virginia",
                               "Washington",
                               "West Virginia",
                               "Wisconsin",
                               "Wyoming",
                               "District of Columbia"};

const Weighted kRanks[] = {
    {"Private", 30},
    {"Private First Class", 25},
    {"Corporal", 8},
    {"Sergeant", 10},
    {"Staff Sergeant", 6},
    {"Technician Fifth Grade", 6},
    {"Technician Fourth Grade", 3},
    {"Second Lieutenant", 4},
    {"First Lieutenant", 4},
    {"Captain", 2},
    {"Major", 0.5},
    {"Seaman Second Class", 1.5},
};

const char* const kMonuments[] = {
    "Normandy American Cemetery, Colleville-sur-Mer, France",
    "Lorraine American Cemetery, St. Avold, France",
    "Netherlands American Cemetery, Margraten, Netherlands",
    "Ardennes American Cemetery, Neupre, Belgium",
    "Henri-Chapelle American Cemetery, Hombourg, Belgium",
    "Luxembourg American Cemetery, Luxembourg City",
    "Sicily-Rome American Cemetery, Nettuno, Italy",
    "Florence American Cemetery, Florence, Italy",
    "North Africa American Cemetery, Carthage, Tunisia",
    "Cambridge American Cemetery, Cambridge, England",
    "Epinal American Cemetery, Dinoze, France",
    "Rhone American Cemetery, Draguignan, France",
    "Manila American Cemetery, Manila, Philippines",
    "Honolulu Memorial, Honolulu, Hawaii",
    "Tablets of the Missing at Manila American Cemetery",
};

const Weighted kStatuses[] = {{"KIA", 70}, {"DOW", 10}, {"MIA", 8}, {"DNB", 7}, {"FOD", 5}};

const Weighted kAwards[] = {{"Purple Heart", 80},
                            {"Bronze Star, Purple Heart", 5},
                            {"Silver Star, Purple Heart", 3},
                            {"Air Medal with Oak Leaf Cluster, Purple Heart", 2},
                            {"", 10}};

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// Sentences of the one long record of every database: a decorated officer
// whose awards and service fill most of the 4999 bytes a record may hold.
const char* const kLongSentences[] = {
    "Distinguished Service Cross for extraordinary heroism in action near Carentan, France, "
    "when he led his company across open ground under direct machine-gun and mortar fire",
    "Silver Star with two Oak Leaf Clusters for gallantry in the Hurtgen Forest, in the "
    "Ardennes and at the crossing of the Roer River",
    "Bronze Star Medal with V device and Oak Leaf Cluster for meritorious service in ground "
    "combat against the enemy in Northern France and the Rhineland",
    "Purple Heart with three Oak Leaf Clusters for wounds received in action in Normandy, "
    "at Aachen, in Belgium and in Germany",
    "Combat Infantryman Badge, Presidential Unit Citation with Oak Leaf Cluster, European-"
    "African-Middle Eastern Campaign Medal with four bronze service stars and arrowhead",
    "Commended in general orders of the division for the defence of a road junction held "
    "for three days against repeated armoured counterattacks with the loss of half his men",
};

const Weighted& Pick(const Weighted* table, std::size_t n, Random& random) {
    double total = 0;
    for (std::size_t i = 0; i < n; ++i) total += table[i].weight;
    double u = random.Unit() * total;
    for (std::size_t i = 0; i < n; ++i) {
        if (u < table[i].weight) return table[i];
        u -= table[i].weight;
    }
    return table[n - 1];
}

template <std::size_t N>
const char* PickText(const Weighted (&table)[N], Random& random) {
    return Pick(table, N, random).text;
}

template <std::size_t N>
const char* Choose(const char* const (&table)[N], Random& random) {
    return table[random.Below(static_cast<std::uint32_t>(N))];
}

std::string Ordinal(unsigned n) {
    const char* suffix = "th";
    if (n % 100 < 11 || n % 100 > 13) {
        if (n % 10 == 1) suffix = "st";
        if (n % 10 == 2) suffix = "nd";
        if (n % 10 == 3) suffix = "rd";
    }
    return std::to_string(n) + suffix;
}

std::string MadeUpSurname(Random& random) {
    std::string name = Choose(kOnsets, random);
    name += Choose(kVowels, random);
    name += Choose(kCodas, random);
    if (random.Below(3) != 0) {
        name += Choose(kInnerOnsets, random);
        name += Choose(kVowels, random);
        name += Choose(kCodas, random);
    }
    name += Choose(kEndings, random);
    return name;
}

// The exponent s for which the first of n ranks weighted 1/(r + kRankOffset)^s
// holds share.
double ZipfExponent(std::size_t n, double share) {
    double low = 0.3;
    double high = 2.0;
    for (int step = 0; step < 40; ++step) {
        const double s = (low + high) / 2;
        double total = 0;
        for (std::size_t r = 1; r <= n; ++r) total += std::pow(static_cast<double>(r) + kRankOffset, -s);
        if (std::pow(1.0 + kRankOffset, -s) / total < share) {
            low = s;  // too flat: the top share is too small
        } else {
            high = s;
        }
    }
    return (low + high) / 2;
}

std::string CombatOrg(Random& random) {
    const unsigned kind = random.Below(10);
    if (kind < 6) {
        return Ordinal(1 + random.Below(442)) + " Infantry Regiment, " + Ordinal(1 + random.Below(106)) +
               " Infantry Division";
    }
    if (kind < 8) {
        return Ordinal(1 + random.Below(900)) + " Bomber Squadron, " + Ordinal(1 + random.Below(500)) +
               " Bomber Group, Heavy";
    }
    if (kind < 9) {
        return Ordinal(1 + random.Below(90)) + " Armored Infantry Battalion, " +
               Ordinal(1 + random.Below(20)) + " Armored Division";
    }
    return Ordinal(1 + random.Below(29)) + " Marine Regiment, " + Ordinal(1 + random.Below(6)) +
           " Marine Division";
}

std::string DateOfDeath(Random& random) {
    const bool korea = random.Below(8) == 0;
    const unsigned year = korea ? 1950 + random.Below(4) : 1942 + random.Below(4);
    return std::string(Choose(kMonths, random)) + " " + std::to_string(1 + random.Below(28)) + ", " +
           std::to_string(year);
}

std::string LongText(std::size_t length, Random& random) {
    std::string text;
    while (text.size() < length) {
        if (!text.empty()) text += "; ";
        text += Choose(kLongSentences, random);
    }
    return text;
}

}  // namespace

std::uint64_t Random::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

Population::Population(std::size_t people) {
    pool_.reserve(kPoolSize);
    std::unordered_set<std::string> seen;
    seen.reserve(kPoolSize * 2);
    // Two names that differ only in case share one index key: one of them is enough.
    for (const char* name : kCommonSurnames) {
        pool_.emplace_back(name);
        seen.insert(UpperCased(name));
    }
    Random poolRandom(kPoolSeed);
    while (pool_.size() < kPoolSize) {
        std::string name = MadeUpSurname(poolRandom);
        if (name.size() <= 16 && seen.insert(UpperCased(name)).second) pool_.push_back(std::move(name));
    }

    exponent_ = ZipfExponent(kPoolSize, kTopShare);
    std::vector<double> cumulative(kPoolSize);
    double total = 0;
    for (std::size_t r = 0; r < kPoolSize; ++r) {
        total += std::pow(static_cast<double>(r + 1) + kRankOffset, -exponent_);
        cumulative[r] = total;
    }

    // Every size draws the same sequence, so a smaller database holds the
    // first people of a larger one.
    ranks_.resize(people);
    counts_.assign(kPoolSize, 0);
    Random surnameRandom(kSurnameSeed);
    for (std::size_t i = 0; i < people; ++i) {
        const double u = surnameRandom.Unit() * total;
        auto at = std::upper_bound(cumulative.begin(), cumulative.end(), u);
        if (at == cumulative.end()) --at;
        const auto rank = static_cast<std::uint32_t>(at - cumulative.begin());
        ranks_[i] = rank;
        ++counts_[rank];
    }
}

std::string Population::AbsentSurname() const {
    std::unordered_set<std::string> pool;
    pool.reserve(pool_.size() * 2);
    for (const std::string& name : pool_) pool.insert(UpperCased(name));
    Random random(kAbsentSeed);
    for (;;) {
        std::string name = MadeUpSurname(random);
        if (name.size() <= 16 && pool.count(UpperCased(name)) == 0) return name;
    }
}

PersonRecord Population::Person(std::size_t i, bool longRecord) const {
    Random random(kPersonSeed ^ (static_cast<std::uint64_t>(i) * 0xD1B54A32D192ED03ULL));
    PersonRecord person;
    person.surname = pool_[ranks_[i]];
    person.givenNames = PickText(kGivenNames, random);
    std::string initial;
    const unsigned middle = random.Below(10);
    if (middle < 2) {
        person.givenNames += ' ';
        person.givenNames += PickText(kGivenNames, random);
    } else if (middle < 9) {
        initial.assign(1, static_cast<char>('A' + random.Below(26)));
    }

    person.fields.reserve(9);
    person.fields.push_back(initial);
    person.fields.emplace_back(Choose(kStates, random));
    person.fields.emplace_back(PickText(kRanks, random));
    person.fields.push_back(CombatOrg(random));
    person.fields.push_back(DateOfDeath(random));
    person.fields.emplace_back(Choose(kMonuments, random));
    person.fields.emplace_back(PickText(kStatuses, random));
    person.fields.emplace_back(PickText(kAwards, random));
    person.fields.emplace_back(random.Below(30) == 0 ? "Croix de Guerre with Palm" : "");
    if (longRecord) {
        person.fields[2] = "Lieutenant Colonel";
        person.fields[3] +=
            ", attached to the Headquarters of the First United States Army for the planning "
            "of the assault landings and the breakout from the beachhead";
        person.fields[7] = LongText(3100, random);
        person.fields[8] =
            "Croix de Guerre with Palm, Legion of Honour (Chevalier), Belgian Fourragere, "
            "Order of Orange-Nassau with Swords, Military Cross (United Kingdom)";
    }
    return person;
}

std::string UpperCased(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

bool PassesPrefix(const std::string& givenNames, const char* prefix) {
    for (std::size_t k = 0; prefix[k] != '\0'; ++k) {
        if (k >= givenNames.size()) return false;
        char c = givenNames[k];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[k]) return false;
    }
    return true;
}

}  // namespace bench
