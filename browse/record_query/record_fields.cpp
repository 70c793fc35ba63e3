#include "browse/record_query/record_fields.h"

#include <algorithm>

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

std::string HeadingText(int code, std::size_t k) { return record_parts::FieldHead(code, k); }

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

namespace {

// Adds each heading once, as words.
void AddHeading(std::vector<std::string>& headings, std::vector<std::vector<std::string>>& words,
                const std::string& heading) {
    std::vector<std::string> folded = record_words::WordsOf(heading);
    if (heading.empty() || std::find(words.begin(), words.end(), folded) != words.end()) return;
    words.push_back(std::move(folded));
    headings.push_back(heading);
}

void AddHeadingsOf(const FieldHeadings& headings, std::vector<std::string>& out,
                   std::vector<std::vector<std::string>>& words) {
    const int code = headings.Code();
    if (!headings.AnyOnDisk()) {
        for (std::size_t k = 0; k < static_cast<std::size_t>(record_format::kSlotCount); ++k) {
            if (HeadingSlotOf(code, k) == static_cast<int>(k)) AddHeading(out, words, HeadingText(code, k));
        }
        return;
    }
    for (std::size_t k = 0; k < headings.Disk().size(); ++k)
        AddHeading(out, words, headings.OnDisk(k) ? headings.Disk()[k] : LabelHeading(code, k));
}

}  // namespace

FieldSet FieldSetOf(const FieldHeadings& headings, const FieldChoice& choice) {
    const int code = headings.Code();
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
                if (heading >= 0 && record_words::WordsOf(HeadingText(
                                        code, static_cast<std::size_t>(heading))) == choice.headingWords) {
                    set.Add(SlotOfField(k));
                }
            }
            for (std::size_t k = 0; k < headings.Disk().size(); ++k) {
                if (headings.OnDisk(k) && record_words::WordsOf(headings.Disk()[k]) == choice.headingWords)
                    set.Add(SlotOfField(k));
            }
            break;
    }
    return set;
}

std::vector<std::string> HeadingsOf(const FieldHeadings& headings) {
    std::vector<std::string> out;
    std::vector<std::vector<std::string>> words;
    AddHeadingsOf(headings, out, words);
    return out;
}

std::vector<std::string> HeadingsOfAll(const std::vector<FieldHeadings>& databases) {
    std::vector<std::string> out;
    std::vector<std::vector<std::string>> words;
    for (const FieldHeadings& headings : databases) AddHeadingsOf(headings, out, words);
    return out;
}

FieldLabel LabelOfSlot(const FieldHeadings& headings, int slot) {
    if (slot == kSurnameSlot) return FieldLabel{"surname", 0};
    if (slot == kGivenSlot) return FieldLabel{"given names", 0};
    const std::size_t k = static_cast<std::size_t>(slot - kFirstRecordSlot);
    if (headings.OnDisk(k)) return FieldLabel{headings.Disk()[k], 0};
    const int code = headings.Code();
    const int heading = HeadingSlotOf(code, k);
    if (heading < 0) return FieldLabel{std::string(), static_cast<int>(k) + 1};
    return FieldLabel{HeadingText(code, static_cast<std::size_t>(heading)), 0};
}

}  // namespace record_fields
