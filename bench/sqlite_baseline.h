#pragma once
// The baseline: the same people in SQLite, as a developer would otherwise
// store them (one table of surname, given names and record, an index on the
// surname whose rowid order is the entry order), and the viewer's
// operations on it, building the same row texts and full texts.

#include <cstddef>
#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

class Population;

// Writes the people to a new SQLite file, in entry order (order[k] is the
// person of entry k), the long record given to person longPerson.
bool BuildSqliteDatabase(const std::string& path, const Population& people, const std::uint32_t* order,
                         std::size_t count, std::size_t longPerson, std::string* error);

class SqliteViewer {
public:
    static constexpr int kPageSize = 10;
    static constexpr std::size_t kRowTextSize = 500;

    explicit SqliteViewer(std::string path);
    ~SqliteViewer();
    SqliteViewer(const SqliteViewer&) = delete;
    SqliteViewer& operator=(const SqliteViewer&) = delete;

    // The whole search: opens the file, counts the hits, reads the first
    // page with its summaries and closes the file again. prefix (upper
    // case letters) or null. False on any SQLite error.
    bool Search(const char* surname, const char* prefix);

    // The same search on a connection held open from the first call on,
    // with its statements prepared once.
    bool SearchKeptOpen(const char* surname, const char* prefix);

    // Page turns and record fetches run on a connection held open, with
    // their statements prepared once. Begin opens it and reads the first
    // page of surname (and prefix) as Search does.
    bool Begin(const char* surname, const char* prefix);
    bool NextPage();
    bool PrevPage();
    // Full text of a row of the page, built by the viewer's own formatter.
    const char* FullText(int row);
    // The index lookup alone: true when the surname has a row.
    bool Lookup(const char* surname);
    void End();

    long RecordCount() const { return count_; }
    int RowsOnPage() const { return rows_; }
    bool HasNext() const { return hasNext_; }
    bool HasPrev() const { return hasPrev_; }
    void FormatRow(int i, char* out) const;
    const std::string& Error() const { return error_; }

private:
    struct Row {
        std::int64_t id;
        char givenNames[255];
        char summary[41];
    };

    bool Fail(sqlite3* db, const char* what);
    bool Prepare(sqlite3* db, const char* sql, sqlite3_stmt** statement);
    void BindFilter(sqlite3_stmt* statement);
    bool Count(sqlite3* db);
    // Steps statement into the rows (reversed for a descending read).
    int ReadRows(sqlite3_stmt* statement, bool descending);
    void SetQuery(const char* surname, const char* prefix);
    bool TurnPage(bool forward);
    void EndHeld();

    std::string path_;
    std::string error_;
    std::string surname_;
    std::string low_;  // prefix range of given_upper: [low_, high_)
    std::string high_;
    bool filtered_ = false;
    sqlite3* session_ = nullptr;
    sqlite3* held_ = nullptr;
    sqlite3_stmt* heldCount_[2] = {};
    sqlite3_stmt* heldFirst_[2] = {};
    sqlite3_stmt* next_ = nullptr;
    sqlite3_stmt* prev_ = nullptr;
    sqlite3_stmt* fetch_ = nullptr;
    sqlite3_stmt* lookup_ = nullptr;
    long count_ = 0;
    int rows_ = 0;
    bool hasNext_ = false;
    bool hasPrev_ = false;
    Row page_[kPageSize + 1] = {};
    char record_[5000] = {};
    char fullText_[5000] = {};
};

}  // namespace bench
