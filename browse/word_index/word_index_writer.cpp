#include "browse/word_index/word_index_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_words.h"
#include "browse/word_index/word_index_cache.h"
#include "browse/word_index/word_index_columns.h"
#include "store/content_hash.h"
#include "store/io_calls.h"
#include "store/record_database.h"

namespace word_index {
namespace {

constexpr std::int64_t kProgressStride = 4096;

// A file written from start to end through a buffer; remembers the first failure.
class SequentialFile {
public:
    ~SequentialFile() { io_calls::Close(fd_); }
    bool Open(const std::string& path) {
        int error = 0;
        fd_ = io_calls::Open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, error, 0600);
        return fd_ >= 0;
    }
    int Fd() const { return fd_; }
    void Put(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        if (buffer_.size() + size > kBuffer) Flush();
        if (size > kBuffer) {
            WriteNow(bytes, size);
            return;
        }
        buffer_.insert(buffer_.end(), bytes, bytes + size);
    }
    void Put(const std::vector<unsigned char>& bytes) { Put(bytes.data(), bytes.size()); }
    bool Flush() {
        if (!buffer_.empty()) WriteNow(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok_;
    }
    bool WriteAt(std::uint64_t offset, const std::vector<unsigned char>& bytes) {
        if (ok_)
            ok_ =
                io_calls::WriteAt(fd_, bytes.data(), bytes.size(), static_cast<std::int64_t>(offset)).error ==
                0;
        return ok_;
    }
    std::uint64_t Position() const { return written_ + buffer_.size(); }
    bool Ok() const { return ok_; }

private:
    static constexpr std::size_t kBuffer = 1 << 20;
    void WriteNow(const unsigned char* bytes, std::size_t size) {
        if (ok_) ok_ = io_calls::WriteAt(fd_, bytes, size, static_cast<std::int64_t>(written_)).error == 0;
        written_ += size;
    }
    int fd_ = -1;
    bool ok_ = true;
    std::uint64_t written_ = 0;
    std::vector<unsigned char> buffer_;
};

// Reads back a piece of the scratch file from start to end through a buffer.
class PieceReader {
public:
    PieceReader(int fd, std::uint64_t start, std::uint64_t end) : fd_(fd), next_(start), end_(end) {}
    bool Varint(std::uint64_t& value) {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ == buffer_.size() && !Fill()) return false;
            const unsigned char byte = buffer_[at_++];
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) return true;
        }
        return false;
    }
    bool AtEnd() const { return at_ == buffer_.size() && next_ >= end_; }

private:
    bool Fill() {
        if (next_ >= end_) return false;
        const std::uint64_t size = std::min<std::uint64_t>(kBuffer, end_ - next_);
        buffer_.resize(static_cast<std::size_t>(size));
        const io_calls::Transfer read =
            io_calls::ReadAt(fd_, buffer_.data(), buffer_.size(), static_cast<std::int64_t>(next_));
        if (read.error != 0 || read.bytes != buffer_.size()) return false;
        next_ += size;
        at_ = 0;
        return true;
    }
    static constexpr std::uint64_t kBuffer = 256 * 1024;
    int fd_;
    std::uint64_t next_;
    std::uint64_t end_;
    std::vector<unsigned char> buffer_;
    std::size_t at_ = 0;
};

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

struct Occurrence {
    std::uint32_t word;
    std::uint32_t entry;
    std::uint16_t slot;
    std::uint16_t position;
};

struct Piece {
    std::uint64_t start;
    std::uint64_t end;
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

class Builder {
public:
    Builder(CRecordDatabase& database, const CPeopleList& people, const BuildLimits& limits)
        : database_(database),
          people_(people),
          limits_(limits),
          columns_(static_cast<std::uint64_t>(std::max<std::int64_t>(database.EntriesHeld(), 0))) {}

    BuildResult Run(const FileFingerprint (&files)[kFileCount], const std::string& path,
                    const std::function<bool(std::int64_t)>& keepGoing);

private:
    bool Gather(const std::function<bool(std::int64_t)>& keepGoing, BuildResult& result);
    void AddField(int slot, std::string_view text, std::uint32_t entry);
    bool WritePiece();
    bool Merge(SequentialFile& out, Header& header);
    void WritePeople(SequentialFile& out, Header& header);
    void WriteColumns(SequentialFile& out, Header& header);

    CRecordDatabase& database_;
    const CPeopleList& people_;
    BuildLimits limits_;
    WordTable words_;
    std::vector<Occurrence> gathered_;
    std::vector<Piece> pieces_;
    std::uint32_t slots_ = record_fields::kFirstRecordSlot;
    SequentialFile scratch_;
    CColumnWriter columns_;
};

void Builder::AddField(int slot, std::string_view text, std::uint32_t entry) {
    if (slot >= UINT16_MAX) return;  // a record of 4999 bytes has far fewer fields
    slots_ = std::max(slots_, static_cast<std::uint32_t>(slot) + 1);
    columns_.NoteValue(entry, slot, text);
    record_words::ForEachWord(text, [&](const std::string& word, std::size_t position) {
        int year = 0;
        if (record_words::IsYearWord(word, year)) columns_.NoteYear(entry, slot, year);
        if (position >= UINT16_MAX) return;
        const std::uint32_t id = words_.Intern(word);
        WordTable::Word& info = words_[id];
        if (info.lastEntry != static_cast<std::int32_t>(entry)) {
            ++info.people;
            info.lastEntry = static_cast<std::int32_t>(entry);
        }
        if (!info.anySlot) {
            info.slot = static_cast<std::uint32_t>(slot);
            info.anySlot = true;
        } else if (info.slot != static_cast<std::uint32_t>(slot)) {
            info.severalSlots = true;
        }
        gathered_.push_back(
            Occurrence{id, entry, static_cast<std::uint16_t>(slot), static_cast<std::uint16_t>(position)});
    });
}

bool Builder::WritePiece() {
    if (gathered_.empty()) return true;
    const auto piece = static_cast<std::uint32_t>(pieces_.size());
    std::vector<std::uint32_t> present;
    for (const Occurrence& occurrence : gathered_) {
        WordTable::Word& info = words_[occurrence.word];
        if (info.lastPiece != piece) {
            info.lastPiece = piece;
            present.push_back(occurrence.word);
        }
    }
    std::sort(present.begin(), present.end(),
              [&](std::uint32_t a, std::uint32_t b) { return words_.Less(a, b); });
    // A stable counting sort by word keeps each word's occurrences in entry order.
    std::vector<std::uint32_t> rank(words_.Size(), 0);
    for (std::size_t i = 0; i < present.size(); ++i) rank[present[i]] = static_cast<std::uint32_t>(i);
    std::vector<std::uint32_t> starts(present.size() + 1, 0);
    for (const Occurrence& occurrence : gathered_) ++starts[rank[occurrence.word] + 1];
    for (std::size_t i = 1; i < starts.size(); ++i) starts[i] += starts[i - 1];
    std::vector<Occurrence> sorted(gathered_.size());
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    for (const Occurrence& occurrence : gathered_) sorted[next[rank[occurrence.word]]++] = occurrence;
    gathered_.clear();

    Piece written{scratch_.Position(), 0};
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i < present.size(); ++i) {
        bytes.clear();
        PutVarint(bytes, present[i]);
        PutVarint(bytes, starts[i + 1] - starts[i]);
        std::uint32_t previous = 0;
        for (std::uint32_t k = starts[i]; k < starts[i + 1]; ++k) {
            const Occurrence& occurrence = sorted[k];
            PutVarint(bytes, occurrence.entry - previous);
            previous = occurrence.entry;
            PutVarint(bytes, occurrence.slot);
            PutVarint(bytes, occurrence.position);
        }
        scratch_.Put(bytes);
    }
    written.end = scratch_.Position();
    pieces_.push_back(written);
    return scratch_.Flush();
}

bool Builder::Gather(const std::function<bool(std::int64_t)>& keepGoing, BuildResult& result) {
    CPeopleReader reader(database_, people_);
    ReadPerson person;
    while (reader.Next(person)) {
        const auto entry = static_cast<std::uint32_t>(person.entry);
        AddField(record_fields::kSurnameSlot, person.surname, entry);
        AddField(record_fields::kGivenSlot, person.givenNames, entry);
        ForEachRecordField(std::string_view(person.record, person.recordLength),
                           [&](std::size_t k, std::string_view field) {
                               AddField(record_fields::SlotOfField(k), field, entry);
                           });
        columns_.EndPerson(entry);
        if (gathered_.size() >= limits_.piece && !WritePiece()) {
            result.status = BuildStatus::WriteFailed;
            return false;
        }
        if (reader.Done() % kProgressStride == 0 && !keepGoing(reader.Done())) {
            result.status = BuildStatus::Cancelled;
            return false;
        }
    }
    if (reader.Error().Failed()) {
        result.status = BuildStatus::ReadFailed;
        result.error = reader.Error();
        return false;
    }
    if (!WritePiece()) {
        result.status = BuildStatus::WriteFailed;
        return false;
    }
    return keepGoing(reader.Done()) || (result.status = BuildStatus::Cancelled, false);
}

void Builder::WritePeople(SequentialFile& out, Header& header) {
    // The runs in blocks, each with its surnames, so that a page reads its own block alone.
    std::vector<unsigned char> blocks;
    std::vector<unsigned char> directory;
    std::vector<unsigned char> block;
    const std::vector<PeopleRun>& runs = people_.runs;
    for (std::size_t first = 0; first < runs.size(); first += kRunsPerBlock) {
        const std::size_t end = std::min<std::size_t>(runs.size(), first + kRunsPerBlock);
        block.clear();
        for (std::size_t i = first; i < end; ++i) {
            PutU32(block, static_cast<std::uint32_t>(runs[i].first));
            PutU32(block, static_cast<std::uint32_t>(runs[i].count));
            const std::string& surname = people_.surnames[runs[i].surname];
            PutVarint(block, surname.size());
            block.insert(block.end(), surname.begin(), surname.end());
        }
        PutU32(directory, static_cast<std::uint32_t>(runs[first].first));
        PutU64(directory, blocks.size());
        PutU32(directory, static_cast<std::uint32_t>(block.size()));
        PutU32(directory, static_cast<std::uint32_t>(end - first));
        PutU32(directory, ContentHash32(block.data(), block.size()));
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    header.peopleBlocks = Section{out.Position(), blocks.size(), 0};
    out.Put(blocks);
    header.people_ =
        Section{out.Position(), directory.size(), ContentHash(directory.data(), directory.size())};
    header.people = static_cast<std::uint64_t>(people_.total);
    out.Put(directory);
}

void Builder::WriteColumns(SequentialFile& out, Header& header) {
    std::vector<unsigned char> directory;
    header.columnData.offset = out.Position();
    columns_.Write([&out](const std::vector<unsigned char>& bytes) { out.Put(bytes); }, directory);
    header.columnData.length = out.Position() - header.columnData.offset;
    header.columns =
        Section{out.Position(), directory.size(), ContentHash(directory.data(), directory.size())};
    out.Put(directory);
}

bool Builder::Merge(SequentialFile& out, Header& header) {
    std::vector<std::uint32_t> order(words_.Size());
    for (std::uint32_t id = 0; id < order.size(); ++id) order[id] = id;
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return words_.Less(a, b); });

    struct Cursor {
        PieceReader reader;
        std::uint64_t word = UINT64_MAX;
        std::uint64_t count = 0;
    };
    std::vector<Cursor> cursors;
    for (const Piece& piece : pieces_) {
        cursors.push_back(Cursor{PieceReader(scratch_.Fd(), piece.start, piece.end)});
        Cursor& cursor = cursors.back();
        if (!cursor.reader.Varint(cursor.word) || !cursor.reader.Varint(cursor.count)) return false;
    }

    header.postings.offset = out.Position();
    std::vector<unsigned char> dictionary;
    std::vector<unsigned char> block;
    std::vector<unsigned char> directory;
    std::vector<unsigned char> years;
    std::uint32_t inBlock = 0;
    std::string firstWord;
    auto endBlock = [&]() {
        if (inBlock == 0) return;
        PutVarint(directory, firstWord.size());
        directory.insert(directory.end(), firstWord.begin(), firstWord.end());
        PutVarint(directory, dictionary.size());
        PutVarint(directory, block.size());
        PutVarint(directory, inBlock);
        PutU32(directory, ContentHash32(block.data(), block.size()));
        dictionary.insert(dictionary.end(), block.begin(), block.end());
        block.clear();
        inBlock = 0;
    };

    PostingEncoder encoder;
    std::vector<unsigned char> region;
    for (std::uint32_t id : order) {
        WordTable::Word& info = words_[id];
        encoder.Start(info.people, info.severalSlots);
        for (Cursor& cursor : cursors) {
            if (cursor.word != id) continue;
            std::uint64_t entry = 0;
            for (std::uint64_t k = 0; k < cursor.count; ++k) {
                std::uint64_t step = 0;
                std::uint64_t slot = 0;
                std::uint64_t position = 0;
                if (!cursor.reader.Varint(step) || !cursor.reader.Varint(slot) ||
                    !cursor.reader.Varint(position))
                    return false;
                entry += step;
                encoder.Add(static_cast<std::uint32_t>(entry), static_cast<std::uint16_t>(slot),
                            static_cast<std::uint16_t>(position));
            }
            cursor.word = UINT64_MAX;
            if (!cursor.reader.AtEnd() &&
                (!cursor.reader.Varint(cursor.word) || !cursor.reader.Varint(cursor.count)))
                return false;
        }
        std::uint32_t hash = 0;
        encoder.Finish(region, hash);
        const std::uint64_t offset = out.Position() - header.postings.offset;
        out.Put(region);
        const std::string_view text = words_.Text(id);
        const std::uint32_t slotCode = info.severalSlots ? 0 : info.slot + 1;
        if (inBlock == 0) firstWord = std::string(text);
        PutVarint(block, text.size());
        block.insert(block.end(), text.begin(), text.end());
        PutVarint(block, info.people);
        PutVarint(block, slotCode);
        PutVarint(block, offset);
        PutVarint(block, region.size());
        PutU32(block, hash);
        if (++inBlock == kWordsPerBlock) endBlock();
        int value = 0;
        if (record_words::IsYearWord(text, value)) {
            years.push_back(static_cast<unsigned char>(value));
            years.push_back(static_cast<unsigned char>(value >> 8));
            PutU32(years, info.people);
            PutU32(years, slotCode);
            PutU64(years, offset);
            PutU32(years, static_cast<std::uint32_t>(region.size()));
            PutU32(years, hash);
        }
    }
    endBlock();
    header.postings.length = out.Position() - header.postings.offset;
    header.words = words_.Size();
    header.dictionary = Section{out.Position(), dictionary.size(), 0};
    out.Put(dictionary);
    header.directory =
        Section{out.Position(), directory.size(), ContentHash(directory.data(), directory.size())};
    out.Put(directory);
    header.years = Section{out.Position(), years.size(), ContentHash(years.data(), years.size())};
    out.Put(years);
    return true;
}

// Temporary files of builders that ended without removing them (a crash, a
// disk that refused even the removal) go once they are a day old: no build
// takes that long, so no builder still writes them.
void RemoveStaleTemporaries(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string full = folder + "/" + name;
        struct stat info {};
        if (io_calls::StatPath(full.c_str(), info) == 0 && now - info.st_mtime > 24 * 60 * 60) {
            io_calls::Unlink(full.c_str());
        }
    }
    closedir(dir);
}

std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

BuildResult Builder::Run(const FileFingerprint (&files)[kFileCount], const std::string& path,
                         const std::function<bool(std::int64_t)>& keepGoing) {
    BuildResult result;
    // The scratch file has no name from the start: whatever happens, it goes with the process.
    const std::string scratchName = TemporaryName(path) + ".scratch";
    if (!scratch_.Open(scratchName)) return BuildResult{BuildStatus::WriteFailed, {}};
    // Should the name not go at once, it goes when the build ends, whichever way.
    struct Remover {
        std::string path;
        ~Remover() {
            if (!path.empty()) io_calls::Unlink(path.c_str());
        }
    } scratchRemover{io_calls::Unlink(scratchName.c_str()) == 0 ? std::string() : scratchName};
    RemoveStaleTemporaries(path);
    RemoveOlderFormats(path.substr(0, path.rfind('/') + 1));
    if (!Gather(keepGoing, result)) return result;

    const std::string temporary = TemporaryName(path);
    SequentialFile out;
    if (!out.Open(temporary)) return BuildResult{BuildStatus::WriteFailed, {}};
    Header header;
    header.code = static_cast<std::uint32_t>(database_.DatabaseCode());
    for (int i = 0; i < kFileCount; ++i) header.files[i] = files[i];
    header.entriesHeld = static_cast<std::uint64_t>(database_.EntriesHeld());
    out.Put(std::vector<unsigned char>(kHeaderSize, 0));
    WritePeople(out, header);
    const bool merged = Merge(out, header);
    if (merged) WriteColumns(out, header);
    header.slotCount = slots_;
    header.fileSize = out.Position();
    BuildStatus failed = BuildStatus::Built;
    if (!(merged && out.Flush() && out.WriteAt(0, EncodeHeader(header)))) {
        failed = BuildStatus::WriteFailed;
    } else if (!keepGoing(people_.total)) {
        failed = BuildStatus::Cancelled;
    } else if (io_calls::Rename(temporary.c_str(), path.c_str()) != 0) {
        failed = BuildStatus::WriteFailed;
    }
    if (failed != BuildStatus::Built) {
        io_calls::Unlink(temporary.c_str());
        return BuildResult{failed, {}};
    }
    return result;
}

}  // namespace

BuildResult Build(CRecordDatabase& database, const CPeopleList& people,
                  const FileFingerprint (&files)[kFileCount], const std::string& path,
                  const std::function<bool(std::int64_t)>& keepGoing, const BuildLimits& limits) {
    Builder builder(database, people, limits);
    return builder.Run(files, path, keepGoing);
}

}  // namespace word_index
