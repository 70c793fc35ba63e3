#pragma once
// The record search's baseline: the same people and fields in an SQLite
// FTS5 table, as the field's standard would hold them (a contentless table,
// the unicode61 tokenizer removing diacritics, one column per field: the
// surname s, the given names g, record fields f0, f1, ...), with the rowid
// the entry number, and the queries of each class written in its syntax.

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class CDirectories;

namespace bench {

// Writes the table of database code of dirs into a new file at path.
bool BuildFts5(const CDirectories& dirs, int code, const std::string& path, std::string* error);

class Fts5Search {
public:
    explicit Fts5Search(const std::string& path);
    ~Fts5Search();
    Fts5Search(const Fts5Search&) = delete;
    Fts5Search& operator=(const Fts5Search&) = delete;

    bool Count(const std::string& match, long& count);
    // The first n rowids (entries) in rowid order.
    bool First(const std::string& match, int n, std::vector<std::int64_t>& rowids);
    const std::string& Error() const { return error_; }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
    sqlite3_stmt* first_ = nullptr;
    std::string error_;
};

}  // namespace bench
