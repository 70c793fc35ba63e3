#include "browse/export/event_fields.h"

#include <cctype>

#include "browse/export/calendar_date.h"
#include "store/blank_trim.h"

namespace event_fields {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads a text from 'at' on, a word at a time; a failed read takes nothing.
class Reader {
public:
    Reader(const std::string& text, std::size_t at) : text_(&text), at_(at) {}
    std::size_t At() const { return at_; }
    bool AtEnd() {
        SkipBlanks();
        return at_ >= text_->size();
    }
    void SkipBlanks() {
        while (at_ < text_->size() && IsBlankOrTab((*text_)[at_])) ++at_;
    }
    // A run of minDigits to maxDigits digits that ends at a blank, a comma,
    // a dash or the end.
    bool Number(std::size_t minDigits, std::size_t maxDigits, int& value) {
        SkipBlanks();
        std::size_t end = at_;
        while (end < text_->size() && IsDigit((*text_)[end])) ++end;
        const std::size_t digits = end - at_;
        if (digits < minDigits || digits > maxDigits) return false;
        if (end < text_->size() && !IsBlankOrTab((*text_)[end]) && (*text_)[end] != ',' &&
            (*text_)[end] != '-')
            return false;
        value = std::stoi(text_->substr(at_, digits));
        at_ = end;
        return true;
    }
    // A word of letters and dots, lower-cased.
    bool Word(std::string& word) {
        SkipBlanks();
        std::size_t end = at_;
        while (end < text_->size() &&
               (std::isalpha(static_cast<unsigned char>((*text_)[end])) != 0 || (*text_)[end] == '.'))
            ++end;
        if (end == at_) return false;
        word = Lower(text_->substr(at_, end - at_));
        at_ = end;
        return true;
    }
    bool Month(int& month) {
        Reader probe = *this;
        std::string word;
        if (!probe.Word(word)) return false;
        month = calendar_date::MonthOfName(word);
        if (month == 0) return false;
        *this = probe;
        return true;
    }
    bool Mark(char mark) {
        SkipBlanks();
        if (at_ >= text_->size() || (*text_)[at_] != mark) return false;
        ++at_;
        return true;
    }

private:
    const std::string* text_;
    std::size_t at_;
};

std::string MonthTag(int month) {
    std::string tag = std::string(calendar_date::MonthName(month)).substr(0, 3);
    for (char& c : tag) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tag;
}

// One date: "D Month YYYY", "Month D[,] YYYY", "Month YYYY" or "YYYY".
bool ReadOne(Reader& reader, std::string& date) {
    CalendarDate day;
    Reader dayFirst = reader;
    if (dayFirst.Number(1, 2, day.day) && dayFirst.Month(day.month) && dayFirst.Number(4, 4, day.year)) {
        if (day.year < 1000 || !calendar_date::IsValid(day)) return false;
        reader = dayFirst;
        date = calendar_date::AsGedcom(day);
        return true;
    }
    Reader monthFirst = reader;
    if (monthFirst.Month(day.month)) {
        Reader withDay = monthFirst;
        if (withDay.Number(1, 2, day.day)) {
            withDay.Mark(',');
            if (!withDay.Number(4, 4, day.year) || day.year < 1000 || !calendar_date::IsValid(day))
                return false;
            reader = withDay;
            date = calendar_date::AsGedcom(day);
            return true;
        }
        if (!monthFirst.Number(4, 4, day.year) || day.year < 1000) return false;
        reader = monthFirst;
        date = MonthTag(day.month) + " " + std::to_string(day.year);
        return true;
    }
    Reader yearOnly = reader;
    if (!yearOnly.Number(4, 4, day.year) || day.year < 1000) return false;
    reader = yearOnly;
    date = std::to_string(day.year);
    return true;
}

// The qualifier a word puts before a date, or null.
const char* QualifierOf(const std::string& word) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"abt.", "ABT"}, {"abt", "ABT"},   {"about", "ABT"},  {"c.", "ABT"},
        {"ca.", "ABT"},  {"circa", "ABT"}, {"before", "BEF"}, {"bef.", "BEF"},
        {"bef", "BEF"},  {"after", "AFT"}, {"aft.", "AFT"},   {"aft", "AFT"},
    };
    for (const auto& [written, tag] : kWords) {
        if (word == written) return tag;
    }
    return nullptr;
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

bool ReadDate(const std::string& text, std::string& date, std::size_t& end) {
    Reader reader(text, 0);
    const char* qualifier = nullptr;
    Reader qualified = reader;
    std::string word;
    if (qualified.Word(word) && (qualifier = QualifierOf(word)) != nullptr) reader = qualified;
    std::string first;
    if (!ReadOne(reader, first)) return false;
    if (qualifier != nullptr) {
        date = std::string(qualifier) + " " + first;
        end = reader.At();
        return true;
    }
    // A second date after "or", "to", "and" or a dash makes a range.
    Reader joined = reader;
    std::string second;
    if ((joined.Mark('-') || (joined.Word(word) && (word == "or" || word == "to" || word == "and"))) &&
        ReadOne(joined, second)) {
        date = "BET " + first + " AND " + second;
        end = joined.At();
        return true;
    }
    date = first;
    end = reader.At();
    return true;
}

bool ReadEventField(const std::string& field, EventField& event) {
    const std::string text = Trimmed(field);
    std::string date;
    std::size_t end = 0;
    if (!ReadDate(text, date, end)) {
        if (!IsPlace(text)) return false;
        event = EventField{{}, text, true};
        return true;
    }
    event = EventField{date, {}, true};
    Reader rest(text, end);
    if (rest.AtEnd()) return true;
    if (rest.Mark(',')) {
        const std::string place = Trimmed(text.substr(rest.At()));
        if (IsPlace(place)) {
            event.place = place;
            return true;
        }
    }
    event.whole = false;
    return true;
}

}  // namespace event_fields
