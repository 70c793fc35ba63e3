#include "browse/facets/facet_counts.h"

#include <algorithm>

#include "browse/names/name_letters.h"
#include "browse/record_query/record_words.h"

namespace facets {

std::string_view TrimmedValue(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view();
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::string FoldedValue(std::string_view trimmed) {
    std::string key;
    key.reserve(trimmed.size());
    for (char byte : trimmed) {
        const name_letters::Letters letters = name_letters::LettersOf(byte);
        if (letters.first == '\0') {
            key += byte;
            continue;
        }
        key += letters.first;
        if (letters.second != '\0') key += letters.second;
    }
    return key;
}

void CYearTally::NoteText(std::string_view text) {
    record_words::ForEachWord(text, [this](const std::string& word, std::size_t) {
        int value = 0;
        if (record_words::IsYearWord(word, value)) Note(value);
    });
}

void CYearTally::EndPerson() {
    std::sort(held_.begin(), held_.end());
    held_.erase(std::unique(held_.begin(), held_.end()), held_.end());
    for (int year : held_) ++counts_[static_cast<std::size_t>(year - kFirstYear)];
    held_.clear();
}

std::vector<YearCount> CYearTally::Result() const {
    std::vector<YearCount> years;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        if (counts_[i] > 0) years.push_back(YearCount{kFirstYear + static_cast<int>(i), counts_[i]});
    }
    return years;
}

void CValueTally::NoteText(std::string_view text) {
    const std::string_view trimmed = TrimmedValue(text);
    if (!trimmed.empty()) NoteKey(FoldedValue(trimmed), trimmed);
}

void CValueTally::NoteKey(const std::string& key, std::string_view shown) {
    auto found = byKey_.find(key);
    if (found == byKey_.end()) {
        found = byKey_.emplace(key, values_.size()).first;
        values_.push_back(Value{std::string(shown), key, 0});
    }
    held_.push_back(found->second);
}

void CValueTally::EndPerson() {
    std::sort(held_.begin(), held_.end());
    held_.erase(std::unique(held_.begin(), held_.end()), held_.end());
    for (std::size_t value : held_) ++values_[value].count;
    held_.clear();
}

void CValueTally::Merge(const CValueTally& other) {
    for (const Value& value : other.values_) {
        if (value.count == 0) continue;
        NoteKey(value.key, value.shown);
        values_[held_.back()].count += value.count;
        held_.clear();
    }
}

std::vector<ValueCount> CValueTally::Result() const {
    std::vector<const Value*> order;
    for (const Value& value : values_) {
        if (value.count > 0) order.push_back(&value);
    }
    std::sort(order.begin(), order.end(), [](const Value* a, const Value* b) {
        if (a->count != b->count) return a->count > b->count;
        return a->key != b->key ? a->key < b->key : a->shown < b->shown;
    });
    std::vector<ValueCount> result;
    result.reserve(order.size());
    for (const Value* value : order) result.push_back(ValueCount{value->shown, value->count});
    return result;
}

}  // namespace facets
