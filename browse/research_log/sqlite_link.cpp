#include "browse/research_log/sqlite_link.h"

#include <sqlite3.h>

namespace research_log {

int CSqliteConnection::Open(const std::string& path, int flags, const char* vfs) {
    Close();
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, flags, vfs);
    if (code != SQLITE_OK) {
        sqlite3_close_v2(db);
        return code;
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 1);
    return SQLITE_OK;
}

void CSqliteConnection::Close() {
    if (db_ == nullptr) return;
    // Statements are finalized by their owners first; close_v2 waits for
    // any that are not rather than failing.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void CSqliteConnection::Harden(int milliseconds) {
    if (db_ == nullptr) return;
    sqlite3_busy_timeout(db_, milliseconds);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
}

bool CSqliteConnection::HasMoved() {
    if (db_ == nullptr) return false;
    int moved = 0;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK) return false;
    return moved != 0;
}

int CSqliteConnection::Execute(const char* sql) {
    if (db_ == nullptr) return SQLITE_MISUSE;
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

int CSqliteConnection::IntegerOf(const char* sql, std::int64_t& value) {
    value = 0;
    CSqliteStatement statement;
    int code = statement.Prepare(*this, sql);
    if (code != SQLITE_OK) return code;
    code = statement.Step();
    if (code == SQLITE_ROW) {
        value = statement.Integer(0);
        code = SQLITE_OK;
    } else if (code == SQLITE_DONE) {
        code = SQLITE_OK;
    }
    return code;
}

int CSqliteConnection::TextOf(const char* sql, std::string& value) {
    value.clear();
    CSqliteStatement statement;
    int code = statement.Prepare(*this, sql);
    if (code != SQLITE_OK) return code;
    code = statement.Step();
    if (code == SQLITE_ROW) {
        value = statement.Text(0);
        code = SQLITE_OK;
    } else if (code == SQLITE_DONE) {
        code = SQLITE_OK;
    }
    return code;
}

std::string CSqliteConnection::Message() const { return db_ != nullptr ? sqlite3_errmsg(db_) : "not open"; }

int CSqliteConnection::SystemError() const { return db_ != nullptr ? sqlite3_system_errno(db_) : 0; }

int CSqliteStatement::Prepare(CSqliteConnection& connection, const char* sql) {
    Finalize();
    if (!connection.IsOpen()) return SQLITE_MISUSE;
    return sqlite3_prepare_v3(connection.Handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
}

void CSqliteStatement::Finalize() {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
}

void CSqliteStatement::BindInteger(int at, std::int64_t value) {
    sqlite3_bind_int64(statement_, at, static_cast<sqlite3_int64>(value));
}

void CSqliteStatement::BindText(int at, std::string_view utf8) {
    sqlite3_bind_text64(statement_, at, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void CSqliteStatement::BindNull(int at) { sqlite3_bind_null(statement_, at); }

int CSqliteStatement::Step() { return statement_ != nullptr ? sqlite3_step(statement_) : SQLITE_MISUSE; }

void CSqliteStatement::Reset() {
    if (statement_ == nullptr) return;
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

bool CSqliteStatement::IsInteger(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_INTEGER;
}

bool CSqliteStatement::IsText(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_TEXT;
}

bool CSqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t CSqliteStatement::Integer(int column) const {
    return static_cast<std::int64_t>(sqlite3_column_int64(statement_, column));
}

std::string CSqliteStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    if (text == nullptr || size <= 0) return std::string();
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
}

}  // namespace research_log
