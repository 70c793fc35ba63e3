#pragma once
// The heading of each field of a database's records, as every place that
// names a field shows it: the whole record, the exports, the field list of
// a record search and where a search matched.
//
// A field is headed as the data disk heads it (store/database_about.h);
// where the disk gives no heading, as its label table heads it (without the
// colon and the blank: "Rank and Organization", "Survived"); and where the
// label table has none of its own (a hidden field, a joined one, one past
// the last slot), "Field N", N counted from 1 as --field counts.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class FieldHeadings {
public:
    // No database: every field is "Field N".
    FieldHeadings() = default;
    // The headings of database code, with those the disk gives (Windows-1252).
    explicit FieldHeadings(int code, std::vector<std::string> disk = {})
        : code_(code), disk_(std::move(disk)) {}

    int Code() const { return code_; }
    // The heading of field k (0-based); never empty.
    std::string Of(std::size_t k) const;
    // Whether the disk gives field k a heading of its own.
    bool OnDisk(std::size_t k) const { return k < disk_.size() && !disk_[k].empty(); }
    // Whether the disk heads any field.
    bool AnyOnDisk() const;
    // The headings as the disk gives them (empty ones included), field 1 first.
    const std::vector<std::string>& Disk() const { return disk_; }
    // The headings of the first count fields.
    std::vector<std::string> First(std::size_t count) const;

private:
    int code_ = 0;
    std::vector<std::string> disk_;
};

// "Field 3" for k = 2.
std::string NumberedFieldHeading(std::size_t k);

// The heading that label slot k of database code gives its field, without
// its colon and blank; empty for an empty slot, a joining one and one past
// the last (the end mark included).
std::string LabelHeading(int code, std::size_t k);

class CDirectories;
struct StoreError;
// The headings of database code on the data disk of dirs: those its .fld
// file gives, with the label table's for the rest. A damaged or unreadable
// file is an error, and headings are then the label table's alone.
StoreError ReadFieldHeadings(const CDirectories& dirs, int code, FieldHeadings& headings);
