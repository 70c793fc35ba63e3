#pragma once
// A cursor over one word's people in the word index, in entry order, with
// where the word is at each. Given a reader, it reads its region as it is
// walked: the skip table first, then a window of blocks at a time (32 KB;
// CWordIndexReader::SetCursorWindow), so that
// a word asked of a few people reads a few blocks, and a word walked whole
// touches one window's memory rather than its whole region's.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "browse/word_index/word_index_reader.h"
#include "store/content_hash.h"

namespace word_index {

struct Occurrence {
    std::uint16_t slot;
    std::uint16_t position;
};

class Cursor {
public:
    // The region given whole, already checked as ReadRegion checks it.
    Cursor(std::vector<unsigned char> region, const WordRef& ref, const Header& header)
        : ref_(ref), held_(header.entriesHeld), slots_(header.slotCount), window_(std::move(region)) {
        Shape();
        tableAt_ = window_.data();
    }
    // The region read from reader as it is walked (the reader outlives the cursor); Open first.
    Cursor(CWordIndexReader& reader, const WordRef& ref, const Header& header)
        : reader_(&reader), ref_(ref), held_(header.entriesHeld), slots_(header.slotCount) {
        Shape();
    }
    Cursor(Cursor&&) noexcept = default;
    Cursor& operator=(Cursor&&) noexcept = default;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // Reads and checks the skip table, or the one block of a short word.
    IndexStatus Open() {
        if (blocks_ <= 1) {
            status_ = reader_->ReadRegion(ref_, window_);
            windowFrom_ = 0;
            return status_;
        }
        status_ = reader_->ReadRegionPart(ref_, 0, tableSize_, table_);
        if (status_ == IndexStatus::Ready && ContentHash32(table_.data(), table_.size()) != ref_.hash)
            status_ = IndexStatus::Damaged;
        tableAt_ = table_.data();
        return status_;
    }

    // Ready, or what went wrong (a damage, or a read that failed).
    IndexStatus Status() const { return status_; }
    bool Failed() const { return status_ != IndexStatus::Ready; }
    std::uint32_t Entry() const { return entry_; }
    // Where the word is at the person: read when first asked, as a person
    // walked only to learn whom the word is in never needs it.
    const std::vector<Occurrence>& Occurrences() {
        if (!occurrencesRead_) ReadOccurrences();
        return occurrences_;
    }

    // To the next person; false at the end or on a failure.
    bool Next() {
        if (ended_ || Failed()) return false;
        if (!started_) return Decode();
        if (left_ == 0) {
            if (p_ != blockEnd_) return Fail();
            if (block_ + 1 >= blocks_) {
                ended_ = true;
                return false;
            }
            if (!EnterBlock(block_ + 1)) return false;
        }
        return Decode();
    }
    // To the first person at or after entry; false when there is none.
    bool SeekTo(std::uint32_t entry) {
        if (Failed() || ended_) return false;
        if (started_ && entry_ >= entry) return true;
        if (blocks_ > 1 && !(started_ && (block_ + 1 >= blocks_ || entry < FirstOf(block_ + 1)))) {
            // The last block that starts at or before entry.
            std::uint64_t low = started_ ? block_ : 0;
            std::uint64_t high = blocks_ - 1;
            while (low < high) {
                const std::uint64_t middle = (low + high + 1) / 2;
                if (FirstOf(middle) <= entry) {
                    low = middle;
                } else {
                    high = middle - 1;
                }
            }
            if (!started_ || low > block_) {
                if (!EnterBlock(low)) return false;
                if (!Decode()) return false;
            }
        } else if (!started_ && !Next()) {
            return false;
        }
        // From here the entry lies in the block entered (or past the last).
        while (entry_ < entry) {
            if (!Next()) return false;
        }
        return true;
    }

private:
    void Shape() {
        blocks_ = (ref_.people + kDocsPerBlock - 1) / kDocsPerBlock;
        tableSize_ = blocks_ > 1 ? blocks_ * kSkipEntrySize : 0;
    }
    bool Fail() {
        status_ = IndexStatus::Damaged;
        return false;
    }
    std::uint32_t FirstOf(std::uint64_t block) const { return U32At(tableAt_ + block * kSkipEntrySize); }

    // Reads the region from start, at least to end and a window ahead.
    bool ReadWindow(std::uint64_t start, std::uint64_t end) {
        if (reader_ == nullptr) return Fail();  // a region given whole holds every block
        const std::uint64_t length =
            std::min(ref_.length - start, std::max(end - start, reader_->CursorWindow()));
        status_ = reader_->ReadRegionPart(ref_, start, length, window_);
        windowFrom_ = start;
        if (status_ == IndexStatus::Ready) return true;
        window_.clear();
        return false;
    }
    bool EnterBlock(std::uint64_t block) {
        // What was read of the person before may lie in a window read over now.
        occurrencesRead_ = true;
        occurrences_.clear();
        std::uint64_t start = 0;
        std::uint64_t end = ref_.length;
        if (blocks_ > 1) {
            const unsigned char* entry = tableAt_ + block * kSkipEntrySize;
            start = tableSize_ + U32At(entry + 4);
            end = block + 1 < blocks_ ? tableSize_ + U32At(entry + 16) : ref_.length;
            if (start > end || end > ref_.length || (block > 0 && FirstOf(block) <= FirstOf(block - 1)))
                return Fail();
            if ((start < windowFrom_ || end - windowFrom_ > window_.size()) && !ReadWindow(start, end))
                return false;
            if (ContentHash32(window_.data() + (start - windowFrom_),
                              static_cast<std::size_t>(end - start)) != U32At(entry + 8)) {
                return Fail();
            }
        } else if (window_.size() != ref_.length || windowFrom_ != 0) {
            return Fail();
        }
        block_ = block;
        p_ = window_.data() + (start - windowFrom_);
        blockEnd_ = window_.data() + (end - windowFrom_);
        left_ = block + 1 < blocks_ ? kDocsPerBlock
                                    : ref_.people - static_cast<std::uint32_t>(block * kDocsPerBlock);
        first_ = true;
        return true;
    }
    bool Decode() {
        if (!started_ && !EnterBlock(0)) return false;
        started_ = true;
        std::uint64_t head = 0;
        if (!ReadVarint(p_, blockEnd_, head)) return Fail();
        const std::uint64_t value = head >> 1;
        std::uint64_t entry = 0;
        if (first_) {
            entry = value;
            if (blocks_ > 1 && entry != FirstOf(block_)) return Fail();
        } else {
            if (value == 0) return Fail();
            entry = static_cast<std::uint64_t>(entry_) + value;
        }
        if (entry >= held_) return Fail();
        std::uint64_t count = 1;
        if ((head & 1) != 0 && (!ReadVarint(p_, blockEnd_, count) || count < 2 || count > kMaxOccurrences))
            return Fail();
        // Stepped over now, read if asked.
        occurrencesAt_ = p_;
        occurrenceCount_ = static_cast<std::uint32_t>(count);
        occurrencesRead_ = false;
        occurrences_.clear();
        const std::uint64_t varints = ref_.slot < 0 ? 2 * count : count;
        for (std::uint64_t i = 0; i < varints; ++i) {
            if (!SkipVarint(p_, blockEnd_)) return Fail();
        }
        entry_ = static_cast<std::uint32_t>(entry);
        first_ = false;
        --left_;
        return true;
    }
    void ReadOccurrences() {
        occurrencesRead_ = true;
        if (Failed()) return;
        const unsigned char* p = occurrencesAt_;
        for (std::uint32_t i = 0; i < occurrenceCount_; ++i) {
            std::uint64_t slot = static_cast<std::uint64_t>(ref_.slot);
            std::uint64_t position = 0;
            if ((ref_.slot < 0 && !ReadVarint(p, blockEnd_, slot)) || !ReadVarint(p, blockEnd_, position) ||
                slot >= slots_ || position >= UINT16_MAX) {
                occurrences_.clear();
                Fail();
                return;
            }
            occurrences_.push_back(
                Occurrence{static_cast<std::uint16_t>(slot), static_cast<std::uint16_t>(position)});
        }
    }
    static bool SkipVarint(const unsigned char*& p, const unsigned char* end) {
        // As ReadVarint reads: at most ten bytes.
        for (int i = 0; i < 10; ++i) {
            if (p == end) return false;
            if ((*p++ & 0x80) == 0) return true;
        }
        return false;
    }

    CWordIndexReader* reader_ = nullptr;
    WordRef ref_;
    std::uint64_t held_;
    std::uint32_t slots_;
    std::uint64_t blocks_ = 0;
    std::uint64_t tableSize_ = 0;
    // The skip table: in table_ when read apart, else at the start of window_.
    std::vector<unsigned char> table_;
    const unsigned char* tableAt_ = nullptr;
    // The bytes of the region from windowFrom_ on.
    std::vector<unsigned char> window_;
    std::uint64_t windowFrom_ = 0;
    IndexStatus status_ = IndexStatus::Ready;
    std::uint64_t block_ = 0;
    const unsigned char* p_ = nullptr;
    const unsigned char* blockEnd_ = nullptr;
    std::uint32_t left_ = 0;
    bool first_ = true;
    bool started_ = false;
    bool ended_ = false;
    std::uint32_t entry_ = 0;
    const unsigned char* occurrencesAt_ = nullptr;
    std::uint32_t occurrenceCount_ = 0;
    bool occurrencesRead_ = true;
    std::vector<Occurrence> occurrences_;
};

}  // namespace word_index
