#include "browse/linkage/link_places.h"

#include <map>
#include <string_view>

#include "browse/abbreviations/abbreviation_table.h"
#include "browse/linkage/folded_text.h"

namespace linkage {

const char* const kStateNames[] = {
    "Alabama",        "Alaska",         "Arizona",
    "Arkansas",       "California",     "Colorado",
    "Connecticut",    "Delaware",       "District of Columbia",
    "Florida",        "Georgia",        "Hawaii",
    "Idaho",          "Illinois",       "Indiana",
    "Iowa",           "Kansas",         "Kentucky",
    "Louisiana",      "Maine",          "Maryland",
    "Massachusetts",  "Michigan",       "Minnesota",
    "Mississippi",    "Missouri",       "Montana",
    "Nebraska",       "Nevada",         "New Hampshire",
    "New Jersey",     "New Mexico",     "New York",
    "North Carolina", "North Dakota",   "Ohio",
    "Oklahoma",       "Oregon",         "Pennsylvania",
    "Rhode Island",   "South Carolina", "South Dakota",
    "Tennessee",      "Texas",          "Utah",
    "Vermont",        "Virginia",       "Washington",
    "West Virginia",  "Wisconsin",      "Wyoming",
    "Puerto Rico",    "Guam",           "Virgin Islands",
};
const int kStateCount = static_cast<int>(sizeof kStateNames / sizeof kStateNames[0]);

namespace {

// Forms that stand for a state only where a place is expected: postal codes
// and abbreviations that are also English words or names.
constexpr std::string_view kPlaceForms[][2] = {
    {"Alabama", "AL"},       {"Arkansas", "Ark."},   {"California", "CA"}, {"California", "Cal."},
    {"Colorado", "CO"},      {"Connecticut", "CT"},  {"Delaware", "DE"},   {"Florida", "FL"},
    {"Hawaii", "HI"},        {"Idaho", "ID"},        {"Illinois", "Ill."}, {"Indiana", "IN"},
    {"Maine", "Me."},        {"Maine", "ME"},        {"Maryland", "MD"},   {"Massachusetts", "Mass."},
    {"Massachusetts", "MA"}, {"Michigan", "Mich."},  {"Michigan", "MI"},   {"Mississippi", "Miss."},
    {"Mississippi", "MS"},   {"Montana", "MT"},      {"Nebraska", "NE"},   {"Ohio", "O."},
    {"Ohio", "OH"},          {"Oklahoma", "OK"},     {"Oregon", "OR"},     {"Oregon", "Ore."},
    {"Washington", "Wash."}, {"Washington", "W.T."}, {"Wyoming", "W.T."},
};

int StateIndex(std::string_view name) {
    for (int i = 0; i < kStateCount; ++i) {
        if (name == kStateNames[i]) return i;
    }
    return -1;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) {
        if (!out.empty()) out += ' ';
        out += word;
    }
    return out;
}

// Every form, as its folded words joined by blanks, with the bit it sets.
const std::map<std::string, std::uint64_t>& Forms() {
    static const std::map<std::string, std::uint64_t> kForms = [] {
        std::map<std::string, std::uint64_t> forms;
        auto add = [&](const std::string& text, int state) {
            forms[Joined(FoldedWords(text))] |= std::uint64_t{1} << state;
        };
        for (int i = 0; i < kStateCount; ++i) add(kStateNames[i], i);
        for (const auto& group : CAbbreviationTable::Builtin().Groups()) {
            const int state = StateIndex(group.name);
            if (state < 0) continue;
            for (const auto& form : group.forms) forms[Joined(form)] |= std::uint64_t{1} << state;
        }
        for (const auto& form : kPlaceForms) add(std::string(form[1]), StateIndex(form[0]));
        return forms;
    }();
    return kForms;
}

bool HasDigit(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (word.find_first_of("0123456789") != std::string::npos) return true;
    }
    return false;
}

}  // namespace

std::uint64_t StateOfWords(const std::vector<std::string>& words) {
    if (words.empty() || words.size() > 4) return 0;
    const auto found = Forms().find(Joined(words));
    return found == Forms().end() ? 0 : found->second;
}

void ReadPlace(const std::string& field, std::uint64_t& states, std::vector<std::string>& towns) {
    std::size_t start = 0;
    bool first = true;
    while (start <= field.size()) {
        std::size_t end = field.find_first_of(",/;", start);
        if (end == std::string::npos) end = field.size();
        const std::vector<std::string> words = FoldedWords(field.substr(start, end - start));
        const std::uint64_t state = StateOfWords(words);
        if (state != 0) {
            states |= state;
        } else if (first && !words.empty() && words.size() <= 3 && !HasDigit(words)) {
            towns.push_back(Joined(words));
        }
        if (!words.empty()) first = false;
        start = end + 1;
    }
}

std::string StatesText(std::uint64_t states) {
    std::string out;
    for (int i = 0; i < kStateCount; ++i) {
        if ((states >> i & 1) == 0) continue;
        if (!out.empty()) out += " or ";
        out += kStateNames[i];
    }
    return out;
}

}  // namespace linkage
