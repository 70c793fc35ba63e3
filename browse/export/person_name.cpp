#include "browse/export/person_name.h"

#include <cctype>
#include <vector>

#include "browse/export/surname_case.h"
#include "browse/record_text/whole_record.h"
#include "store/blank_trim.h"

namespace person_name {
namespace {

// Titles that may open the given names where the record has no title of
// its own, with the sex each tells.
struct Title {
    const char* word;  // lower case, without a closing '.'
    PersonSex sex;
};
const Title kTitles[] = {
    {"mr", PersonSex::Male},         {"master", PersonSex::Male},   {"sir", PersonSex::Male},
    {"don", PersonSex::Male},        {"jonkheer", PersonSex::Male}, {"lord", PersonSex::Male},
    {"monsieur", PersonSex::Male},   {"mrs", PersonSex::Female},    {"miss", PersonSex::Female},
    {"ms", PersonSex::Female},       {"mme", PersonSex::Female},    {"mlle", PersonSex::Female},
    {"madame", PersonSex::Female},   {"lady", PersonSex::Female},   {"dame", PersonSex::Female},
    {"countess", PersonSex::Female}, {"dona", PersonSex::Female},   {"dr", PersonSex::Unknown},
    {"rev", PersonSex::Unknown},     {"col", PersonSex::Unknown},   {"capt", PersonSex::Unknown},
    {"major", PersonSex::Unknown},   {"gen", PersonSex::Unknown},   {"lt", PersonSex::Unknown},
    {"sgt", PersonSex::Unknown},     {"prof", PersonSex::Unknown},  {"hon", PersonSex::Unknown},
};

// Database codes of the rolls whose sources say that all their people were
// men: the generals, and the Medal of Honor rolls.
constexpr int kMenOnlyRolls[] = {1, 2, 4, 5, 6, 7};
constexpr int kWillsCode = 13;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const Title* TitleOf(const std::string& word) {
    std::string lower = Lower(Trimmed(word));
    if (!lower.empty() && lower.back() == '.') lower.pop_back();
    for (const Title& title : kTitles) {
        if (lower == title.word) return &title;
    }
    return nullptr;
}

// The value of the first field headed heading (compared without case), or "".
std::string FieldHeaded(const std::vector<HeadedField>& fields, const char* heading) {
    for (const HeadedField& field : fields) {
        if (Lower(Trimmed(field.heading)) == heading && !field.text.empty()) return field.text;
    }
    return "";
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text + ' ') {
        if (IsBlankOrTab(c)) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

// The items of a list such as "Relict, Son", lower case.
std::vector<std::string> Items(const std::string& text) {
    std::vector<std::string> items;
    std::string item;
    for (char c : text + ',') {
        if (c == ',' || c == ';') {
            if (!Trimmed(item).empty()) items.push_back(Lower(Trimmed(item)));
            item.clear();
        } else {
            item += c;
        }
    }
    return items;
}

// What a will's description of the deceased says of their sex: "Widow",
// "Spinster", "Wife of ...", "Gentleman a Bachelor".
PersonSex SexOfDescription(const std::string& description) {
    const std::vector<std::string> words = Words(Lower(description));
    if (words.empty()) return PersonSex::Unknown;
    for (const std::string& word : words) {
        if (word == "widow" || word == "spinster" || word == "wife" || word == "relict")
            return PersonSex::Female;
        if (word == "widower" || word == "bachelor") return PersonSex::Male;
    }
    // Styles given to men alone.
    if (words.front() == "gentleman" || words.front() == "esquire" || words.front() == "yeoman")
        return PersonSex::Male;
    return PersonSex::Unknown;
}

// The sex of the deceased that their executors' relationship tells: a
// relict or widow leaves a husband behind, a widower or husband a wife.
PersonSex SexOfRelationship(const std::string& relationship) {
    PersonSex sex = PersonSex::Unknown;
    for (const std::string& item : Items(relationship)) {
        PersonSex told = PersonSex::Unknown;
        if (item == "relict" || item == "widow") told = PersonSex::Male;
        if (item == "widower" || item == "husband") told = PersonSex::Female;
        if (told == PersonSex::Unknown) continue;
        if (sex != PersonSex::Unknown && sex != told) return PersonSex::Unknown;
        sex = told;
    }
    return sex;
}

}  // namespace

bool IsTitle(const std::string& word) { return TitleOf(word) != nullptr; }

PersonSex SexOfTitle(const std::string& title) {
    const std::vector<std::string> words = Words(title);
    if (words.size() != 1) return PersonSex::Unknown;
    const Title* known = TitleOf(words.front());
    return known != nullptr ? known->sex : PersonSex::Unknown;
}

PersonName NameOf(const FoundPerson& person) {
    PersonName name;
    name.given = Trimmed(person.givenNames);
    name.surname = SurnameInWrittenCase(person.surname);
    // A surname too long for the index follows the given names in full.
    const std::string mark = "(surname ";
    const std::size_t at = name.given.find(mark);
    if (at != std::string::npos && !name.given.empty() && name.given.back() == ')') {
        const std::string whole =
            Trimmed(name.given.substr(at + mark.size(), name.given.size() - at - mark.size() - 1));
        if (!whole.empty()) {
            name.surname = whole;
            name.given = Trimmed(name.given.substr(0, at));
        }
    }
    const std::vector<HeadedField> fields = whole_record::FieldsOf(person);
    name.prefix = FieldHeaded(fields, "title");
    if (name.prefix.empty()) {
        // A title opening the given names, with more names after it.
        const std::vector<std::string> words = Words(name.given);
        if (words.size() > 1 && TitleOf(words.front()) != nullptr) {
            name.prefix = words.front();
            name.given = Trimmed(name.given.substr(name.given.find(words.front()) + words.front().size()));
        }
    }
    name.birthSurname = FieldHeaded(fields, "maiden name");
    // One word is a nickname; more are a name the person went by.
    for (const char* heading : {"known as", "also known as"}) {
        const std::string known = FieldHeaded(fields, heading);
        if (known.empty()) continue;
        if (Words(known).size() == 1 && name.nickname.empty()) {
            name.nickname = known;
        } else if (name.alsoKnownAs.empty()) {
            name.alsoKnownAs = known;
        }
    }
    return name;
}

PersonSex SexOf(const FoundPerson& person) {
    const PersonSex titled = SexOfTitle(NameOf(person).prefix);
    if (titled != PersonSex::Unknown) return titled;
    if (person.code == kWillsCode) {
        const std::vector<HeadedField> fields = whole_record::FieldsOf(person);
        const PersonSex described = SexOfDescription(FieldHeaded(fields, "occupation or description"));
        if (described != PersonSex::Unknown) return described;
        return SexOfRelationship(FieldHeaded(fields, "relationship"));
    }
    for (int code : kMenOnlyRolls) {
        if (person.code != code) continue;
        // The one woman awarded the Medal of Honor, for the Civil War.
        if (person.code == 2 && Trimmed(person.surname) == "WALKER" &&
            Lower(Trimmed(person.givenNames)).rfind("mary", 0) == 0)
            return PersonSex::Unknown;
        return PersonSex::Male;
    }
    return PersonSex::Unknown;
}

const char* SexLetter(PersonSex sex) {
    switch (sex) {
        case PersonSex::Male:
            return "M";
        case PersonSex::Female:
            return "F";
        case PersonSex::Unknown:
            break;
    }
    return "U";
}

}  // namespace person_name
