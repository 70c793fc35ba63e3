#pragma once
// CViewerLog: the viewer's side of the research log. It keeps the log's
// connection for the interface thread, tells the data disk's identity to
// every write that names people, and shows what the log says: a log moved
// aside or entries left out each time, and that the log cannot be kept
// once (until it can be kept again), so that a log folder that cannot be
// written never stands between the user and a search. Everything the
// viewer logs, saves, marks seen and reads back goes through here; the
// windows that show the log hear of each change (changed).

#include <cstdint>
#include <string>
#include <vector>

#include <QObject>

#include "browse/research_log/log_entries.h"
#include "browse/research_log/research_log.h"

class CDirectories;

class CViewerLog : public QObject {
    Q_OBJECT
public:
    CViewerLog(const CDirectories& dirs, research_log::LogOptions options, QObject* parent = nullptr);
    ~CViewerLog() override;

    research_log::CResearchLog& Log() { return log_; }
    bool Keeping() const { return log_.Keeping(); }
    void SetKeeping(bool keep);

    // At start: says at once that the log cannot be kept, or that a damaged
    // one was moved aside.
    void Open();

    // A search done, found or not.
    void LogSearch(const research_log::AskedSearch& asked, std::int64_t count);
    // More Info of a person was opened.
    void MarkSeen(const research_log::PersonPlace& place);
    // Whether each place was seen before, in order (all false when the log
    // or the disk cannot be read).
    std::vector<bool> SeenAmong(const std::vector<research_log::PersonPlace>& places);
    // Saves a person of this disk with note (null: keeps the note they
    // have); false after saying why when it could not be.
    bool SavePerson(const research_log::PersonOnDisk& person, const std::string* note);
    // The saved person at place of this disk, if any.
    bool FindSaved(const research_log::PersonPlace& place, research_log::SavedPerson& saved);
    // The surnames and first names searched in database (a stem), newest first.
    std::vector<research_log::AskedSearch> EarlierSearches(const std::string& database);
    // The disk the data folder holds now; false when it cannot be told.
    bool Disk(research_log::DiskIdentity& disk) const;

    // Shows an outcome's messages by the rule above; true when it did not fail.
    bool Tell(const research_log::LogOutcome& outcome);

signals:
    // Something was written (a search, a person, a mark, a clearing).
    void changed();

private:
    const CDirectories& dirs_;
    research_log::CResearchLog log_;
    // The failure has been said since the log last worked.
    bool failureTold_ = false;
};
