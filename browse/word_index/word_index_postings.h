#pragma once
// What a build of the word index knows of the words while it gathers them
// (every distinct word, the people and fields it is in), and the encoding
// of one word's people into its posting region (word_index_format.h).

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "browse/word_index/word_index_format.h"
#include "store/content_hash.h"

namespace word_index {

// Every distinct word, with what the index says of it.
class WordTable {
public:
    struct Word {
        std::uint32_t offset;
        std::uint32_t length;
        std::uint32_t people = 0;
        std::int32_t lastEntry = -1;
        std::uint32_t slot = 0;
        bool anySlot = false;
        bool severalSlots = false;
        std::uint32_t lastPiece = UINT32_MAX;
    };
    WordTable() : table_(1 << 10, 0) {}
    std::uint32_t Intern(std::string_view text) {
        if ((words_.size() + 1) * 2 > table_.size()) Grow();
        const std::size_t mask = table_.size() - 1;
        for (std::size_t at = ContentHash(text.data(), text.size()) & mask;; at = (at + 1) & mask) {
            const std::uint32_t id = table_[at];
            if (id == 0) {
                table_[at] = static_cast<std::uint32_t>(words_.size() + 1);
                words_.push_back(
                    Word{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(text.size())});
                text_.insert(text_.end(), text.begin(), text.end());
                return static_cast<std::uint32_t>(words_.size() - 1);
            }
            if (Text(id - 1) == text) return id - 1;
        }
    }
    std::string_view Text(std::uint32_t id) const {
        return std::string_view(text_.data() + words_[id].offset, words_[id].length);
    }
    Word& operator[](std::uint32_t id) { return words_[id]; }
    std::size_t Size() const { return words_.size(); }
    bool Less(std::uint32_t a, std::uint32_t b) const { return Text(a) < Text(b); }

private:
    void Grow() {
        std::vector<std::uint32_t> bigger(table_.size() * 2, 0);
        const std::size_t mask = bigger.size() - 1;
        for (std::uint32_t id = 0; id < words_.size(); ++id) {
            const std::string_view text = Text(id);
            std::size_t at = ContentHash(text.data(), text.size()) & mask;
            while (bigger[at] != 0) at = (at + 1) & mask;
            bigger[at] = id + 1;
        }
        table_.swap(bigger);
    }
    std::vector<char> text_;
    std::vector<Word> words_;
    std::vector<std::uint32_t> table_;
};

// Encodes the people of one word into its posting region.
class PostingEncoder {
public:
    void Start(std::uint32_t people, bool severalSlots) {
        people_ = people;
        severalSlots_ = severalSlots;
        blocks_.clear();
        block_.clear();
        skip_.clear();
        inBlock_ = 0;
        haveEntry_ = false;
        occurrences_.clear();
    }
    void Add(std::uint32_t entry, std::uint16_t slot, std::uint16_t position) {
        if (haveEntry_ && entry != entry_) EndPerson();
        entry_ = entry;
        haveEntry_ = true;
        occurrences_.push_back({slot, position});
    }
    // The region, and its hash as the dictionary keeps it.
    void Finish(std::vector<unsigned char>& region, std::uint32_t& hash) {
        if (haveEntry_) EndPerson();
        if (inBlock_ > 0) EndBlock();
        region.clear();
        if (skip_.size() <= kSkipEntrySize) {
            region.swap(blocks_);
            hash = ContentHash32(region.data(), region.size());
            return;
        }
        hash = ContentHash32(skip_.data(), skip_.size());
        region = skip_;
        region.insert(region.end(), blocks_.begin(), blocks_.end());
    }

private:
    void EndPerson() {
        const bool several = occurrences_.size() > 1;
        const std::uint64_t value = inBlock_ == 0 ? entry_ : entry_ - previous_;
        if (inBlock_ == 0) blockFirst_ = entry_;
        PutVarint(block_, value << 1 | (several ? 1 : 0));
        if (several) PutVarint(block_, occurrences_.size());
        for (const auto& occurrence : occurrences_) {
            if (severalSlots_) PutVarint(block_, occurrence.first);
            PutVarint(block_, occurrence.second);
        }
        occurrences_.clear();
        previous_ = entry_;
        if (++inBlock_ == kDocsPerBlock) EndBlock();
    }
    void EndBlock() {
        PutU32(skip_, blockFirst_);
        PutU32(skip_, static_cast<std::uint32_t>(blocks_.size()));
        PutU32(skip_, ContentHash32(block_.data(), block_.size()));
        blocks_.insert(blocks_.end(), block_.begin(), block_.end());
        block_.clear();
        inBlock_ = 0;
    }
    std::uint32_t people_ = 0;
    bool severalSlots_ = false;
    std::vector<unsigned char> blocks_;
    std::vector<unsigned char> block_;
    std::vector<unsigned char> skip_;
    std::uint32_t inBlock_ = 0;
    std::uint32_t blockFirst_ = 0;
    std::uint32_t previous_ = 0;
    std::uint32_t entry_ = 0;
    bool haveEntry_ = false;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> occurrences_;
};

}  // namespace word_index
