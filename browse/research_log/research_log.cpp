#include "browse/research_log/research_log.h"

#include <sqlite3.h>

#include <cstdint>

#include "browse/research_log/asked_text.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_checks.h"
#include "browse/research_log/log_connection.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/log_rows.h"
#include "browse/research_log/log_statements.h"
#include "browse/research_log/log_time.h"
#include "store/catalogue.h"
#include "store/cp1252.h"

namespace research_log {

using log_checks::CheckAsked;
using log_checks::CheckDisk;
using Need = CLogConnection::Need;

const char* ProgramName(LogProgram program) {
    return program == LogProgram::Viewer ? kViewerName : kQueryName;
}

const char* KindName(SearchKind kind) {
    switch (kind) {
        case SearchKind::Surname:
            return "surname";
        case SearchKind::List:
            return "list";
        case SearchKind::Find:
            return "find";
    }
    return "surname";
}

// Statements shared by the two files of the class.
int AddDisk(CLogConnection& connection, const DiskIdentity& disk) {
    int code = SQLITE_OK;
    CSqliteStatement* statement = connection.Statement(log_sql::kAddDisk, code);
    if (statement == nullptr) return code;
    CStatementRun run(*statement);
    statement->BindText(1, disk.fingerprint);
    statement->BindText(2, cp1252::ToUtf8(disk.label.name));
    statement->BindText(3, cp1252::ToUtf8(disk.label.version));
    code = statement->Step();
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

CResearchLog::CResearchLog(LogOptions options)
    : connection_(std::make_unique<CLogConnection>(std::move(options))) {}

CResearchLog::~CResearchLog() = default;

const std::string& CResearchLog::Path() const { return connection_->Options().place.path; }

bool CResearchLog::Keeping() const { return connection_->Options().keep; }

void CResearchLog::SetKeeping(bool keep) { connection_->SetKeeping(keep); }

LogOutcome CResearchLog::Open() {
    LogOutcome outcome;
    connection_->Run(Keeping() ? Need::Add : Need::Read, outcome, [] { return SQLITE_OK; });
    return outcome;
}

LogOutcome CResearchLog::LogSearch(LogProgram program, const AskedSearch& asked, std::int64_t count,
                                   const DiskIdentity* disk) {
    LogOutcome outcome;
    if (!Keeping()) return outcome;
    CLogConnection& connection = *connection_;
    if (!CheckAsked(asked, count, outcome, Path()) || (disk != nullptr && !CheckDisk(*disk, outcome, Path())))
        return outcome;
    const std::string time = LogTime(connection.Now());
    const std::string askedText = AskedText(asked);
    connection.Run(Need::Add, outcome, [&] {
        int code = disk != nullptr ? AddDisk(connection, *disk) : SQLITE_OK;
        if (code != SQLITE_OK) return code;
        CSqliteStatement* statement = connection.Statement(log_sql::kAddSearch, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, time);
        statement->BindText(2, ProgramName(program));
        statement->BindText(3, asked.database);
        statement->BindText(4, KindName(asked.kind));
        statement->BindText(5, cp1252::ToUtf8(asked.surname));
        if (asked.hasFirstName) statement->BindText(6, cp1252::ToUtf8(asked.firstName));
        statement->BindText(7, log_rows::JoinOptions(asked.options));
        statement->BindText(8, cp1252::ToUtf8(asked.query));
        statement->BindText(9, cp1252::ToUtf8(asked.field));
        statement->BindInteger(10, asked.yearFrom);
        statement->BindInteger(11, asked.yearTo);
        statement->BindText(12, cp1252::ToUtf8(askedText));
        statement->BindInteger(13, count);
        if (disk != nullptr) statement->BindText(14, disk->fingerprint);
        code = statement->Step();
        return code == SQLITE_DONE ? SQLITE_OK : code;
    });
    return outcome;
}

namespace {

// The pattern of LIKE that finds text anywhere, its own '%', '_' and '\' taken as they are.
std::string ContainsPattern(const std::string& windows1252) {
    std::string pattern = "%";
    for (char c : cp1252::ToUtf8(windows1252)) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

void BindFilter(CSqliteStatement& statement, int first, const SearchFilter& filter) {
    // Empty: any database; kAllDatabases is a database of its own here, the
    // searches made of every database at once.
    statement.BindText(first, filter.database);
    statement.BindText(first + 1, filter.text.empty() ? std::string() : ContainsPattern(filter.text));
}

void SaySkipped(LogOutcome& outcome, const char* what, const char* whatPlural, const std::string& path) {
    if (outcome.skipped > 0)
        outcome.messages.push_back(log_messages::Skipped(outcome.skipped, what, whatPlural, path));
}

}  // namespace

LogOutcome CResearchLog::Searches(const SearchFilter& filter, std::int64_t beforeId, std::size_t limit,
                                  std::vector<LoggedSearch>& searches) {
    LogOutcome outcome;
    CLogConnection& connection = *connection_;
    searches.clear();
    connection.Run(Need::Read, outcome, [&] {
        searches.clear();
        outcome.skipped = 0;
        int code = SQLITE_OK;
        CSqliteStatement* statement = connection.Statement(log_sql::kSearchesNewest, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindInteger(1, beforeId > 0 ? beforeId : INT64_MAX);
        BindFilter(*statement, 2, filter);
        statement->BindInteger(4, static_cast<std::int64_t>(limit));
        while ((code = statement->Step()) == SQLITE_ROW) {
            LoggedSearch search;
            if (log_rows::ReadSearch(*statement, search)) {
                searches.push_back(std::move(search));
            } else {
                ++outcome.skipped;
            }
        }
        return code == SQLITE_DONE ? SQLITE_OK : code;
    });
    SaySkipped(outcome, "search", "searches", Path());
    return outcome;
}

LogOutcome CResearchLog::CountSearches(const SearchFilter& filter, std::int64_t& count) {
    LogOutcome outcome;
    CLogConnection& connection = *connection_;
    count = 0;
    connection.Run(Need::Read, outcome, [&] {
        int code = SQLITE_OK;
        const char* sql = !filter.text.empty()      ? log_sql::kCountSearches
                          : filter.database.empty() ? log_sql::kCountAllSearches
                                                    : log_sql::kCountSearchesOf;
        CSqliteStatement* statement = connection.Statement(sql, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        if (sql == log_sql::kCountSearches) {
            BindFilter(*statement, 1, filter);
        } else if (sql == log_sql::kCountSearchesOf) {
            statement->BindText(1, filter.database);
        }
        code = statement->Step();
        if (code != SQLITE_ROW) return code;
        count = statement->Integer(0);
        return SQLITE_OK;
    });
    return outcome;
}

LogOutcome CResearchLog::ForEachSearch(const std::function<bool(const LoggedSearch&)>& visit) {
    LogOutcome outcome;
    CLogConnection& connection = *connection_;
    // What was handed over is not handed over again when a damaged log is
    // moved aside part way: the new log is empty.
    bool started = false;
    connection.Run(Need::Read, outcome, [&] {
        if (started) return SQLITE_OK;
        started = true;
        int code = SQLITE_OK;
        CSqliteStatement* statement = connection.Statement(log_sql::kAllSearches, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        while ((code = statement->Step()) == SQLITE_ROW) {
            LoggedSearch search;
            if (!log_rows::ReadSearch(*statement, search)) {
                ++outcome.skipped;
            } else if (!visit(search)) {
                return SQLITE_OK;
            }
        }
        return code == SQLITE_DONE ? SQLITE_OK : code;
    });
    SaySkipped(outcome, "search", "searches", Path());
    return outcome;
}

LogOutcome CResearchLog::EarlierSearches(const std::string& database, std::size_t limit,
                                         std::vector<AskedSearch>& earlier) {
    LogOutcome outcome;
    CLogConnection& connection = *connection_;
    earlier.clear();
    connection.Run(Need::Read, outcome, [&] {
        earlier.clear();
        outcome.skipped = 0;
        int code = SQLITE_OK;
        CSqliteStatement* statement = connection.Statement(log_sql::kEarlierSearches, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, database);
        statement->BindInteger(2, static_cast<std::int64_t>(limit));
        while ((code = statement->Step()) == SQLITE_ROW) {
            LoggedSearch search;
            if (log_rows::ReadSearch(*statement, search)) {
                earlier.push_back(std::move(search.asked));
            } else {
                ++outcome.skipped;
            }
        }
        return code == SQLITE_DONE ? SQLITE_OK : code;
    });
    SaySkipped(outcome, "search", "searches", Path());
    return outcome;
}

LogOutcome CResearchLog::Clear(ClearWhat what) {
    LogOutcome outcome;
    CLogConnection& connection = *connection_;
    std::vector<const char*> statements;
    if (what != ClearWhat::Seen) statements.push_back(log_sql::kClearSearches);
    if (what != ClearWhat::Searches) statements.push_back(log_sql::kClearSeen);
    if (what == ClearWhat::All)
        statements.insert(statements.end(),
                          {log_sql::kClearSaved, log_sql::kClearVerdicts, log_sql::kClearDisks});
    connection.Run(Need::Change, outcome, [&] {
        for (const char* sql : statements) {
            int code = SQLITE_OK;
            CSqliteStatement* statement = connection.Statement(sql, code);
            if (statement == nullptr) return code;
            CStatementRun run(*statement);
            code = statement->Step();
            if (code != SQLITE_DONE) return code;
        }
        return SQLITE_OK;
    });
    // What was cleared leaves the journal too; another program reading at
    // the moment keeps it there until its next clear, which is no loss.
    if (!outcome.Failed()) connection.Checkpoint();
    return outcome;
}

}  // namespace research_log
