// The people of a word index: the runs of entries with their surnames, in
// blocks, so that a page of people reads the blocks of its people alone.

#include <algorithm>

#include "browse/word_index/word_index_reader.h"
#include "store/content_hash.h"

namespace word_index {

IndexStatus CWordIndexReader::LoadPeopleDirectory() {
    if (peopleDirectoryRead_) return IndexStatus::Ready;
    std::vector<unsigned char> bytes;
    const IndexStatus status = ReadSection(header_.people_, bytes);
    if (status != IndexStatus::Ready) return status;
    if (bytes.size() % kPeopleBlockEntrySize != 0) return IndexStatus::Damaged;
    std::vector<PeopleBlock> blocks;
    blocks.reserve(bytes.size() / kPeopleBlockEntrySize);
    std::uint64_t runs = 0;
    for (std::size_t at = 0; at < bytes.size(); at += kPeopleBlockEntrySize) {
        const unsigned char* p = bytes.data() + at;
        const PeopleBlock block{U32At(p), U64At(p + 4), U32At(p + 12), U32At(p + 16), U32At(p + 20)};
        if (block.runs == 0 || block.runs > kRunsPerBlock || block.first >= header_.entriesHeld ||
            block.offset > header_.peopleBlocks.length ||
            block.length > header_.peopleBlocks.length - block.offset ||
            (!blocks.empty() && block.first <= blocks.back().first)) {
            return IndexStatus::Damaged;
        }
        runs += block.runs;
        blocks.push_back(block);
    }
    if (runs > header_.people || (blocks.empty() && header_.people != 0)) return IndexStatus::Damaged;
    peopleBlocks_ = std::move(blocks);
    peopleDirectoryRead_ = true;
    return IndexStatus::Ready;
}

IndexStatus CWordIndexReader::ReadPeopleBlock(std::size_t index) {
    if (keptBlock_ == index) return IndexStatus::Ready;
    keptBlock_ = SIZE_MAX;
    keptRuns_.clear();
    keptSurnames_.clear();
    const PeopleBlock& block = peopleBlocks_[index];
    std::vector<unsigned char> bytes;
    const IndexStatus status = ReadAt(header_.peopleBlocks.offset + block.offset, block.length, bytes);
    if (status != IndexStatus::Ready) return status;
    if (ContentHash32(bytes.data(), bytes.size()) != block.hash) return IndexStatus::Damaged;
    const unsigned char* p = bytes.data();
    const unsigned char* end = p + bytes.size();
    // A block's runs follow one another, start at its first entry and end
    // before the next block's.
    const std::uint64_t limit =
        index + 1 < peopleBlocks_.size() ? peopleBlocks_[index + 1].first : header_.entriesHeld;
    std::uint64_t covered = block.first;
    for (std::uint32_t i = 0; i < block.runs; ++i) {
        std::uint64_t length = 0;
        if (end - p < 8) return IndexStatus::Damaged;
        PeopleRun run;
        run.first = static_cast<std::int32_t>(U32At(p));
        run.count = static_cast<std::int32_t>(U32At(p + 4));
        p += 8;
        if (!ReadVarint(p, end, length) || length > static_cast<std::uint64_t>(end - p))
            return IndexStatus::Damaged;
        if ((i == 0 ? static_cast<std::uint64_t>(run.first) != block.first
                    : static_cast<std::uint64_t>(run.first) < covered) ||
            run.first < 0 || run.count < 1 || static_cast<std::uint64_t>(run.first) + run.count > limit) {
            return IndexStatus::Damaged;
        }
        covered = static_cast<std::uint64_t>(run.first) + run.count;
        run.surname = static_cast<std::uint32_t>(keptSurnames_.size());
        keptSurnames_.emplace_back(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
        p += length;
        keptRuns_.push_back(run);
    }
    if (p != end) {
        keptRuns_.clear();
        keptSurnames_.clear();
        return IndexStatus::Damaged;
    }
    keptBlock_ = index;
    return IndexStatus::Ready;
}

IndexStatus CWordIndexReader::SurnameOf(std::int32_t entry, std::string& surname) {
    surname.clear();
    IndexStatus status = LoadPeopleDirectory();
    if (status != IndexStatus::Ready) return status;
    auto after = std::upper_bound(peopleBlocks_.begin(), peopleBlocks_.end(), entry,
                                  [](std::int32_t value, const PeopleBlock& block) {
                                      return value >= 0 && static_cast<std::uint32_t>(value) < block.first;
                                  });
    if (entry < 0 || after == peopleBlocks_.begin()) return IndexStatus::Damaged;
    status = ReadPeopleBlock(static_cast<std::size_t>(after - peopleBlocks_.begin()) - 1);
    if (status != IndexStatus::Ready) return status;
    auto run = std::upper_bound(keptRuns_.begin(), keptRuns_.end(), entry,
                                [](std::int32_t value, const PeopleRun& one) { return value < one.first; });
    if (run == keptRuns_.begin() || entry >= (run - 1)->first + (run - 1)->count) return IndexStatus::Damaged;
    surname = keptSurnames_[(run - 1)->surname];
    return IndexStatus::Ready;
}

IndexStatus CWordIndexReader::LoadPeople(CPeopleList& people) {
    people.Clear();
    IndexStatus status = LoadPeopleDirectory();
    if (status != IndexStatus::Ready) return status;
    for (std::size_t index = 0; index < peopleBlocks_.size(); ++index) {
        status = ReadPeopleBlock(index);
        if (status != IndexStatus::Ready) {
            people.Clear();
            return status;
        }
        const auto base = static_cast<std::uint32_t>(people.surnames.size());
        for (PeopleRun run : keptRuns_) {
            run.surname += base;
            people.total += run.count;
            people.runs.push_back(run);
        }
        people.surnames.insert(people.surnames.end(), keptSurnames_.begin(), keptSurnames_.end());
    }
    if (people.total != static_cast<std::int64_t>(header_.people)) {
        people.Clear();
        return IndexStatus::Damaged;
    }
    return IndexStatus::Ready;
}

}  // namespace word_index
