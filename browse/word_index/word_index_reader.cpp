#include "browse/word_index/word_index_reader.h"

#include <algorithm>

#include "store/content_hash.h"

namespace word_index {
namespace {

// A section lies between the header and the end of the file.
bool SectionSound(const Section& section, std::uint64_t fileSize) {
    return section.offset >= kHeaderSize && section.offset <= fileSize &&
           section.length <= fileSize - section.offset;
}

}  // namespace

CWordIndexReader::CWordIndexReader() = default;
CWordIndexReader::~CWordIndexReader() = default;

void CWordIndexReader::Close() {
    file_.Close();
    directory_.clear();
    blocks_.clear();
    years_.clear();
    peopleBlocks_.clear();
    peopleDirectoryRead_ = false;
    keptBlock_ = SIZE_MAX;
    keptRuns_.clear();
    keptSurnames_.clear();
    columns_.clear();
    deadSlots_.clear();
    columnsRead_ = false;
}

IndexStatus CWordIndexReader::ReadAt(std::uint64_t offset, std::uint64_t length,
                                     std::vector<unsigned char>& bytes) {
    if (offset > header_.fileSize || length > header_.fileSize - offset) return IndexStatus::Damaged;
    bytes.resize(static_cast<std::size_t>(length));
    std::size_t got = 0;
    if (length > 0 && !file_.ReadAt(static_cast<std::int64_t>(offset), bytes.data(), bytes.size(), got)) {
        return file_.Error() == kFileCutShort ? IndexStatus::Damaged : IndexStatus::ReadFailed;
    }
    return got == bytes.size() ? IndexStatus::Ready : IndexStatus::Damaged;
}

IndexStatus CWordIndexReader::ReadSection(const Section& section, std::vector<unsigned char>& bytes) {
    const IndexStatus status = ReadAt(section.offset, section.length, bytes);
    if (status != IndexStatus::Ready) return status;
    return ContentHash(bytes.data(), bytes.size()) == section.hash ? IndexStatus::Ready
                                                                   : IndexStatus::Damaged;
}

IndexStatus CWordIndexReader::Open(const std::string& path, int code,
                                   const FileFingerprint (&files)[kFileCount]) {
    Close();
    switch (file_.Open(path)) {
        case CDataFile::OpenOutcome::Opened:
            break;
        case CDataFile::OpenOutcome::Missing:
            return IndexStatus::Missing;
        case CDataFile::OpenOutcome::NotAFile:
            return IndexStatus::Damaged;
        case CDataFile::OpenOutcome::Failed:
            return IndexStatus::ReadFailed;
    }
    unsigned char bytes[kHeaderSize];
    std::size_t got = 0;
    if (!file_.ReadAt(0, bytes, sizeof bytes, got)) return IndexStatus::ReadFailed;
    header_ = Header{};
    if (got != sizeof bytes || !DecodeHeader(bytes, header_)) return IndexStatus::Damaged;
    const std::uint64_t size = static_cast<std::uint64_t>(file_.Size());
    if (file_.Size() < 0 || header_.fileSize != size) return IndexStatus::Damaged;
    for (const Section* section :
         {&header_.people_, &header_.peopleBlocks, &header_.postings, &header_.dictionary, &header_.directory,
          &header_.years, &header_.columns, &header_.columnData}) {
        if (!SectionSound(*section, size)) return IndexStatus::Damaged;
    }
    if (header_.code != static_cast<std::uint32_t>(code) || header_.entriesHeld > INT32_MAX ||
        header_.slotCount > UINT16_MAX) {
        return IndexStatus::Damaged;
    }
    for (int i = 0; i < kFileCount; ++i) {
        if (header_.files[i] != files[i]) return IndexStatus::Stale;
    }

    IndexStatus status = ReadSection(header_.directory, directory_);
    if (status != IndexStatus::Ready) return status;
    if (directory_.size() > UINT32_MAX) return IndexStatus::Damaged;
    const unsigned char* const begin = directory_.data();
    const unsigned char* p = begin;
    const unsigned char* end = p + directory_.size();
    // An entry takes at least 9 bytes: no more room than that is asked for.
    blocks_.reserve(directory_.size() / 9);
    std::string_view previous;
    while (p != end) {
        const unsigned char* at = p;
        Block block;
        if (!DecodeBlock(p, end, block)) return IndexStatus::Damaged;
        if (block.words == 0 || block.words > kWordsPerBlock || block.offset > header_.dictionary.length ||
            block.length > header_.dictionary.length - block.offset ||
            (!blocks_.empty() && !(previous < block.first))) {
            return IndexStatus::Damaged;
        }
        previous = block.first;
        blocks_.push_back(static_cast<std::uint32_t>(at - begin));
    }

    std::vector<unsigned char> section;
    status = ReadSection(header_.years, section);
    if (status != IndexStatus::Ready) return status;
    if (section.size() % kYearEntrySize != 0) return IndexStatus::Damaged;
    for (std::size_t at = 0; at < section.size(); at += kYearEntrySize) {
        const unsigned char* entry = section.data() + at;
        const int value = entry[0] | entry[1] << 8;
        WordRef ref;
        ref.people = U32At(entry + 2);
        const std::uint32_t slot = U32At(entry + 6);
        ref.slot = slot == 0 ? -1 : static_cast<std::int32_t>(slot - 1);
        ref.offset = U64At(entry + 10);
        ref.length = U32At(entry + 18);
        ref.hash = U32At(entry + 22);
        if (value > 9999 || (!years_.empty() && years_.back().first >= value) || !RefSound(ref) ||
            (slot != 0 && slot > header_.slotCount)) {
            return IndexStatus::Damaged;
        }
        years_.emplace_back(value, ref);
    }
    // The small directories of the people and the columns are checked now,
    // so that a damage there has the index built again before it answers.
    status = LoadPeopleDirectory();
    return status == IndexStatus::Ready ? LoadColumns() : status;
}

bool CWordIndexReader::DecodeBlock(const unsigned char*& p, const unsigned char* end, Block& block) {
    std::uint64_t length = 0;
    std::uint64_t words = 0;
    if (!ReadVarint(p, end, length) || length > static_cast<std::uint64_t>(end - p)) return false;
    block.first = std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
    p += length;
    if (!ReadVarint(p, end, block.offset) || !ReadVarint(p, end, block.length) ||
        !ReadVarint(p, end, words) || end - p < 4 || words > UINT32_MAX) {
        return false;
    }
    block.words = static_cast<std::uint32_t>(words);
    block.hash = U32At(p);
    p += 4;
    return true;
}

CWordIndexReader::Block CWordIndexReader::BlockAt(std::uint32_t at) const {
    // Every entry was decoded and checked at Open.
    Block block;
    const unsigned char* p = directory_.data() + at;
    DecodeBlock(p, directory_.data() + directory_.size(), block);
    return block;
}

bool CWordIndexReader::RefSound(const WordRef& ref) const {
    return ref.people >= 1 && ref.people <= header_.entriesHeld && ref.offset <= header_.postings.length &&
           ref.length <= header_.postings.length - ref.offset && ref.length > 0;
}

IndexStatus CWordIndexReader::ReadDictionaryBlock(std::size_t index,
                                                  std::vector<std::pair<std::string, WordRef>>& words) {
    words.clear();
    const Block block = BlockAt(blocks_[index]);
    std::vector<unsigned char> bytes;
    const IndexStatus status = ReadAt(header_.dictionary.offset + block.offset, block.length, bytes);
    if (status != IndexStatus::Ready) return status;
    if (ContentHash32(bytes.data(), bytes.size()) != block.hash) return IndexStatus::Damaged;
    const unsigned char* p = bytes.data();
    const unsigned char* end = p + bytes.size();
    for (std::uint32_t i = 0; i < block.words; ++i) {
        std::uint64_t length = 0;
        if (!ReadVarint(p, end, length) || length > static_cast<std::uint64_t>(end - p))
            return IndexStatus::Damaged;
        std::string word(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
        p += length;
        std::uint64_t people = 0;
        std::uint64_t slot = 0;
        WordRef ref;
        if (!ReadVarint(p, end, people) || !ReadVarint(p, end, slot) || !ReadVarint(p, end, ref.offset) ||
            !ReadVarint(p, end, ref.length) || end - p < 4 || people > UINT32_MAX ||
            slot > header_.slotCount) {
            return IndexStatus::Damaged;
        }
        ref.people = static_cast<std::uint32_t>(people);
        ref.slot = slot == 0 ? -1 : static_cast<std::int32_t>(slot - 1);
        ref.hash = U32At(p);
        p += 4;
        if (!RefSound(ref) || (i == 0 ? word != block.first : !(words.back().first < word)))
            return IndexStatus::Damaged;
        words.emplace_back(std::move(word), ref);
    }
    return p == end ? IndexStatus::Ready : IndexStatus::Damaged;
}

IndexStatus CWordIndexReader::FindWord(const std::string& word, bool prefix, std::vector<WordRef>& refs) {
    refs.clear();
    // The last block whose first word is not after the word: it holds the
    // word, or the first words with the prefix.
    auto after = std::upper_bound(
        blocks_.begin(), blocks_.end(), word,
        [this](const std::string& text, std::uint32_t at) { return text < BlockAt(at).first; });
    std::size_t index = after == blocks_.begin() ? 0 : static_cast<std::size_t>(after - blocks_.begin()) - 1;
    std::vector<std::pair<std::string, WordRef>> words;
    for (; index < blocks_.size(); ++index) {
        const IndexStatus status = ReadDictionaryBlock(index, words);
        if (status != IndexStatus::Ready) return status;
        for (const auto& [text, ref] : words) {
            if (prefix ? text.compare(0, word.size(), word) == 0 : text == word) {
                refs.push_back(ref);
            } else if (text > word) {
                return IndexStatus::Ready;
            }
        }
        if (!prefix) break;
    }
    return IndexStatus::Ready;
}

IndexStatus CWordIndexReader::YearsIn(int from, int to, std::vector<WordRef>& refs) {
    refs.clear();
    for (const auto& [value, ref] : years_) {
        if (value >= from && value <= to) refs.push_back(ref);
    }
    return IndexStatus::Ready;
}

namespace {

// A region's hash covers the whole region for one block, else its skip table.
bool RegionSound(const WordRef& ref, const std::vector<unsigned char>& bytes) {
    const std::uint64_t blocks = (ref.people + kDocsPerBlock - 1) / kDocsPerBlock;
    const std::size_t checked =
        blocks == 1 ? bytes.size() : static_cast<std::size_t>(blocks * kSkipEntrySize);
    return checked <= bytes.size() && ContentHash32(bytes.data(), checked) == ref.hash;
}

// Regions closer than this are read in one call, and one call reads at most kMaxSpan.
constexpr std::uint64_t kSpanGap = 4096;
constexpr std::uint64_t kMaxSpan = 1 << 20;

}  // namespace

IndexStatus CWordIndexReader::ReadRegion(const WordRef& ref, std::vector<unsigned char>& bytes) {
    const IndexStatus status = ReadAt(header_.postings.offset + ref.offset, ref.length, bytes);
    if (status != IndexStatus::Ready) return status;
    return RegionSound(ref, bytes) ? IndexStatus::Ready : IndexStatus::Damaged;
}

IndexStatus CWordIndexReader::ReadRegionPart(const WordRef& ref, std::uint64_t from, std::uint64_t length,
                                             std::vector<unsigned char>& bytes) {
    if (from > ref.length || length > ref.length - from) return IndexStatus::Damaged;
    return ReadAt(header_.postings.offset + ref.offset + from, length, bytes);
}

IndexStatus CWordIndexReader::ReadRegions(
    std::vector<WordRef> refs, const std::function<bool(const WordRef&, std::vector<unsigned char>&)>& take) {
    std::sort(refs.begin(), refs.end(),
              [](const WordRef& a, const WordRef& b) { return a.offset < b.offset; });
    std::vector<unsigned char> span;
    std::vector<unsigned char> region;
    for (std::size_t first = 0; first < refs.size();) {
        // The regions from first up to last, read as one.
        const std::uint64_t start = refs[first].offset;
        std::uint64_t end = start;
        std::size_t last = first;
        for (; last < refs.size(); ++last) {
            const WordRef& ref = refs[last];
            if (ref.offset > UINT64_MAX - ref.length) return IndexStatus::Damaged;
            if (last > first && (ref.offset > end + kSpanGap || ref.offset + ref.length - start > kMaxSpan))
                break;
            end = std::max(end, ref.offset + ref.length);
        }
        if (header_.postings.offset > UINT64_MAX - start) return IndexStatus::Damaged;
        IndexStatus status = ReadAt(header_.postings.offset + start, end - start, span);
        if (status != IndexStatus::Ready) return status;
        for (std::size_t i = first; i < last; ++i) {
            const WordRef& ref = refs[i];
            const auto from = span.begin() + static_cast<std::ptrdiff_t>(ref.offset - start);
            region.assign(from, from + static_cast<std::ptrdiff_t>(ref.length));
            if (!RegionSound(ref, region) || !take(ref, region)) return IndexStatus::Damaged;
        }
        first = last;
    }
    return IndexStatus::Ready;
}

}  // namespace word_index
