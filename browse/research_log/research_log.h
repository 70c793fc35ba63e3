#pragma once
// CResearchLog: what a researcher searched, saved and saw, remembered
// between runs and shared by every program of the user, in one SQLite
// database of the user's own (log_location.h).
//
// Several programs use the log at once: it is kept in WAL mode, every
// write is one transaction that takes the write lock first (BEGIN
// IMMEDIATE) and waits for another's for a while, and every read sees
// whole writes only. A write once acknowledged survives the program being
// killed at any moment (synchronous=NORMAL keeps it through a crash of the
// program; a power cut may lose the last writes, never the log).
//
// A file at the log's path that is damaged, or that is not a research log,
// is moved aside (research.sqlite.damaged-<time>), with a message naming
// both paths, and a new log begins. A log that cannot be kept (no folder,
// no permission, a full disk, another program holding it) is an error of
// the operation, never of the search it belongs to: programs go on
// searching and say once that the log cannot be kept.
//
// One object per thread: its connection is not shared. Every text is
// Windows-1252. Nothing is shown from here: each operation returns a
// LogOutcome.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browse/research_log/log_entries.h"
#include "browse/research_log/log_options.h"
#include "browse/research_log/log_outcome.h"

namespace research_log {

class CLogConnection;

enum class ClearWhat { Searches, Seen, All };

class CResearchLog {
public:
    explicit CResearchLog(LogOptions options = LogOptions{});
    ~CResearchLog();
    CResearchLog(const CResearchLog&) = delete;
    CResearchLog& operator=(const CResearchLog&) = delete;

    const std::string& Path() const;
    bool Keeping() const;
    void SetKeeping(bool keep);

    // Opens the log, making it when missing (not when turned off): every
    // operation does so itself; a program calls it at start to say at once
    // that the log cannot be kept, or that a damaged one was moved aside.
    LogOutcome Open();

    // --- searches ---
    // A search done (found or not: count may be 0). disk may be null when
    // the disk's identity is not known. Turned off: nothing, no error.
    LogOutcome LogSearch(LogProgram program, const AskedSearch& asked, std::int64_t count,
                         const DiskIdentity* disk = nullptr);
    // Up to limit searches newest first, of those older than beforeId (0:
    // from the newest), that pass filter.
    LogOutcome Searches(const SearchFilter& filter, std::int64_t beforeId, std::size_t limit,
                        std::vector<LoggedSearch>& searches);
    LogOutcome CountSearches(const SearchFilter& filter, std::int64_t& count);
    // Every search, oldest first; visit returns false to stop.
    LogOutcome ForEachSearch(const std::function<bool(const LoggedSearch&)>& visit);
    // The surnames (with their first names) searched in database, newest
    // first, each pair once: what Up and Down walk in the edit boxes.
    LogOutcome EarlierSearches(const std::string& database, std::size_t limit,
                               std::vector<AskedSearch>& earlier);

    // --- saved people ---
    // Saves person of disk; a person saved already keeps their row and gets
    // note (null: the note stays as it was). id, when given, gets the row's id.
    LogOutcome SavePerson(const DiskIdentity& disk, const PersonOnDisk& person, const std::string* note,
                          std::int64_t* id = nullptr);
    // The people saved, oldest first: those of disk, or with allDisks every
    // one (ofThisDisk tells them apart; disk null: none is of this disk).
    LogOutcome SavedPeople(const DiskIdentity* disk, bool allDisks, std::vector<SavedPerson>& people);
    // The saved person at place of disk, if any (found).
    LogOutcome FindSaved(const DiskIdentity& disk, const PersonPlace& place, bool& found, SavedPerson& saved);
    // Removes the saved person id; removed gets what undoes it (found false
    // when there was none).
    LogOutcome RemovePerson(std::int64_t id, bool& found, SavedPerson& removed);
    // Puts a removed person back with their time, note and, where it is
    // free, their place in the order. A person saved again meanwhile keeps
    // the newer row.
    LogOutcome UndoRemove(const SavedPerson& removed);

    // --- verdicts on pairs of records ---
    // The researcher's verdict on a and b of disk (in either order; never a
    // record with itself). A pair decided already gets the new verdict and
    // time, and note (null: the note stays as it was). id, when given, gets
    // the row's id.
    LogOutcome SetVerdict(const DiskIdentity& disk, const PersonOnDisk& a, const PersonOnDisk& b,
                          Sameness sameness, const std::string* note, std::int64_t* id = nullptr);
    // The verdict on a and b of disk, in either order, if any (found).
    LogOutcome VerdictOn(const DiskIdentity& disk, const PersonPlace& a, const PersonPlace& b, bool& found,
                         PairVerdict& verdict);
    // Every verdict on a pair that holds place, oldest first.
    LogOutcome VerdictsOf(const DiskIdentity& disk, const PersonPlace& place,
                          std::vector<PairVerdict>& verdicts);
    // The verdicts, oldest first: those of disk, or with allDisks every one
    // (ofThisDisk tells them apart; disk null: none is of this disk).
    LogOutcome Verdicts(const DiskIdentity* disk, bool allDisks, std::vector<PairVerdict>& verdicts);
    // Takes verdict id back; removed gets what undoes it (found false when
    // there was none).
    LogOutcome RemoveVerdict(std::int64_t id, bool& found, PairVerdict& removed);
    // Puts a verdict taken back in again with its time and note; a pair
    // decided again meanwhile keeps the newer verdict.
    LogOutcome UndoRemoveVerdict(const PairVerdict& removed);

    // --- seen ---
    // More Info of person was opened. Turned off: nothing, no error.
    LogOutcome MarkSeen(const DiskIdentity& disk, const PersonPlace& place);
    // For each place, when it was first seen (empty: never), in the same order.
    LogOutcome SeenAmong(const DiskIdentity& disk, const std::vector<PersonPlace>& places,
                         std::vector<std::string>& seenAt);

    LogOutcome Clear(ClearWhat what);

private:
    std::unique_ptr<CLogConnection> connection_;
};

}  // namespace research_log
