#pragma once
// The system-call floor of a search: the marker probe, then open, pread and
// close of exactly the bytes a search needs (the index header and the pages
// of the descent, the name width, the entries of the first page, the start
// of each of their records), written here with raw calls rather than through
// the project's readers, so that the suite can put the search beside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class SearchFloor {
public:
    // Finds, by walking the files once, which bytes a search of surname in
    // the database code of folder reads. False with *error when it cannot.
    bool Prepare(const std::string& folder, int code, const std::string& surname, int pageRows,
                 std::string* error);
    // The calls alone; false when one of them failed.
    bool Run() const;

    std::size_t Pages() const { return pages_.size(); }
    std::size_t Summaries() const { return summaries_.size(); }

private:
    std::string marker_;
    std::string tree_;
    std::string entries_;
    std::string records_;
    int pageSize_ = 0;
    std::vector<std::int64_t> pages_;
    bool found_ = false;
    std::int64_t widthAt_ = 0;
    std::int64_t entriesAt_ = 0;
    std::size_t entriesBytes_ = 0;
    std::vector<std::pair<std::int64_t, std::size_t>> summaries_;  // offset, bytes
};

}  // namespace bench
