#pragma once
// CWordIndexReader: answers record queries from the word index of one
// database. Every part of the file is checked against its hash (and its
// structure against the header) before it counts: a damaged, cut, foreign
// or out-of-date file gives Damaged or Stale, never a wrong answer, and the
// search then builds the index anew or reads the records instead.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "browse/facets/facet_counts.h"
#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_people.h"
#include "browse/record_query/record_query.h"
#include "browse/word_index/word_index_format.h"
#include "store/data_file.h"

namespace word_index {

enum class IndexStatus {
    Ready,
    Missing,     // no index file
    Stale,       // made from other files than those on the disk now
    Damaged,     // not an index of ours, cut, or changed since it was written
    ReadFailed,  // the file could not be read
    Cancelled,
};

// One word's place in the file.
struct WordRef {
    std::uint32_t people = 0;
    std::int32_t slot = -1;  // the one slot it is found in, -1 for several
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::uint32_t hash = 0;
};

class CWordIndexReader {
public:
    CWordIndexReader();
    ~CWordIndexReader();
    CWordIndexReader(const CWordIndexReader&) = delete;
    CWordIndexReader& operator=(const CWordIndexReader&) = delete;

    // Opens the index at path for database code made from the files of
    // fingerprints files.
    IndexStatus Open(const std::string& path, int code, const FileFingerprint (&files)[kFileCount]);
    void Close();

    // Every person: all the blocks of people.
    IndexStatus LoadPeople(CPeopleList& people);
    // The surname of the person at entry (as the index holds it), read from
    // the one block of people that holds it (a page of people reads its
    // own blocks alone); Damaged also when no run holds entry.
    IndexStatus SurnameOf(std::int32_t entry, std::string& surname);

    // The facets of the people at entries (increasing): their years in the
    // slots of fields, and their values in them. covered is false, and
    // nothing is added, when a slot of fields has no values column (too
    // many values): the records are read for it instead.
    IndexStatus TallyYears(const std::vector<std::int32_t>& entries, const record_fields::FieldSet& fields,
                           facets::CYearTally& years);
    IndexStatus TallyValues(const std::vector<std::int32_t>& entries, const record_fields::FieldSet& fields,
                            facets::CValueTally& values, bool& covered);

    // The number of people matching, without listing them where the index
    // knows it (one word, or one word in the one field it is in). listed,
    // when given, gets the people walked to count them in entry order, the
    // first keep of them (-1: every one), and is left empty when the count
    // was known without.
    IndexStatus Count(const record_query::Query& query, const record_fields::FieldSet& fields,
                      std::int64_t& count, const std::atomic<bool>* cancel = nullptr,
                      std::vector<std::int32_t>* listed = nullptr, std::int64_t keep = -1);
    // The entries of the first limit people matching (all for -1), in entry order.
    IndexStatus List(const record_query::Query& query, const record_fields::FieldSet& fields,
                     std::int64_t limit, std::vector<std::int32_t>& entries,
                     const std::atomic<bool>* cancel = nullptr);

    // Internal steps, open for tests and the fuzz harness.
    IndexStatus FindWord(const std::string& word, bool prefix, std::vector<WordRef>& refs);
    IndexStatus YearsIn(int from, int to, std::vector<WordRef>& refs);
    IndexStatus ReadRegion(const WordRef& ref, std::vector<unsigned char>& bytes);
    // length bytes of ref's region from its byte from, unchecked (the caller checks their hashes).
    IndexStatus ReadRegionPart(const WordRef& ref, std::uint64_t from, std::uint64_t length,
                               std::vector<unsigned char>& bytes);
    // The regions of refs, each checked as ReadRegion checks it, handed to
    // take (which may keep the bytes) in the file's order; neighbouring
    // regions are read in one call. Damaged when take returns false.
    IndexStatus ReadRegions(std::vector<WordRef> refs,
                            const std::function<bool(const WordRef&, std::vector<unsigned char>&)>& take);
    const Header& FileHeader() const { return header_; }
    // The bytes a cursor reads ahead of the block it needs (word_index_cursor.h);
    // made small by tests and the fuzz harness, so that small regions take many windows.
    void SetCursorWindow(std::uint64_t bytes) { cursorWindow_ = bytes > 0 ? bytes : 1; }
    std::uint64_t CursorWindow() const { return cursorWindow_; }

private:
    // An entry of the dictionary's directory, decoded from directory_ when
    // asked: the entries are only checked at Open, so that opening touches
    // no more memory than the directory's own bytes.
    struct Block {
        std::string_view first;
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
        std::uint32_t words = 0;
        std::uint32_t hash = 0;
    };
    static bool DecodeBlock(const unsigned char*& p, const unsigned char* end, Block& block);
    Block BlockAt(std::uint32_t at) const;  // at: where the entry begins
    IndexStatus ReadAt(std::uint64_t offset, std::uint64_t length, std::vector<unsigned char>& bytes);
    IndexStatus ReadSection(const Section& section, std::vector<unsigned char>& bytes);
    IndexStatus ReadDictionaryBlock(std::size_t block, std::vector<std::pair<std::string, WordRef>>& words);
    bool RefSound(const WordRef& ref) const;

    // The blocks of people (word_index_people.cpp).
    struct PeopleBlock {
        std::uint32_t first;
        std::uint64_t offset;
        std::uint32_t length;
        std::uint32_t runs;
        std::uint32_t hash;
    };
    IndexStatus LoadPeopleDirectory();
    IndexStatus ReadPeopleBlock(std::size_t block);

    // The columns of the facets (word_index_facets.cpp).
    struct Column {
        unsigned kind = 0;
        int slot = 0;
        unsigned width = 0;
        std::uint64_t offset = 0;
        std::uint64_t entries = 0;
        std::uint64_t blockEntries = 0;
        std::vector<std::uint32_t> hashes;
        std::uint64_t extraOffset = 0;  // the years' pairs, or the values' texts
        std::uint64_t extraLength = 0;
        std::uint64_t extraCount = 0;
        std::uint32_t extraHash = 0;
    };
    IndexStatus LoadColumns();
    IndexStatus ReadColumnBlock(const Column& column, std::uint64_t block, std::vector<unsigned char>& bytes);
    IndexStatus ReadColumnExtra(const Column& column, std::vector<unsigned char>& bytes);

    CDataFile file_;
    Header header_;
    std::vector<unsigned char> directory_;
    std::vector<std::uint32_t> blocks_;  // where each entry begins in directory_
    std::vector<std::pair<int, WordRef>> years_;
    std::vector<PeopleBlock> peopleBlocks_;
    bool peopleDirectoryRead_ = false;
    // The block of people read last, kept for the next person of the page.
    std::size_t keptBlock_ = SIZE_MAX;
    std::vector<PeopleRun> keptRuns_;
    std::vector<std::string> keptSurnames_;
    std::vector<Column> columns_;
    std::vector<int> deadSlots_;
    std::uint64_t columnSlots_ = 0;
    bool columnsRead_ = false;
    std::uint64_t cursorWindow_ = 32 * 1024;
};

}  // namespace word_index
