// The people of the research log: those saved, and those seen.

#include <sqlite3.h>

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
#include "store/disk_format.h"

namespace research_log {

using log_checks::CheckDisk;
using log_checks::CheckPerson;
using log_checks::CheckPlace;
using log_checks::KeptSummary;
using log_checks::Refuse;
using log_checks::TurnedOff;
using Need = CLogConnection::Need;

namespace {

// Reads the rows of statement into people.
int ReadSavedRows(CSqliteStatement& statement, const DiskIdentity* disk, std::vector<SavedPerson>& people,
                  LogOutcome& outcome) {
    int code = SQLITE_OK;
    while ((code = statement.Step()) == SQLITE_ROW) {
        SavedPerson saved;
        if (!log_rows::ReadSaved(statement, saved)) {
            ++outcome.skipped;
            continue;
        }
        saved.ofThisDisk = disk != nullptr && saved.disk.fingerprint == disk->fingerprint;
        people.push_back(std::move(saved));
    }
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

void SaySkipped(LogOutcome& outcome, const std::string& path) {
    if (outcome.skipped > 0)
        outcome.messages.push_back(
            log_messages::Skipped(outcome.skipped, "saved person", "saved people", path));
}

int Done(int code) { return code == SQLITE_DONE ? SQLITE_OK : code; }

}  // namespace

LogOutcome CResearchLog::SavePerson(const DiskIdentity& disk, const PersonOnDisk& person,
                                    const std::string* note, std::int64_t* id) {
    LogOutcome outcome;
    if (id != nullptr) *id = 0;
    if (!Keeping()) return TurnedOff(Path());
    if (!CheckDisk(disk, outcome, Path()) || !CheckPerson(person, note, outcome, Path())) return outcome;
    CLogConnection& connection = *connection_;
    const std::string time = LogTime(connection.Now());
    connection.Run(Need::Add, outcome, [&] {
        int code = AddDisk(connection, disk);
        if (code != SQLITE_OK) return code;
        CSqliteStatement* statement = connection.Statement(log_sql::kSavePerson, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, disk.fingerprint);
        statement->BindText(2, catalogue::StemOf(person.code));
        statement->BindInteger(3, person.entry);
        statement->BindText(4, cp1252::ToUtf8(person.surname));
        statement->BindText(5, cp1252::ToUtf8(person.givenNames));
        statement->BindText(6, cp1252::ToUtf8(KeptSummary(person.summary)));
        statement->BindText(7, note != nullptr ? cp1252::ToUtf8(*note) : std::string());
        statement->BindText(8, time);
        statement->BindInteger(9, note != nullptr ? 1 : 0);
        code = statement->Step();
        if (code != SQLITE_ROW) return code;
        if (id != nullptr) *id = statement->Integer(0);
        return Done(statement->Step());
    });
    return outcome;
}

LogOutcome CResearchLog::SavedPeople(const DiskIdentity* disk, bool allDisks,
                                     std::vector<SavedPerson>& people) {
    LogOutcome outcome;
    people.clear();
    if (!allDisks && disk == nullptr) return outcome;
    CLogConnection& connection = *connection_;
    connection.Run(Need::Read, outcome, [&] {
        people.clear();
        outcome.skipped = 0;
        int code = SQLITE_OK;
        CSqliteStatement* statement =
            connection.Statement(allDisks ? log_sql::kSavedAll : log_sql::kSavedOfDisk, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        if (!allDisks) statement->BindText(1, disk->fingerprint);
        return ReadSavedRows(*statement, disk, people, outcome);
    });
    SaySkipped(outcome, Path());
    return outcome;
}

LogOutcome CResearchLog::FindSaved(const DiskIdentity& disk, const PersonPlace& place, bool& found,
                                   SavedPerson& saved) {
    LogOutcome outcome;
    found = false;
    saved = SavedPerson{};
    if (catalogue::StemOf(place.code) == nullptr) return outcome;
    CLogConnection& connection = *connection_;
    connection.Run(Need::Read, outcome, [&] {
        outcome.skipped = 0;
        int code = SQLITE_OK;
        CSqliteStatement* statement = connection.Statement(log_sql::kSavedAt, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, disk.fingerprint);
        statement->BindText(2, catalogue::StemOf(place.code));
        statement->BindInteger(3, place.entry);
        std::vector<SavedPerson> people;
        code = ReadSavedRows(*statement, &disk, people, outcome);
        found = !people.empty();
        if (found) saved = people.front();
        return code;
    });
    SaySkipped(outcome, Path());
    return outcome;
}

LogOutcome CResearchLog::RemovePerson(std::int64_t id, bool& found, SavedPerson& removed) {
    LogOutcome outcome;
    found = false;
    removed = SavedPerson{};
    CLogConnection& connection = *connection_;
    connection.Run(Need::Change, outcome, [&] {
        return log_removal::RemoveById(connection, log_sql::kSavedById, log_sql::kRemoveSaved, id, found,
                                       removed, log_rows::ReadSaved);
    });
    return outcome;
}

LogOutcome CResearchLog::UndoRemove(const SavedPerson& removed) {
    if (!Keeping()) return TurnedOff(Path());
    LogOutcome outcome;
    const PersonOnDisk& person = removed.person;
    if (!CheckDisk(removed.disk, outcome, Path()) || !CheckPerson(person, &removed.note, outcome, Path()) ||
        !IsLogTime(removed.time)) {
        if (!outcome.Failed()) Refuse(outcome, Path(), "the person removed is not known whole");
        return outcome;
    }
    CLogConnection& connection = *connection_;
    connection.Run(Need::Add, outcome, [&] {
        int code = AddDisk(connection, removed.disk);
        if (code != SQLITE_OK) return code;
        CSqliteStatement* statement = connection.Statement(log_sql::kRestoreSaved, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindInteger(1, removed.id);
        statement->BindText(2, removed.disk.fingerprint);
        statement->BindText(3, catalogue::StemOf(person.code));
        statement->BindInteger(4, person.entry);
        statement->BindText(5, cp1252::ToUtf8(person.surname));
        statement->BindText(6, cp1252::ToUtf8(person.givenNames));
        statement->BindText(7, cp1252::ToUtf8(KeptSummary(person.summary)));
        statement->BindText(8, cp1252::ToUtf8(removed.note));
        statement->BindText(9, removed.time);
        return Done(statement->Step());
    });
    return outcome;
}

LogOutcome CResearchLog::MarkSeen(const DiskIdentity& disk, const PersonPlace& place) {
    LogOutcome outcome;
    if (!Keeping()) return outcome;
    if (!CheckDisk(disk, outcome, Path()) || !CheckPlace(place.code, place.entry, outcome, Path()))
        return outcome;
    CLogConnection& connection = *connection_;
    const std::string time = LogTime(connection.Now());
    connection.Run(Need::Add, outcome, [&] {
        int code = AddDisk(connection, disk);
        if (code != SQLITE_OK) return code;
        CSqliteStatement* statement = connection.Statement(log_sql::kMarkSeen, code);
        if (statement == nullptr) return code;
        CStatementRun run(*statement);
        statement->BindText(1, disk.fingerprint);
        statement->BindText(2, catalogue::StemOf(place.code));
        statement->BindInteger(3, place.entry);
        statement->BindText(4, time);
        return Done(statement->Step());
    });
    return outcome;
}

LogOutcome CResearchLog::SeenAmong(const DiskIdentity& disk, const std::vector<PersonPlace>& places,
                                   std::vector<std::string>& seenAt) {
    LogOutcome outcome;
    seenAt.assign(places.size(), std::string());
    CLogConnection& connection = *connection_;
    connection.Run(Need::Read, outcome, [&] {
        seenAt.assign(places.size(), std::string());
        int code = SQLITE_OK;
        CSqliteStatement* statement = connection.Statement(log_sql::kSeenAt, code);
        if (statement == nullptr) return code;
        // One read transaction for the whole page, so that its marks agree.
        code = connection.BeginRead();
        if (code != SQLITE_OK) return code;
        for (std::size_t i = 0; i < places.size(); ++i) {
            const char* stem = catalogue::StemOf(places[i].code);
            if (stem == nullptr) continue;
            CStatementRun run(*statement);
            statement->BindText(1, disk.fingerprint);
            statement->BindText(2, stem);
            statement->BindInteger(3, places[i].entry);
            code = statement->Step();
            if (code == SQLITE_DONE) continue;
            if (code != SQLITE_ROW) break;
            if (statement->IsText(0) && IsLogTime(statement->Text(0))) {
                seenAt[i] = statement->Text(0);
            } else {
                ++outcome.skipped;
            }
            code = SQLITE_OK;
        }
        connection.EndRead();
        return code == SQLITE_DONE ? SQLITE_OK : code;
    });
    if (outcome.skipped > 0)
        outcome.messages.push_back(log_messages::Skipped(outcome.skipped, "seen mark", "seen marks", Path()));
    return outcome;
}

}  // namespace research_log
