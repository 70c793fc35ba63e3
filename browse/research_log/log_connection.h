#pragma once
// The research log's file and its one connection: opened when an operation
// needs it, made when a write needs it, brought to this version's tables,
// moved aside when damaged or foreign, opened again when another program
// moved it; and every SQLite result sorted into what the user is told.

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "browse/research_log/log_options.h"
#include "browse/research_log/log_outcome.h"
#include "browse/research_log/sqlite_link.h"

namespace research_log {

class CLogConnection {
public:
    // Read: a log that is not there reads as empty. Change: writes to a log
    // that is there (removing, clearing). Add: writes, making the log when
    // it is not there.
    enum class Need { Read, Change, Add };

    explicit CLogConnection(LogOptions options);
    ~CLogConnection();
    CLogConnection(const CLogConnection&) = delete;
    CLogConnection& operator=(const CLogConnection&) = delete;

    const LogOptions& Options() const { return options_; }
    void SetKeeping(bool keep) { options_.keep = keep; }
    std::time_t Now() const;

    // Runs body on the open log: in one write transaction for Change and
    // Add. body returns an SQLite result code and may run again (from the
    // start) after a damaged log was moved aside, so it fills its answers
    // afresh. Nothing runs when the log is not there (Read and Change).
    void Run(Need need, LogOutcome& outcome, const std::function<int()>& body);

    // The statement of sql (one of the log's constant texts), prepared once
    // per connection and reset; null with code set when it could not be.
    CSqliteStatement* Statement(const char* sql, int& code);

    // A read transaction around several reads (within Run's body), so that
    // they see the log at one moment.
    int BeginRead();
    void EndRead();

    // Copies what the journal holds into the log and empties the journal,
    // when no other program is reading (else it waits for a later one).
    void Checkpoint();

    // What the last SQLite call said, for an error of the operation's own.
    LogError ErrorOf(int code) const;

private:
    struct Failure {
        int code = 0;
        std::string message;
        int systemError = 0;
    };
    enum class Setup { Ready, Absent, Damaged, Failed };

    // Opens the log if it is not open; Absent when it is not there and need
    // does not make it.
    Setup OpenFor(Need need, LogOutcome& outcome, std::string& why);
    Setup SetUp(Need need, LogOutcome& outcome, std::string& why);
    bool MoveAside(const std::string& why, LogOutcome& outcome);
    void Close();
    Failure Capture(int code) const;
    LogError ErrorOf(const Failure& failure) const;
    int InTransaction(const std::function<int()>& body, Failure& failure);

    LogOptions options_;
    CSqliteConnection connection_;
    std::map<const char*, std::unique_ptr<CSqliteStatement>> statements_;
    // The file opened, so that a log moved aside is only ever the one judged.
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool newer_ = false;
};

}  // namespace research_log
