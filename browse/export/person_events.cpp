#include "browse/export/person_events.h"

#include <cctype>

#include "browse/export/calendar_date.h"
#include "store/blank_trim.h"

namespace person_events {
namespace {

// Database codes and the fields they state births and deaths in.
constexpr int kConfederateGenerals = 1;
constexpr int kCivilWarMedal = 2;
constexpr int kUnionGenerals = 4;
constexpr int kVietnamMedal = 5;
constexpr int kWorldWar1Medal = 6;
constexpr int kWorldWar2Medal = 7;
constexpr int kGraves = 11;

constexpr std::size_t kGeneralsBorn = 0;
constexpr std::size_t kGeneralsDied = 1;
constexpr std::size_t kCivilWarBirth = 6;
constexpr std::size_t kMedalBirthPlace = 6;
constexpr std::size_t kMedalBorn = 7;
constexpr std::size_t kGravesDeath = 4;
constexpr std::size_t kGravesStatus = 6;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the text at 'at' word by word: runs of digits, runs of anything else
// but blanks and commas, and the commas themselves.
class Words {
public:
    explicit Words(const std::string& text) : text_(&text) {}
    std::size_t At() const { return at_; }
    void SkipBlanks() {
        while (at_ < text_->size() && IsBlankOrTab((*text_)[at_])) ++at_;
    }
    // A run of 1 to maxDigits digits that ends there, or false (nothing taken).
    bool Number(std::size_t minDigits, std::size_t maxDigits, int& value) {
        SkipBlanks();
        std::size_t end = at_;
        while (end < text_->size() && IsDigit((*text_)[end])) ++end;
        const std::size_t digits = end - at_;
        if (digits < minDigits || digits > maxDigits) return false;
        if (end < text_->size() && !IsBlankOrTab((*text_)[end]) && (*text_)[end] != ',') return false;
        value = std::stoi(text_->substr(at_, digits));
        at_ = end;
        return true;
    }
    bool Month(int& month) {
        SkipBlanks();
        std::size_t end = at_;
        while (end < text_->size() && !IsBlankOrTab((*text_)[end]) && (*text_)[end] != ',') ++end;
        month = calendar_date::MonthOfName(text_->substr(at_, end - at_));
        if (month == 0) return false;
        at_ = end;
        return true;
    }
    bool Comma() {
        SkipBlanks();
        if (at_ >= text_->size() || (*text_)[at_] != ',') return false;
        ++at_;
        return true;
    }

private:
    const std::string* text_;
    std::size_t at_ = 0;
};

bool AsEvent(const CalendarDate& date, bool yearOnly, std::string& out) {
    if (yearOnly) {
        if (date.year < 1000) return false;
        out = std::to_string(date.year);
        return true;
    }
    if (date.year < 1000 || !calendar_date::IsValid(date)) return false;
    out = calendar_date::AsGedcom(date);
    return true;
}

// The date at the start of the text: "D Month YYYY", "Month D, YYYY" or
// "YYYY"; words.At() is then just past it.
bool ReadDate(Words& words, std::string& date) {
    CalendarDate day;
    Words dayFirst = words;
    if (dayFirst.Number(1, 2, day.day) && dayFirst.Month(day.month) && dayFirst.Number(4, 4, day.year)) {
        words = dayFirst;
        return AsEvent(day, false, date);
    }
    Words monthFirst = words;
    if (monthFirst.Month(day.month) && monthFirst.Number(1, 2, day.day) && monthFirst.Comma() &&
        monthFirst.Number(4, 4, day.year)) {
        words = monthFirst;
        return AsEvent(day, false, date);
    }
    Words yearOnly = words;
    if (yearOnly.Number(4, 4, day.year)) {
        words = yearOnly;
        return AsEvent(day, true, date);
    }
    return false;
}

bool StatusIsDeath(const std::string& status) {
    std::string lower = Trimmed(status);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.compare(0, 6, "killed") == 0 || lower.compare(0, 4, "died") == 0;
}

const std::string& FieldOf(const FoundPerson& person, std::size_t k) {
    static const std::string kNone;
    return k < person.fields.size() ? person.fields[k] : kNone;
}

void AddDated(const FoundPerson& person, std::size_t k, const char* tag, std::vector<PersonEvent>& events) {
    PersonEvent event{tag, {}, {}};
    if (ReadDatedField(FieldOf(person, k), event.date, event.place)) events.push_back(event);
}

}  // namespace

bool IsPlace(const std::string& field) {
    const std::string place = Trimmed(field);
    if (place.empty() || place.size() > kMaxPlace) return false;
    bool letter = false;
    for (char c : place) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsDigit(c) || byte < 0x20 || byte == 0x7F) return false;
        letter = letter || std::isalpha(byte) != 0 || byte >= 0xC0;
    }
    return letter;
}

bool ReadDatedField(const std::string& field, std::string& date, std::string& place) {
    const std::string text = Trimmed(field);
    Words words(text);
    std::string read;
    if (!ReadDate(words, read)) return false;
    words.SkipBlanks();
    std::string rest;
    if (words.At() < text.size()) {
        if (!words.Comma()) return false;
        rest = text.substr(words.At());
        if (!IsPlace(rest)) return false;
    }
    date = read;
    place = Trimmed(rest);
    return true;
}

std::vector<PersonEvent> EventsOf(const FoundPerson& person) {
    std::vector<PersonEvent> events;
    switch (person.code) {
        case kConfederateGenerals:
        case kUnionGenerals:
            AddDated(person, kGeneralsBorn, "BIRT", events);
            AddDated(person, kGeneralsDied, "DEAT", events);
            break;
        case kCivilWarMedal:
            AddDated(person, kCivilWarBirth, "BIRT", events);
            break;
        case kVietnamMedal:
        case kWorldWar1Medal:
        case kWorldWar2Medal: {
            AddDated(person, kMedalBirthPlace, "BIRT", events);
            if (!events.empty()) break;
            PersonEvent birth{"BIRT", {}, {}};
            std::string placeInBorn;
            if (!ReadDatedField(FieldOf(person, kMedalBorn), birth.date, placeInBorn)) break;
            const std::string& birthPlace = FieldOf(person, kMedalBirthPlace);
            birth.place = placeInBorn.empty() && IsPlace(birthPlace) ? Trimmed(birthPlace) : placeInBorn;
            events.push_back(birth);
            break;
        }
        case kGraves:
            if (!StatusIsDeath(FieldOf(person, kGravesStatus))) break;
            AddDated(person, kGravesDeath, "DEAT", events);
            break;
        default:
            break;
    }
    return events;
}

}  // namespace person_events
