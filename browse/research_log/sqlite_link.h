#pragma once
// The few SQLite calls the research log makes, each owning what it opens:
// a connection and its prepared statements. Every result code comes back
// as it is, for the log to sort into what the user is told.

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace research_log {

class CSqliteStatement;

class CSqliteConnection {
public:
    CSqliteConnection() = default;
    ~CSqliteConnection() { Close(); }
    CSqliteConnection(const CSqliteConnection&) = delete;
    CSqliteConnection& operator=(const CSqliteConnection&) = delete;

    // sqlite3_open_v2 with flags; vfs null for the system's. On failure the
    // connection stays closed and the code is returned.
    int Open(const std::string& path, int flags, const char* vfs);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    sqlite3* Handle() const { return db_; }

    // Waits up to milliseconds for another connection's lock, and refuses
    // what a file from elsewhere could make a connection do: triggers and
    // views run on our writes, functions called from its schema, writes
    // that damage the file on purpose.
    void Harden(int milliseconds);
    // Whether the file the connection opened was renamed or removed since.
    bool HasMoved();

    // Runs statements that return no rows.
    int Execute(const char* sql);
    // The single integer a statement such as "PRAGMA user_version" returns.
    int IntegerOf(const char* sql, std::int64_t& value);
    // The single text it returns.
    int TextOf(const char* sql, std::string& value);

    // What the last failed call said, and the system's errno behind it.
    std::string Message() const;
    int SystemError() const;

private:
    sqlite3* db_ = nullptr;
};

class CSqliteStatement {
public:
    CSqliteStatement() = default;
    ~CSqliteStatement() { Finalize(); }
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    int Prepare(CSqliteConnection& connection, const char* sql);
    void Finalize();
    bool IsPrepared() const { return statement_ != nullptr; }

    // Parameters count from 1; a text is bound as UTF-8.
    void BindInteger(int at, std::int64_t value);
    void BindText(int at, std::string_view utf8);
    void BindNull(int at);
    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step();
    // Ready for new parameters and another run.
    void Reset();

    // Columns count from 0.
    bool IsInteger(int column) const;
    bool IsText(int column) const;
    bool IsNull(int column) const;
    std::int64_t Integer(int column) const;
    // The column's bytes; a NUL inside them is kept (the readers refuse it).
    std::string Text(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
};

// Runs Reset when it goes out of scope, so that a statement read part way
// does not hold its read transaction open.
class CStatementRun {
public:
    explicit CStatementRun(CSqliteStatement& statement) : statement_(statement) {}
    ~CStatementRun() { statement_.Reset(); }
    CStatementRun(const CStatementRun&) = delete;
    CStatementRun& operator=(const CStatementRun&) = delete;

private:
    CSqliteStatement& statement_;
};

}  // namespace research_log
