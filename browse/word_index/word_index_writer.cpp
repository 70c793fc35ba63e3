#include "browse/word_index/word_index_writer.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_words.h"
#include "browse/word_index/word_index_build_files.h"
#include "browse/word_index/word_index_cache.h"
#include "browse/word_index/word_index_columns.h"
#include "browse/word_index/word_index_postings.h"
#include "store/content_hash.h"
#include "store/io_calls.h"
#include "store/record_database.h"

namespace word_index {
namespace {

constexpr std::int64_t kProgressStride = 4096;

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
