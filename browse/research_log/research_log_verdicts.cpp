// The researcher's verdicts on pairs of records: the same person, or not.

#include <sqlite3.h>

#include <utility>

#include "browse/research_log/log_checks.h"
#include "browse/research_log/log_connection.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/log_removal.h"
#include "browse/research_log/log_rows.h"
#include "browse/research_log/log_statements.h"
#include "browse/research_log/log_time.h"
#include "browse/research_log/research_log.h"
#include "store/catalogue.h"
#include "store/cp1252.h"

namespace research_log {

using log_checks::CheckDisk;
using log_checks::CheckPerson;
using log_checks::KeptSummary;
using log_checks::Refuse;
using log_checks::TurnedOff;
using Need = CLogConnection::Need;

const char* SamenessName(Sameness sameness) { return sameness == Sameness::Same ? "same" : "not-same"; }

const char* SamenessText(Sameness sameness) {
    return sameness == Sameness::Same ? "Same person" : "Not the same person";
}

bool PairOrder(const PersonPlace& a, const PersonPlace& b) {
    return a.code != b.code ? a.code < b.code : a.entry < b.entry;
}

const PersonOnDisk& PairVerdict::OtherThan(const PersonPlace& place) const {
    return first.code == place.code && first.entry == place.entry ? second : first;
}

namespace {

PersonPlace PlaceOf(const PersonOnDisk& person) { return PersonPlace{person.code, person.entry}; }

int ReadVerdictRows(CSqliteStatement& statement, const DiskIdentity* disk, std::vector<PairVerdict>& verdicts,
                    LogOutcome& outcome) {
    int code = SQLITE_OK;
    while ((code = statement.Step()) == SQLITE_ROW) {
        PairVerdict verdict;
        if (!log_rows::ReadVerdict(statement, verdict)) {
            ++outcome.skipped;
            continue;
        }
        verdict.ofThisDisk = disk != nullptr && verdict.disk.fingerprint == disk->fingerprint;
        verdicts.push_back(std::move(verdict));
    }
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

void SaySkipped(LogOutcome& outcome, const std::string& path) {
    if (outcome.skipped > 0)
        outcome.messages.push_back(log_messages::Skipped(outcome.skipped, "verdict", "verdicts", path));
}

int Done(int code) { return code == SQLITE_DONE ? SQLITE_OK : code; }

// The records of a pair checked as a saved person's are, and not one record twice.
bool CheckPair(const PersonOnDisk& a, const PersonOnDisk& b, const std::string* note, LogOutcome& outcome,
               const std::string& path) {
    if (!CheckPerson(a, note, outcome, path) || !CheckPerson(b, nullptr, outcome, path)) return false;
    if (a.code == b.code && a.entry == b.entry)
        return Refuse(outcome, path, "a record is not a pair with itself");
    return true;
}

// Binds the two records from first, in the order the log keeps them.
void BindPair(CSqliteStatement& statement, int first, const PersonOnDisk& a, const PersonOnDisk& b) {
    const bool inOrder = PairOrder(PlaceOf(a), PlaceOf(b));
    int at = first;
    for (const PersonOnDisk* person : {inOrder ? &a : &b, inOrder ? &b : &a}) {
        statement.BindText(at, catalogue::StemOf(person->code));
        statement.BindInteger(at + 1, person->entry);
        statement.BindText(at + 2, cp1252::ToUtf8(person->surname));
        statement.BindText(at + 3, cp1252::ToUtf8(person->givenNames));
        statement.BindText(at + 4, cp1252::ToUtf8(KeptSummary(person->summary)));
        at += 5;
    }
}

}  // namespace

LogOutcome CResearchLog::SetVerdict(const DiskIdentity& disk, const PersonOnDisk& a, const PersonOnDisk& b,
                                    Sameness sameness, const std::string* note, std::int64_t* id) {
    LogOutcome outcome;
    if (id != nullptr) *id = 0;
    if (!Keeping()) return TurnedOff(Path());
    if (!CheckDisk(disk, outcome, Path()) || !CheckPair(a, b, note, outcome, Path())) return outcome;
    CLogConnection& connection = *connection_;
    const std::string time = LogTime(connection.Now());
    connection.Run(Need::Add, outcome, [&] {
        int code = AddDisk(connection, disk);
        if (code != SQLITE_OK) return code;
        CSqliteStatement* statement = connection.Statement(log_sql::kSetVerdict, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, disk.fingerprint);
        BindPair(*statement, 2, a, b);
        statement->BindText(12, SamenessName(sameness));
        statement->BindText(13, note != nullptr ? cp1252::ToUtf8(*note) : std::string());
        statement->BindText(14, time);
        statement->BindInteger(15, note != nullptr ? 1 : 0);
        code = statement->Step();
        if (code != SQLITE_ROW) return code;
        if (id != nullptr) *id = statement->Integer(0);
        return Done(statement->Step());
    });
    return outcome;
}

LogOutcome CResearchLog::VerdictOn(const DiskIdentity& disk, const PersonPlace& a, const PersonPlace& b,
                                   bool& found, PairVerdict& verdict) {
    LogOutcome outcome;
    found = false;
    verdict = PairVerdict{};
    if (catalogue::StemOf(a.code) == nullptr || catalogue::StemOf(b.code) == nullptr) return outcome;
    const PersonPlace& first = PairOrder(a, b) ? a : b;
    const PersonPlace& second = PairOrder(a, b) ? b : a;
    CLogConnection& connection = *connection_;
    connection.Run(Need::Read, outcome, [&] {
        outcome.skipped = 0;
        int code = SQLITE_OK;
        CSqliteStatement* statement = connection.Statement(log_sql::kVerdictOn, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, disk.fingerprint);
        statement->BindText(2, catalogue::StemOf(first.code));
        statement->BindInteger(3, first.entry);
        statement->BindText(4, catalogue::StemOf(second.code));
        statement->BindInteger(5, second.entry);
        std::vector<PairVerdict> verdicts;
        code = ReadVerdictRows(*statement, &disk, verdicts, outcome);
        found = !verdicts.empty();
        if (found) verdict = verdicts.front();
        return code;
    });
    SaySkipped(outcome, Path());
    return outcome;
}

LogOutcome CResearchLog::VerdictsOf(const DiskIdentity& disk, const PersonPlace& place,
                                    std::vector<PairVerdict>& verdicts) {
    LogOutcome outcome;
    verdicts.clear();
    if (catalogue::StemOf(place.code) == nullptr) return outcome;
    CLogConnection& connection = *connection_;
    connection.Run(Need::Read, outcome, [&] {
        verdicts.clear();
        outcome.skipped = 0;
        int code = SQLITE_OK;
        CSqliteStatement* statement = connection.Statement(log_sql::kVerdictsOfPerson, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, disk.fingerprint);
        statement->BindText(2, catalogue::StemOf(place.code));
        statement->BindInteger(3, place.entry);
        return ReadVerdictRows(*statement, &disk, verdicts, outcome);
    });
    SaySkipped(outcome, Path());
    return outcome;
}

LogOutcome CResearchLog::Verdicts(const DiskIdentity* disk, bool allDisks,
                                  std::vector<PairVerdict>& verdicts) {
    LogOutcome outcome;
    verdicts.clear();
    if (!allDisks && disk == nullptr) return outcome;
    CLogConnection& connection = *connection_;
    connection.Run(Need::Read, outcome, [&] {
        verdicts.clear();
        outcome.skipped = 0;
        int code = SQLITE_OK;
        CSqliteStatement* statement =
            connection.Statement(allDisks ? log_sql::kVerdictsAll : log_sql::kVerdictsOfDisk, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        if (!allDisks) statement->BindText(1, disk->fingerprint);
        return ReadVerdictRows(*statement, disk, verdicts, outcome);
    });
    SaySkipped(outcome, Path());
    return outcome;
}

LogOutcome CResearchLog::RemoveVerdict(std::int64_t id, bool& found, PairVerdict& removed) {
    LogOutcome outcome;
    found = false;
    removed = PairVerdict{};
    CLogConnection& connection = *connection_;
    connection.Run(Need::Change, outcome, [&] {
        return log_removal::RemoveById(connection, log_sql::kVerdictById, log_sql::kRemoveVerdict, id, found,
                                       removed, log_rows::ReadVerdict);
    });
    return outcome;
}

LogOutcome CResearchLog::UndoRemoveVerdict(const PairVerdict& removed) {
    if (!Keeping()) return TurnedOff(Path());
    LogOutcome outcome;
    if (!CheckDisk(removed.disk, outcome, Path()) ||
        !CheckPair(removed.first, removed.second, &removed.note, outcome, Path()) ||
        !IsLogTime(removed.time)) {
        if (!outcome.Failed()) Refuse(outcome, Path(), "the verdict taken back is not known whole");
        return outcome;
    }
    CLogConnection& connection = *connection_;
    connection.Run(Need::Add, outcome, [&] {
        int code = AddDisk(connection, removed.disk);
        if (code != SQLITE_OK) return code;
        CSqliteStatement* statement = connection.Statement(log_sql::kRestoreVerdict, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindInteger(1, removed.id);
        statement->BindText(2, removed.disk.fingerprint);
        BindPair(*statement, 3, removed.first, removed.second);
        statement->BindText(13, SamenessName(removed.sameness));
        statement->BindText(14, cp1252::ToUtf8(removed.note));
        statement->BindText(15, removed.time);
        return Done(statement->Step());
    });
    return outcome;
}

}  // namespace research_log
