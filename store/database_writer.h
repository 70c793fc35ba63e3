#pragma once
// CDatabaseWriter: writes one catalogue database (.ext, .cor, .tre) in the
// formats the reader expects. Entries of a surname are grouped under the
// index key a search forms for that database code, surnames in key order,
// people of one key in the order they were added; the index is a balanced
// B-tree of at most four entries per page.
//
// Used by the data-disk builder, the benchmarks and the tests.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/disk_format.h"

struct PersonRecord {
    std::string surname;     // Windows-1252 bytes
    std::string givenNames;  // at most 254 bytes
    std::vector<std::string> fields;
};

struct DatabaseSummary {
    long people = 0;
    long surnames = 0;
    long largestRange = 0;
    int treeHeight = 0;
    int nameWidth = 0;
};

class CDatabaseWriter {
public:
    static constexpr std::size_t kMaxGivenNames = disk_format::kMaxGivenNames;
    static constexpr std::size_t kMaxRecord = disk_format::kMaxRecord;  // line feed included

    explicit CDatabaseWriter(int code);

    int Code() const { return code_; }

    // Checks and adds one person. On a refusal returns false and sets *error
    // to the reason (without the person's name or line: the caller adds them).
    bool Add(const PersonRecord& person, std::string* error);

    // The longest given names added so far, plus its NUL: the smallest name width.
    int SmallestNameWidth() const;

    // Writes <dir>/<stem>.ext, .cor and .tre. nameWidth 0 picks the smallest
    // width that fits; otherwise it must be 1..255 and fit every given name.
    // Returns false with *error set when it cannot; files may then be partial.
    bool Write(const std::string& dir, int nameWidth, std::string* error,
               DatabaseSummary* summary = nullptr) const;

    std::size_t PeopleCount() const { return people_.size(); }

private:
    struct Person {
        std::string key;
        std::string givenNames;
        std::string record;  // fields, each closed by 0xFF, then the line feed
        std::size_t order;
    };
    // The people in entry order and the surname groups, as the files hold them.
    struct Layout;

    // The steps of Write, each reporting through error.
    bool CheckWidth(int nameWidth, int& width, std::string* error) const;
    Layout Arrange() const;
    bool WriteRecords(const std::string& path, const Layout& layout, std::vector<std::int32_t>& offsets,
                      std::string* error) const;
    bool WriteEntries(const std::string& path, const Layout& layout, const std::vector<std::int32_t>& offsets,
                      int width, std::string* error) const;
    bool WriteIndex(const std::string& path, const Layout& layout, int& height, std::string* error) const;

    int code_;
    std::vector<Person> people_;
};
