#include "support/log_support.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "browse/research_log/log_schema.h"
#include "browse/research_log/sqlite_link.h"

namespace testing_support {

research_log::DiskIdentity MadeUpDisk(int n, const std::string& name) {
    research_log::DiskIdentity disk;
    disk.label.name = name;
    char fingerprint[32];
    std::snprintf(fingerprint, sizeof fingerprint, "v1-%016llx",
                  0x1000ULL + static_cast<unsigned long long>(n));
    disk.fingerprint = fingerprint;
    return disk;
}

research_log::PersonOnDisk MadeUpPerson(int code, std::int32_t entry) {
    research_log::PersonOnDisk person;
    person.code = code;
    person.entry = entry;
    person.surname = "SMITH" + std::to_string(entry % 7);
    person.givenNames = "John " + std::to_string(entry);
    person.summary = "Pvt, Co. " + std::to_string(entry % 10) + ", 20th Maine";
    return person;
}

research_log::LogOptions LogAt(const std::string& path) {
    research_log::LogOptions options;
    options.place.path = path;
    options.place.existing = 1;
    auto tick = std::make_shared<std::time_t>(1796810400);  // 2026-12-09 10:00:00 UTC
    options.clock = [tick] { return (*tick)++; };
    return options;
}

std::string QuickScratchParent() {
    struct stat info {};
    if (::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) && ::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::string();
}

namespace {

struct Connection {
    explicit Connection(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK) {
            sqlite3_close(db);
            db = nullptr;
        }
        if (db != nullptr) sqlite3_busy_timeout(db, 5000);
    }
    ~Connection() { sqlite3_close(db); }
    sqlite3* db = nullptr;
};

}  // namespace

bool RunSql(const std::string& path, const std::string& sql, std::string* error) {
    Connection connection(path);
    if (connection.db == nullptr) {
        if (error != nullptr) *error = "cannot open " + path;
        return false;
    }
    char* message = nullptr;
    const int code = sqlite3_exec(connection.db, sql.c_str(), nullptr, nullptr, &message);
    if (code != SQLITE_OK && error != nullptr) *error = message != nullptr ? message : sqlite3_errstr(code);
    sqlite3_free(message);
    return code == SQLITE_OK;
}

std::int64_t SqlInteger(const std::string& path, const std::string& sql) {
    Connection connection(path);
    sqlite3_stmt* statement = nullptr;
    std::int64_t value = -1;
    if (connection.db != nullptr &&
        sqlite3_prepare_v2(connection.db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        value = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return value;
}

std::string SqlText(const std::string& path, const std::string& sql) {
    Connection connection(path);
    sqlite3_stmt* statement = nullptr;
    std::string value;
    if (connection.db != nullptr &&
        sqlite3_prepare_v2(connection.db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr) {
        value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return value;
}

bool ApplySchemaSteps(const std::string& path, int version) {
    research_log::CSqliteConnection connection;
    if (connection.Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) return false;
    for (int step = 1; step <= version; ++step) {
        if (research_log::log_schema::ApplyStep(connection, step) != SQLITE_OK) return false;
    }
    return true;
}

}  // namespace testing_support
