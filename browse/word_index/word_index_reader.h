#pragma once
// CWordIndexReader: answers record queries from the word index of one
// database. Every part of the file is checked against its hash (and its
// structure against the header) before it counts: a damaged, cut, foreign
// or out-of-date file gives Damaged or Stale, never a wrong answer, and the
// search then builds the index anew or reads the records instead.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

    IndexStatus LoadPeople(CPeopleList& people);

    // The number of people matching, without listing them where the index
    // knows it (one word, or one word in the one field it is in).
    IndexStatus Count(const record_query::Query& query, const record_fields::FieldSet& fields,
                      std::int64_t& count, const std::atomic<bool>* cancel = nullptr);
    // The entries of the first limit people matching (all for -1), in entry order.
    IndexStatus List(const record_query::Query& query, const record_fields::FieldSet& fields,
                     std::int64_t limit, std::vector<std::int32_t>& entries,
                     const std::atomic<bool>* cancel = nullptr);

    // Internal steps, open for tests and the fuzz harness.
    IndexStatus FindWord(const std::string& word, bool prefix, std::vector<WordRef>& refs);
    IndexStatus YearsIn(int from, int to, std::vector<WordRef>& refs);
    IndexStatus ReadRegion(const WordRef& ref, std::vector<unsigned char>& bytes);
    const Header& FileHeader() const { return header_; }

private:
    struct Block {
        std::string first;
        std::uint64_t offset;
        std::uint64_t length;
        std::uint32_t words;
        std::uint32_t hash;
    };
    IndexStatus ReadAt(std::uint64_t offset, std::uint64_t length, std::vector<unsigned char>& bytes);
    IndexStatus ReadSection(const Section& section, std::vector<unsigned char>& bytes);
    IndexStatus ReadDictionaryBlock(std::size_t block, std::vector<std::pair<std::string, WordRef>>& words);
    bool RefSound(const WordRef& ref) const;

    CDataFile file_;
    Header header_;
    std::vector<Block> blocks_;
    std::vector<std::pair<int, WordRef>> years_;
};

}  // namespace word_index
