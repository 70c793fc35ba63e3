#include "browse/research_log/log_connection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "browse/research_log/log_messages.h"
#include "browse/research_log/log_schema.h"

namespace research_log {
namespace {

// What the log's tables must answer to be a research log of this version:
// every column an operation reads or writes.
constexpr const char* kProbes[] = {
    "SELECT fingerprint, name, version FROM disks LIMIT 0",
    // Parenthesised: one element written on two lines, not two run together.
    ("SELECT id, time, program, database, kind, surname, first_name, options, query, field, year_from, "
     "year_to, asked, count, disk FROM searches LIMIT 0"),
    "SELECT id, disk, database, entry, surname, given_names, summary, note, time FROM saved_people LIMIT 0",
    "SELECT disk, database, entry, time FROM seen LIMIT 0",
    ("SELECT id, disk, database1, entry1, surname1, given_names1, summary1, database2, entry2, surname2, "
     "given_names2, summary2, verdict, note, time FROM verdicts LIMIT 0"),
};

bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The companion files SQLite keeps beside a database.
const char* const kCompanions[] = {"-wal", "-journal"};

}  // namespace

CLogConnection::CLogConnection(LogOptions options) : options_(std::move(options)) {}

CLogConnection::~CLogConnection() { Close(); }

std::time_t CLogConnection::Now() const { return options_.clock ? options_.clock() : std::time(nullptr); }

void CLogConnection::Close() {
    statements_.clear();
    connection_.Close();
    newer_ = false;
}

CSqliteStatement* CLogConnection::Statement(const char* sql, int& code) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        code = SQLITE_OK;
        found->second->Reset();
        return found->second.get();
    }
    auto statement = std::make_unique<CSqliteStatement>();
    code = statement->Prepare(connection_, sql);
    if (code != SQLITE_OK) return nullptr;
    return statements_.emplace(sql, std::move(statement)).first->second.get();
}

int CLogConnection::BeginRead() { return connection_.Execute("BEGIN"); }

void CLogConnection::EndRead() {
    if (connection_.IsOpen() && !sqlite3_get_autocommit(connection_.Handle())) connection_.Execute("COMMIT");
}

void CLogConnection::Checkpoint() {
    if (connection_.IsOpen()) connection_.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
}

CLogConnection::Failure CLogConnection::Capture(int code) const {
    return Failure{code, connection_.Message(), connection_.SystemError()};
}

LogError CLogConnection::ErrorOf(int code) const { return ErrorOf(Capture(code)); }

LogError CLogConnection::ErrorOf(const Failure& failure) const {
    LogError error;
    error.path = options_.place.path;
    const int primary = failure.code & 0xFF;
    const int system = failure.systemError;
    if (primary == SQLITE_FULL || system == ENOSPC || system == EDQUOT) {
        error.kind = LogErrorKind::Full;
    } else if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        error.kind = LogErrorKind::Busy;
        error.detail = "another program has held it for more than " +
                       std::to_string((options_.busyMilliseconds + 999) / 1000) + " seconds";
    } else if (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY ||
               primary == SQLITE_PERM || primary == SQLITE_AUTH) {
        error.kind = LogErrorKind::NotWritable;
        error.detail = system != 0 ? std::strerror(system) : failure.message;
    } else if (IsDamage(failure.code)) {
        error.kind = LogErrorKind::Damaged;
        error.detail = "is damaged (" + failure.message + ")";
    } else {
        error.kind = LogErrorKind::Failed;
        error.detail = failure.message;
    }
    return error;
}

void CLogConnection::Run(Need need, LogOutcome& outcome, const std::function<int()>& body) {
    // Once more after a damaged log was moved aside, never in a loop.
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string why;
        const Setup setup = OpenFor(need, outcome, why);
        if (setup == Setup::Failed || setup == Setup::Absent) return;
        if (setup == Setup::Damaged && options_.keep) {
            // Judged again on a connection of its own before anything is
            // moved: only a file found damaged twice is.
            std::string again;
            if (OpenFor(need, outcome, again) != Setup::Damaged) {
                if (outcome.Failed()) return;
                continue;
            }
        }
        if (setup == Setup::Damaged) {
            if (attempt == 0 && options_.keep && MoveAside(why, outcome)) continue;
            if (!outcome.Failed()) {
                outcome.error = LogError{LogErrorKind::Damaged, options_.place.path, why};
                outcome.messages.push_back(log_messages::ErrorText(outcome.error));
            }
            return;
        }
        if (need != Need::Read && newer_) {
            outcome.error = LogError{LogErrorKind::Newer, options_.place.path, std::string()};
            outcome.messages.push_back(log_messages::ErrorText(outcome.error));
            return;
        }
        Failure failure;
        int code = SQLITE_OK;
        if (need == Need::Read) {
            code = body();
            if (code != SQLITE_OK) failure = Capture(code);
        } else {
            code = InTransaction(body, failure);
        }
        if (code == SQLITE_OK) return;
        if (IsDamage(code) && attempt == 0 && options_.keep &&
            MoveAside("is damaged (" + failure.message + ")", outcome)) {
            continue;
        }
        if (outcome.Failed()) return;
        outcome.error = ErrorOf(failure);
        outcome.messages.push_back(log_messages::ErrorText(outcome.error));
        return;
    }
}

int CLogConnection::InTransaction(const std::function<int()>& body, Failure& failure) {
    int code = connection_.Execute("BEGIN IMMEDIATE");
    if (code == SQLITE_OK) code = body();
    if (code == SQLITE_OK) code = connection_.Execute("COMMIT");
    if (code != SQLITE_OK) {
        failure = Capture(code);
        // Statements reset, so that the rollback is not held up by them.
        for (auto& statement : statements_) statement.second->Reset();
        if (!sqlite3_get_autocommit(connection_.Handle())) connection_.Execute("ROLLBACK");
    }
    return code;
}

CLogConnection::Setup CLogConnection::OpenFor(Need need, LogOutcome& outcome, std::string& why) {
    if (connection_.IsOpen()) {
        // Another program moved the log aside: this one opens the new one.
        if (!connection_.HasMoved()) return Setup::Ready;
        Close();
    }
    const std::string& path = options_.place.path;
    const bool makes = need == Need::Add && options_.keep;
    auto fail = [&](LogErrorKind kind, const std::string& detail) {
        outcome.error = LogError{kind, path, detail};
        outcome.messages.push_back(log_messages::ErrorText(outcome.error));
        return Setup::Failed;
    };
    // Only a write that makes the log makes its folder.
    std::string folderError;
    if (makes && !PrepareLogFolder(options_.place, folderError))
        return fail(LogErrorKind::NoFolder, folderError);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOTDIR)
            return fail(LogErrorKind::NotWritable, "a file stands where its folder belongs");
        if (errno != ENOENT) return fail(LogErrorKind::NotWritable, std::strerror(errno));
        if (!makes) return Setup::Absent;
        // Made here rather than by SQLite, so that it is the user's alone
        // from the start; the journal files SQLite makes take its mode.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST) return fail(LogErrorKind::NotWritable, std::strerror(errno));
        if (fd >= 0) ::close(fd);
    } else if (S_ISDIR(info.st_mode)) {
        return fail(LogErrorKind::NotWritable, "it is a folder");
    } else if (!S_ISREG(info.st_mode)) {
        // A FIFO or a device would hold the program up or be written through.
        return fail(LogErrorKind::NotWritable, "it is not a plain file");
    }
    const int code = connection_.Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, options_.vfs);
    if (code != SQLITE_OK) {
        Failure failure{code, sqlite3_errstr(code), errno};
        outcome.error = ErrorOf(failure);
        outcome.messages.push_back(log_messages::ErrorText(outcome.error));
        return Setup::Failed;
    }
    connection_.Harden(options_.busyMilliseconds);
    if (::stat(path.c_str(), &info) == 0) {
        device_ = info.st_dev;
        inode_ = info.st_ino;
    }
    const Setup setup = SetUp(need, outcome, why);
    if (setup != Setup::Ready) Close();
    return setup;
}

CLogConnection::Setup CLogConnection::SetUp(Need need, LogOutcome& outcome, std::string& why) {
    std::int64_t application = 0;
    std::int64_t version = 0;
    std::int64_t objects = 0;
    // The three in one read transaction: another program making the log
    // commits its tables and its marks at once, and a reader that saw the
    // tables without the marks would take its log for another program's.
    int code = connection_.Execute("BEGIN");
    if (code == SQLITE_OK) code = connection_.IntegerOf("PRAGMA application_id", application);
    if (code == SQLITE_OK) code = connection_.IntegerOf("PRAGMA user_version", version);
    if (code == SQLITE_OK) code = connection_.IntegerOf("SELECT count(*) FROM sqlite_schema", objects);
    const Failure read = Capture(code);
    if (!sqlite3_get_autocommit(connection_.Handle())) connection_.Execute("COMMIT");
    if (IsDamage(code)) {
        why = "is damaged (" + read.message + ")";
        return Setup::Damaged;
    }
    if (code != SQLITE_OK) {
        outcome.error = ErrorOf(read);
        outcome.messages.push_back(log_messages::ErrorText(outcome.error));
        return Setup::Failed;
    }
    const bool blank = application == 0 && version == 0 && objects == 0;
    if (!blank && application != log_schema::kApplicationId) {
        why = "is not a research log of Chronara";
        return Setup::Damaged;
    }
    if (blank && !(need == Need::Add && options_.keep)) return Setup::Absent;
    newer_ = version > log_schema::kCurrentVersion;
    if (options_.keep && !newer_) {
        std::string mode;
        code = connection_.TextOf("PRAGMA journal_mode = WAL", mode);
        if (code == SQLITE_OK && mode != "wal") code = SQLITE_READONLY;
        if (code == SQLITE_OK) code = connection_.Execute("PRAGMA synchronous = NORMAL");
        // What is removed or cleared does not stay readable in the file.
        if (code == SQLITE_OK) code = connection_.Execute("PRAGMA secure_delete = ON");
        if (code == SQLITE_OK) code = connection_.Execute("PRAGMA cell_size_check = ON");
        if (code == SQLITE_OK && version < log_schema::kCurrentVersion) {
            // Another program may be bringing the log up at the same time:
            // the version is read again under the write lock.
            Failure failure;
            code = InTransaction(
                [&] {
                    std::int64_t now = 0;
                    int step = connection_.IntegerOf("PRAGMA user_version", now);
                    if (step == SQLITE_OK && now < log_schema::kCurrentVersion)
                        step = log_schema::Migrate(connection_, now);
                    return step;
                },
                failure);
            if (code != SQLITE_OK && IsDamage(code)) {
                why = "is damaged (" + failure.message + ")";
                return Setup::Damaged;
            }
            if (code != SQLITE_OK) {
                outcome.error = ErrorOf(failure);
                outcome.messages.push_back(log_messages::ErrorText(outcome.error));
                return Setup::Failed;
            }
        }
        if (IsDamage(code)) {
            why = "is damaged (" + connection_.Message() + ")";
            return Setup::Damaged;
        }
        if (code != SQLITE_OK) {
            outcome.error = ErrorOf(code);
            outcome.messages.push_back(log_messages::ErrorText(outcome.error));
            return Setup::Failed;
        }
    } else if (version < log_schema::kCurrentVersion) {
        // Turned off: an older log is neither brought up nor read.
        return Setup::Absent;
    }
    for (const char* probe : kProbes) {
        CSqliteStatement statement;
        code = statement.Prepare(connection_, probe);
        if (code == SQLITE_OK) continue;
        if (newer_) {
            outcome.error = LogError{LogErrorKind::Newer, options_.place.path, std::string()};
            outcome.messages.push_back(log_messages::ErrorText(outcome.error));
            return Setup::Failed;
        }
        if ((code & 0xFF) == SQLITE_ERROR || IsDamage(code)) {
            why = "is damaged (its tables are not those of a research log: " + connection_.Message() + ")";
            return Setup::Damaged;
        }
        outcome.error = ErrorOf(code);
        outcome.messages.push_back(log_messages::ErrorText(outcome.error));
        return Setup::Failed;
    }
    return Setup::Ready;
}

bool CLogConnection::MoveAside(const std::string& why, LogOutcome& outcome) {
    const std::string& path = options_.place.path;
    Close();
    struct stat info {};
    // Another program may have moved it aside already and begun a new log:
    // only the file judged is ever moved.
    if (::stat(path.c_str(), &info) != 0 || info.st_dev != device_ || info.st_ino != inode_) return true;
    struct tm local {};
    const std::time_t now = Now();
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = path + ".damaged-" + stamp;
    for (int n = 2; Exists(aside) && n < 1000; ++n)
        aside = path + ".damaged-" + stamp + "-" + std::to_string(n);
    auto cannot = [&](const std::string& what, int reason) {
        outcome.error =
            LogError{LogErrorKind::Damaged, path, why + "; " + what + ": " + std::strerror(reason)};
        outcome.messages.push_back(log_messages::ErrorText(outcome.error));
        return false;
    };
    if (Exists(aside)) return cannot("it could not be moved to " + aside, EEXIST);
    if (::rename(path.c_str(), aside.c_str()) != 0) return cannot("it could not be moved to " + aside, errno);
    // A journal left beside the new log would be played into it.
    for (const char* companion : kCompanions) {
        const std::string from = path + companion;
        if (::rename(from.c_str(), (aside + companion).c_str()) == 0 || errno == ENOENT) continue;
        if (::unlink(from.c_str()) != 0 && errno != ENOENT)
            return cannot("its journal " + from + " stays", errno);
    }
    ::unlink((path + "-shm").c_str());
    outcome.messages.push_back(log_messages::MovedAside(path, aside, why));
    return true;
}

}  // namespace research_log
