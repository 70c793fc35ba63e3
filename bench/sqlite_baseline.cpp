#include "bench/sqlite_baseline.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "bench/bench_people.h"
#include "bench/memory_summary.h"
#include "browse/record_text/record_format.h"

namespace bench {
namespace {

// ?1 surname, ?2 and ?3 the prefix range of the upper-cased given names,
// ?4 the id the page starts after (or before), ?5 the number of rows.
constexpr const char kCountSql[] = "SELECT COUNT(*) FROM people WHERE surname = ?1";
constexpr const char kCountFilteredSql[] =
    "SELECT COUNT(*) FROM people WHERE surname = ?1 AND given_upper >= ?2 AND given_upper < ?3";
constexpr const char kNextSql[] =
    "SELECT id, given, record FROM people WHERE surname = ?1 AND id > ?4 ORDER BY id LIMIT ?5";
constexpr const char kNextFilteredSql[] =
    "SELECT id, given, record FROM people WHERE surname = ?1 AND given_upper >= ?2 AND given_upper < ?3 "
    "AND id > ?4 ORDER BY id LIMIT ?5";
constexpr const char kPrevSql[] =
    "SELECT id, given, record FROM people WHERE surname = ?1 AND id < ?4 ORDER BY id DESC LIMIT ?5";
constexpr const char kPrevFilteredSql[] =
    "SELECT id, given, record FROM people WHERE surname = ?1 AND given_upper >= ?2 AND given_upper < ?3 "
    "AND id < ?4 ORDER BY id DESC LIMIT ?5";
constexpr const char kFetchSql[] = "SELECT record FROM people WHERE id = ?1";
constexpr const char kLookupSql[] = "SELECT id FROM people WHERE surname = ?1 LIMIT 1";

void Finalize(sqlite3_stmt*& statement) {
    sqlite3_finalize(statement);
    statement = nullptr;
}

bool Exec(sqlite3* db, const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    *error = std::string(sql) + ": " + (message != nullptr ? message : "failed");
    sqlite3_free(message);
    return false;
}

}  // namespace

bool BuildSqliteDatabase(const std::string& path, const Population& people, const std::uint32_t* order,
                         std::size_t count, std::size_t longPerson, std::string* error) {
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        *error = "cannot create " + path + ": " + sqlite3_errmsg(db);
        sqlite3_close(db);
        return false;
    }
    bool ok = Exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -262144;",
                   error) &&
              Exec(db,
                   "CREATE TABLE people (id INTEGER PRIMARY KEY, surname TEXT NOT NULL, given TEXT NOT NULL, "
                   "given_upper TEXT NOT NULL, record BLOB NOT NULL)",
                   error) &&
              Exec(db, "BEGIN", error);
    sqlite3_stmt* insert = nullptr;
    if (ok && sqlite3_prepare_v2(db, "INSERT INTO people VALUES (?1, ?2, ?3, ?4, ?5)", -1, &insert,
                                 nullptr) != SQLITE_OK) {
        *error = std::string("prepare insert: ") + sqlite3_errmsg(db);
        ok = false;
    }
    std::string record;
    for (std::size_t entry = 0; ok && entry < count; ++entry) {
        const std::size_t person = order[entry];
        const PersonRecord p = people.Person(person, person == longPerson);
        record.clear();
        for (const std::string& field : p.fields) {
            record += field;
            record += static_cast<char>(0xFF);
        }
        record += '\n';
        const std::string surname = UpperCased(p.surname);
        const std::string upper = UpperCased(p.givenNames);
        // Rowid = entry number + 1: the index keeps a surname's people in entry order.
        sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(entry + 1));
        sqlite3_bind_text(insert, 2, surname.data(), static_cast<int>(surname.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, p.givenNames.data(), static_cast<int>(p.givenNames.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 5, record.data(), static_cast<int>(record.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            *error = std::string("insert: ") + sqlite3_errmsg(db);
            ok = false;
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    ok = ok && Exec(db, "COMMIT", error) &&
         Exec(db, "CREATE INDEX people_by_surname ON people (surname)", error) && Exec(db, "ANALYZE", error);
    if (sqlite3_close(db) != SQLITE_OK && ok) {
        *error = "cannot close " + path;
        ok = false;
    }
    return ok;
}

SqliteViewer::SqliteViewer(std::string path) : path_(std::move(path)) {}

SqliteViewer::~SqliteViewer() {
    End();
    EndHeld();
}

bool SqliteViewer::Fail(sqlite3* db, const char* what) {
    error_ = std::string(what) + ": " + (db != nullptr ? sqlite3_errmsg(db) : "no connection");
    return false;
}

bool SqliteViewer::Prepare(sqlite3* db, const char* sql, sqlite3_stmt** statement) {
    if (sqlite3_prepare_v2(db, sql, -1, statement, nullptr) == SQLITE_OK) return true;
    return Fail(db, sql);
}

void SqliteViewer::SetQuery(const char* surname, const char* prefix) {
    surname_ = surname;
    filtered_ = prefix != nullptr;
    if (filtered_) {
        low_ = prefix;
        high_ = prefix;
        ++high_.back();  // letters only: the next letter ends the range
    }
}

void SqliteViewer::BindFilter(sqlite3_stmt* statement) {
    sqlite3_reset(statement);
    sqlite3_bind_text(statement, 1, surname_.data(), static_cast<int>(surname_.size()), SQLITE_STATIC);
    if (filtered_) {
        sqlite3_bind_text(statement, 2, low_.data(), static_cast<int>(low_.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, high_.data(), static_cast<int>(high_.size()), SQLITE_STATIC);
    }
}

bool SqliteViewer::Count(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    if (!Prepare(db, filtered_ ? kCountFilteredSql : kCountSql, &statement)) return false;
    BindFilter(statement);
    const bool ok = sqlite3_step(statement) == SQLITE_ROW;
    count_ = ok ? static_cast<long>(sqlite3_column_int64(statement, 0)) : 0;
    sqlite3_finalize(statement);
    return ok || Fail(db, "count");
}

int SqliteViewer::ReadRows(sqlite3_stmt* statement, bool descending) {
    int n = 0;
    while (n <= kPageSize && sqlite3_step(statement) == SQLITE_ROW) {
        Row& row = page_[n];
        row.id = sqlite3_column_int64(statement, 0);
        const auto* given = sqlite3_column_text(statement, 1);
        std::snprintf(row.givenNames, sizeof row.givenNames, "%s",
                      given != nullptr ? reinterpret_cast<const char*>(given) : "");
        const auto* record = static_cast<const unsigned char*>(sqlite3_column_blob(statement, 2));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 2));
        char raw[record_format::kRawSummarySize];
        const int firstByte = RawSummaryOf(record, size, raw);
        record_format::BuildDisplayedSummary(kBenchCode, raw, firstByte, row.summary);
        ++n;
    }
    // A row beyond the page only tells that there is more; read backwards,
    // the page's rows come nearest first and are put back in entry order.
    if (descending) std::reverse(page_, page_ + std::min(n, kPageSize));
    return n;
}

bool SqliteViewer::Search(const char* surname, const char* prefix) {
    SetQuery(surname, prefix);
    rows_ = 0;
    hasPrev_ = false;
    hasNext_ = false;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        Fail(db, "open");
        sqlite3_close(db);
        return false;
    }
    bool ok = Count(db);
    sqlite3_stmt* page = nullptr;
    if (ok && count_ > 0) {
        ok = Prepare(db, filtered_ ? kNextFilteredSql : kNextSql, &page);
        if (ok) {
            BindFilter(page);
            sqlite3_bind_int64(page, 4, 0);
            sqlite3_bind_int(page, 5, kPageSize);
            rows_ = std::min(ReadRows(page, false), kPageSize);
            hasNext_ = count_ > rows_;
        }
        sqlite3_finalize(page);
    }
    sqlite3_close(db);
    return ok;
}

bool SqliteViewer::SearchKeptOpen(const char* surname, const char* prefix) {
    SetQuery(surname, prefix);
    rows_ = 0;
    hasPrev_ = false;
    hasNext_ = false;
    if (held_ == nullptr) {
        if (sqlite3_open_v2(path_.c_str(), &held_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK) {
            return Fail(held_, "open");
        }
        for (int filtered = 0; filtered < 2; ++filtered) {
            if (!Prepare(held_, filtered != 0 ? kCountFilteredSql : kCountSql, &heldCount_[filtered]) ||
                !Prepare(held_, filtered != 0 ? kNextFilteredSql : kNextSql, &heldFirst_[filtered])) {
                return false;
            }
        }
    }
    sqlite3_stmt* count = heldCount_[filtered_ ? 1 : 0];
    BindFilter(count);
    if (sqlite3_step(count) != SQLITE_ROW) return Fail(held_, "count");
    count_ = static_cast<long>(sqlite3_column_int64(count, 0));
    sqlite3_reset(count);
    if (count_ > 0) {
        sqlite3_stmt* page = heldFirst_[filtered_ ? 1 : 0];
        BindFilter(page);
        sqlite3_bind_int64(page, 4, 0);
        sqlite3_bind_int(page, 5, kPageSize);
        rows_ = std::min(ReadRows(page, false), kPageSize);
        sqlite3_reset(page);
        hasNext_ = count_ > rows_;
    }
    return true;
}

bool SqliteViewer::Begin(const char* surname, const char* prefix) {
    End();
    SetQuery(surname, prefix);
    if (sqlite3_open_v2(path_.c_str(), &session_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        return Fail(session_, "open");
    }
    if (!Prepare(session_, filtered_ ? kNextFilteredSql : kNextSql, &next_) ||
        !Prepare(session_, filtered_ ? kPrevFilteredSql : kPrevSql, &prev_) ||
        !Prepare(session_, kFetchSql, &fetch_) || !Prepare(session_, kLookupSql, &lookup_) ||
        !Count(session_)) {
        return false;
    }
    rows_ = 0;
    page_[0].id = 0;
    // The first page is a next page from before the first id.
    BindFilter(next_);
    sqlite3_bind_int64(next_, 4, 0);
    sqlite3_bind_int(next_, 5, kPageSize);
    rows_ = std::min(ReadRows(next_, false), kPageSize);
    hasPrev_ = false;
    hasNext_ = count_ > rows_;
    return true;
}

bool SqliteViewer::TurnPage(bool forward) {
    if (session_ == nullptr || rows_ <= 0) return false;
    sqlite3_stmt* statement = forward ? next_ : prev_;
    const std::int64_t bound = forward ? page_[rows_ - 1].id : page_[0].id;
    BindFilter(statement);
    sqlite3_bind_int64(statement, 4, bound);
    // One row more than the page tells whether the button stays enabled.
    sqlite3_bind_int(statement, 5, kPageSize + 1);
    const int got = ReadRows(statement, !forward);
    if (got == 0) return false;  // nothing there: the page shown stays
    rows_ = std::min(got, kPageSize);
    if (forward) {
        hasNext_ = got > kPageSize;
        hasPrev_ = true;
    } else {
        hasPrev_ = got > kPageSize;
        hasNext_ = true;
    }
    return true;
}

bool SqliteViewer::NextPage() { return TurnPage(true); }

bool SqliteViewer::PrevPage() { return TurnPage(false); }

const char* SqliteViewer::FullText(int row) {
    fullText_[0] = '\0';
    if (session_ == nullptr || row < 0 || row >= rows_) return fullText_;
    sqlite3_reset(fetch_);
    sqlite3_bind_int64(fetch_, 1, page_[row].id);
    std::size_t size = 0;
    if (sqlite3_step(fetch_) == SQLITE_ROW) {
        size = static_cast<std::size_t>(sqlite3_column_bytes(fetch_, 0));
        if (size > sizeof record_ - 1) size = sizeof record_ - 1;
        if (size > 0) std::memcpy(record_, sqlite3_column_blob(fetch_, 0), size);
    }
    record_[size] = '\0';
    record_format::BuildFullText(kBenchCode, record_, fullText_, sizeof fullText_);
    return fullText_;
}

bool SqliteViewer::Lookup(const char* surname) {
    if (session_ == nullptr) return false;
    sqlite3_reset(lookup_);
    sqlite3_bind_text(lookup_, 1, surname, -1, SQLITE_STATIC);
    return sqlite3_step(lookup_) == SQLITE_ROW;
}

void SqliteViewer::EndHeld() {
    for (int filtered = 0; filtered < 2; ++filtered) {
        Finalize(heldCount_[filtered]);
        Finalize(heldFirst_[filtered]);
    }
    if (held_ != nullptr) {
        sqlite3_close(held_);
        held_ = nullptr;
    }
}

void SqliteViewer::End() {
    Finalize(next_);
    Finalize(prev_);
    Finalize(fetch_);
    Finalize(lookup_);
    if (session_ != nullptr) {
        sqlite3_close(session_);
        session_ = nullptr;
    }
}

void SqliteViewer::FormatRow(int i, char* out) const {
    if (i < 0 || i >= rows_) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kRowTextSize, "%s\t%s\t%s", surname_.c_str(), page_[i].givenNames, page_[i].summary);
}

}  // namespace bench
