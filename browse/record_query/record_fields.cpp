#include "browse/record_query/record_fields.h"

#include "browse/record_query/record_words.h"
#include "browse/record_text/record_format.h"
#include "browse/record_text/record_parts.h"

namespace record_fields {
namespace {

// The heading slot that label slot k belongs to: k itself for a heading, the
// heading before a run of joining slots; -1 for an empty slot, a joining
// slot with no heading before it, and anything from the end mark on.
int HeadingSlotOf(int code, std::size_t k) {
    const record_format::LabelTable* table = record_format::LabelTableOf(code);
    if (table == nullptr) return -1;
    for (std::size_t i = 0; i <= k && i < static_cast<std::size_t>(record_format::kSlotCount); ++i) {
        if (static_cast<unsigned char>((*table)[i][0]) == record_format::kEndMark) return -1;
    }
    for (std::size_t i = k + 1; i-- > 0;) {
        if (i >= static_cast<std::size_t>(record_format::kSlotCount)) return -1;
        const char first = (*table)[i][0];
        if (first == ',') continue;
        return first == '\0' ? -1 : static_cast<int>(i);
    }
    return -1;
}

std::string HeadingText(int code, int slot) {
    return record_parts::FieldHead(code, static_cast<std::size_t>(slot));
}

bool IsNumber(std::string_view text, int& value) { return record_words::ParseDigits(text, 6, value); }

}  // namespace

bool ParseFieldChoice(std::string_view text, FieldChoice& choice, std::string& error) {
    choice = FieldChoice{};
    choice.text = std::string(text);
    const std::vector<std::string> words = record_words::WordsOf(text);
    int number = 0;
    const bool numbered =
        IsNumber(text, number) || (words.size() == 2 && words[0] == "FIELD" && IsNumber(words[1], number));
    if (numbered) {
        if (number < 1 || number > kMaxFieldNumber) {
            error = "--field: a field number runs from 1 (the record's first field) to " +
                    std::to_string(kMaxFieldNumber);
            return false;
        }
        choice.kind = FieldChoice::Kind::Number;
        choice.number = number;
        return true;
    }
    if (words.empty()) {
        error =
            "--field: '" + std::string(text) + "' names no field: give a heading, a number, surname or given";
        return false;
    }
    if (words == std::vector<std::string>{"SURNAME"}) {
        choice.kind = FieldChoice::Kind::Surname;
    } else if (words == std::vector<std::string>{"GIVEN"} ||
               words == std::vector<std::string>{"GIVEN", "NAMES"}) {
        choice.kind = FieldChoice::Kind::Given;
    } else {
        choice.kind = FieldChoice::Kind::Heading;
        choice.headingWords = words;
    }
    return true;
}

FieldSet FieldSet::All() {
    FieldSet set;
    set.all_ = true;
    return set;
}

void FieldSet::Add(int slot) {
    if (slot < 0 || Has(slot)) return;
    if (static_cast<std::size_t>(slot) >= slots_.size()) slots_.resize(static_cast<std::size_t>(slot) + 1);
    slots_[static_cast<std::size_t>(slot)] = true;
    only_ = count_ == 0 ? slot : -1;
    ++count_;
}

FieldSet FieldSetOf(int code, const FieldChoice& choice) {
    FieldSet set;
    switch (choice.kind) {
        case FieldChoice::Kind::Any:
            return FieldSet::All();
        case FieldChoice::Kind::Surname:
            set.Add(kSurnameSlot);
            break;
        case FieldChoice::Kind::Given:
            set.Add(kGivenSlot);
            break;
        case FieldChoice::Kind::Number:
            set.Add(SlotOfField(static_cast<std::size_t>(choice.number - 1)));
            break;
        case FieldChoice::Kind::Heading:
            for (std::size_t k = 0; k < static_cast<std::size_t>(record_format::kSlotCount); ++k) {
                const int heading = HeadingSlotOf(code, k);
                if (heading >= 0 &&
                    record_words::WordsOf(HeadingText(code, heading)) == choice.headingWords) {
                    set.Add(SlotOfField(k));
                }
            }
            break;
    }
    return set;
}

std::vector<std::string> HeadingsOf(int code) {
    std::vector<std::string> headings;
    for (std::size_t k = 0; k < static_cast<std::size_t>(record_format::kSlotCount); ++k) {
        if (HeadingSlotOf(code, k) != static_cast<int>(k)) continue;
        const std::string text = HeadingText(code, static_cast<int>(k));
        bool seen = false;
        for (const std::string& heading : headings) seen = seen || heading == text;
        if (!seen) headings.push_back(text);
    }
    return headings;
}

FieldLabel LabelOfSlot(int code, int slot) {
    if (slot == kSurnameSlot) return FieldLabel{"surname", 0};
    if (slot == kGivenSlot) return FieldLabel{"given names", 0};
    const std::size_t k = static_cast<std::size_t>(slot - kFirstRecordSlot);
    const int heading = HeadingSlotOf(code, k);
    if (heading < 0) return FieldLabel{std::string(), static_cast<int>(k) + 1};
    return FieldLabel{HeadingText(code, heading), 0};
}

}  // namespace record_fields
