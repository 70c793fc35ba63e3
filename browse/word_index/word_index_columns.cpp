#include "browse/word_index/word_index_columns.h"

#include <algorithm>

#include "browse/facets/facet_counts.h"
#include "store/content_hash.h"

namespace word_index {

void CColumnWriter::NoteYear(std::uint32_t, int slot, int year) {
    if (year < kFirstColumnYear || year > kLastColumnYear || slot < 0 || slot >= (1 << 20)) return;
    held_.push_back(YearValue(year, slot));
}

void CColumnWriter::NoteValue(std::uint32_t entry, int slot, std::string_view text) {
    if (slot < 0 || slot >= kMaxColumnSlots || entry >= entries_) return;
    if (values_.size() <= static_cast<std::size_t>(slot)) values_.resize(static_cast<std::size_t>(slot) + 1);
    Values& column = values_[static_cast<std::size_t>(slot)];
    if (column.dead) return;
    const std::string_view trimmed = facets::TrimmedValue(text);
    if (trimmed.empty()) return;
    std::string key = facets::FoldedValue(trimmed);
    auto found = column.ids.find(key);
    if (found == column.ids.end()) {
        if (column.ids.size() >= kMaxColumnValues) {
            // Too many values to count from a column: the facet reads the records.
            column = Values{};
            column.dead = true;
            return;
        }
        found = column.ids.emplace(std::move(key), static_cast<std::uint16_t>(column.ids.size() + 1)).first;
        column.shown.emplace_back(trimmed);
    }
    const std::uint16_t id = found->second;
    if (column.data.empty()) column.data.assign(entries_ * column.width, 0);
    if (id > 255 && column.width == 1) {
        std::vector<unsigned char> wide(entries_ * 2, 0);
        for (std::uint64_t i = 0; i < entries_; ++i) wide[2 * i] = column.data[i];
        column.data = std::move(wide);
        column.width = 2;
    }
    const std::size_t at = static_cast<std::size_t>(entry) * column.width;
    column.data[at] = static_cast<unsigned char>(id);
    if (column.width == 2) column.data[at + 1] = static_cast<unsigned char>(id >> 8);
}

void CColumnWriter::EndPerson(std::uint32_t entry) {
    std::sort(held_.begin(), held_.end());
    held_.erase(std::unique(held_.begin(), held_.end()), held_.end());
    if (!held_.empty() && entry < entries_) {
        years_[entry] = held_[0] | (held_.size() > 1 ? kMorePairs : 0);
        for (std::size_t i = 1; i < held_.size(); ++i) moreYears_.emplace_back(entry, held_[i]);
    }
    held_.clear();
}

void CColumnWriter::WriteColumn(const std::vector<unsigned char>& data, unsigned width, std::uint64_t& at,
                                const std::function<void(const std::vector<unsigned char>&)>& put,
                                std::vector<unsigned char>& directory) {
    PutVarint(directory, width);
    PutVarint(directory, at);
    PutVarint(directory, entries_);
    PutVarint(directory, kColumnBlockEntries);
    const std::size_t block = static_cast<std::size_t>(kColumnBlockEntries) * width;
    for (std::size_t start = 0; start < data.size(); start += block) {
        const std::size_t length = std::min(block, data.size() - start);
        PutU32(directory, ContentHash32(data.data() + start, length));
    }
    put(data);
    at += data.size();
}

void CColumnWriter::Write(const std::function<void(const std::vector<unsigned char>&)>& put,
                          std::vector<unsigned char>& directory) {
    std::uint64_t at = 0;
    std::size_t live = 0;
    std::vector<std::size_t> dead;
    for (std::size_t slot = 0; slot < values_.size(); ++slot) {
        live += !values_[slot].dead && !values_[slot].shown.empty();
        if (values_[slot].dead) dead.push_back(slot);
    }
    // Which slots have their values counted here: those below the limit
    // that did not pass kMaxColumnValues (a slot without a column and not
    // named dead holds blank fields alone).
    PutVarint(directory, kMaxColumnSlots);
    PutVarint(directory, dead.size());
    for (std::size_t slot : dead) PutVarint(directory, slot);
    PutVarint(directory, 1 + live);
    // The years, then the pairs of the people who hold more than one.
    {
        directory.push_back(kYearsColumn);
        PutVarint(directory, 0);
        std::vector<unsigned char> data;
        data.reserve(years_.size() * 4);
        for (std::uint32_t value : years_) PutU32(data, value);
        years_ = std::vector<std::uint32_t>();
        WriteColumn(data, 4, at, put, directory);
        data.clear();
        for (const auto& [entry, value] : moreYears_) {
            PutU32(data, entry);
            PutU32(data, value);
        }
        PutVarint(directory, at);
        PutVarint(directory, moreYears_.size());
        PutU32(directory, ContentHash32(data.data(), data.size()));
        put(data);
        at += data.size();
    }
    for (std::size_t slot = 0; slot < values_.size(); ++slot) {
        Values& column = values_[slot];
        if (column.dead || column.shown.empty()) continue;
        directory.push_back(kValuesColumn);
        PutVarint(directory, slot);
        WriteColumn(column.data, column.width, at, put, directory);
        std::vector<unsigned char> texts;
        for (const std::string& text : column.shown) {
            PutVarint(texts, text.size());
            texts.insert(texts.end(), text.begin(), text.end());
        }
        PutVarint(directory, at);
        PutVarint(directory, texts.size());
        PutVarint(directory, column.shown.size());
        PutU32(directory, ContentHash32(texts.data(), texts.size()));
        put(texts);
        at += texts.size();
        column = Values{};
    }
}

}  // namespace word_index
