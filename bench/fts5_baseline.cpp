#include "bench/fts5_baseline.h"

#include <sqlite3.h>

#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "store/record_database.h"

namespace bench {
namespace {

// Columns beyond the fields a benchmark record has stay empty.
constexpr int kFieldColumns = 9;

bool Run(sqlite3* db, const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    *error = message != nullptr ? message : "sqlite3_exec failed";
    sqlite3_free(message);
    return false;
}

}  // namespace

bool BuildFts5(const CDirectories& dirs, int code, const std::string& path, std::string* error) {
    CRecordDatabase database(dirs);
    if (!database.OpenCode(code)) {
        *error = "cannot open the database";
        return false;
    }
    CPeopleList people;
    if (ListPeople(*database.Index(), database.EntriesHeld(), people).Failed()) {
        *error = "cannot walk the surname index";
        return false;
    }
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        *error = "cannot create " + path;
        sqlite3_close(db);
        return false;
    }
    std::string create = "CREATE VIRTUAL TABLE people USING fts5(s, g";
    std::string insert = "INSERT INTO people(rowid, s, g";
    std::string values = "VALUES(?, ?, ?";
    for (int k = 0; k < kFieldColumns; ++k) {
        create += ", f" + std::to_string(k);
        insert += ", f" + std::to_string(k);
        values += ", ?";
    }
    create += ", content='', tokenize='unicode61 remove_diacritics 2')";
    insert += ") " + values + ")";
    bool ok = Run(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", error) &&
              Run(db, create.c_str(), error) && Run(db, "BEGIN", error);
    sqlite3_stmt* statement = nullptr;
    ok = ok && sqlite3_prepare_v2(db, insert.c_str(), -1, &statement, nullptr) == SQLITE_OK;
    CPeopleReader reader(database, people);
    ReadPerson person;
    std::vector<std::string_view> fields;
    while (ok && reader.Next(person)) {
        fields.assign(kFieldColumns, std::string_view());
        ForEachRecordField(std::string_view(person.record, person.recordLength),
                           [&](std::size_t k, std::string_view field) {
                               if (k < fields.size()) fields[k] = field;
                           });
        sqlite3_bind_int64(statement, 1, person.entry);
        sqlite3_bind_text(statement, 2, person.surname.data(), static_cast<int>(person.surname.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, person.givenNames.data(), static_cast<int>(person.givenNames.size()),
                          SQLITE_STATIC);
        for (int k = 0; k < kFieldColumns; ++k) {
            sqlite3_bind_text(statement, 4 + k, fields[static_cast<std::size_t>(k)].data(),
                              static_cast<int>(fields[static_cast<std::size_t>(k)].size()), SQLITE_STATIC);
        }
        ok = sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_reset(statement);
    }
    if (!ok && error->empty()) *error = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    ok = ok && !reader.Error().Failed() && Run(db, "COMMIT", error) &&
         Run(db, "INSERT INTO people(people) VALUES('optimize')", error);
    sqlite3_close(db);
    return ok;
}

Fts5Search::Fts5Search(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, "SELECT count(*) FROM people WHERE people MATCH ?", -1, &count_, nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v2(db_, "SELECT rowid FROM people WHERE people MATCH ? ORDER BY rowid LIMIT ?", -1,
                           &first_, nullptr) != SQLITE_OK) {
        error_ = sqlite3_errmsg(db_);
    }
}

Fts5Search::~Fts5Search() {
    sqlite3_finalize(count_);
    sqlite3_finalize(first_);
    sqlite3_close(db_);
}

bool Fts5Search::Count(const std::string& match, long& count) {
    sqlite3_bind_text(count_, 1, match.c_str(), -1, SQLITE_TRANSIENT);
    const bool ok = sqlite3_step(count_) == SQLITE_ROW;
    count = ok ? static_cast<long>(sqlite3_column_int64(count_, 0)) : -1;
    sqlite3_reset(count_);
    if (!ok) error_ = sqlite3_errmsg(db_);
    return ok;
}

bool Fts5Search::First(const std::string& match, int n, std::vector<std::int64_t>& rowids) {
    rowids.clear();
    sqlite3_bind_text(first_, 1, match.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(first_, 2, n);
    int step = 0;
    while ((step = sqlite3_step(first_)) == SQLITE_ROW) rowids.push_back(sqlite3_column_int64(first_, 0));
    sqlite3_reset(first_);
    if (step != SQLITE_DONE) error_ = sqlite3_errmsg(db_);
    return step == SQLITE_DONE;
}

}  // namespace bench
