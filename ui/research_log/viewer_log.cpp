#include "ui/research_log/viewer_log.h"

#include <algorithm>

#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_messages.h"
#include "platform/message_box.h"

using research_log::AskedSearch;
using research_log::DiskIdentity;
using research_log::LogErrorKind;
using research_log::LogOutcome;
using research_log::PersonPlace;

CViewerLog::CViewerLog(const CDirectories& dirs, research_log::LogOptions options, QObject* parent)
    : QObject(parent), dirs_(dirs), log_(std::move(options)) {}

CViewerLog::~CViewerLog() = default;

void CViewerLog::SetKeeping(bool keep) { log_.SetKeeping(keep); }

bool CViewerLog::Tell(const LogOutcome& outcome) {
    std::vector<std::string> messages = outcome.messages;
    if (outcome.Failed()) {
        // Turned off is the user's own choice, and nothing to tell.
        const std::string error = research_log::log_messages::ErrorText(outcome.error);
        if (failureTold_ || outcome.error.kind == LogErrorKind::TurnedOff) {
            messages.erase(std::remove(messages.begin(), messages.end(), error), messages.end());
        }
        if (outcome.error.kind != LogErrorKind::TurnedOff) failureTold_ = true;
    } else {
        failureTold_ = false;
    }
    if (!messages.empty()) platform::Tell(messages);
    return !outcome.Failed();
}

bool CViewerLog::Disk(DiskIdentity& disk) const {
    return !research_log::ReadDiskIdentity(dirs_, disk).Failed();
}

void CViewerLog::Open() {
    if (Keeping()) Tell(log_.Open());
}

void CViewerLog::LogSearch(const AskedSearch& asked, std::int64_t count) {
    if (!Keeping()) return;
    DiskIdentity disk;
    const bool known = Disk(disk);
    if (Tell(log_.LogSearch(research_log::LogProgram::Viewer, asked, count, known ? &disk : nullptr)))
        emit changed();
}

void CViewerLog::MarkSeen(const PersonPlace& place) {
    if (!Keeping()) return;
    DiskIdentity disk;
    if (!Disk(disk)) return;
    if (Tell(log_.MarkSeen(disk, place))) emit changed();
}

std::vector<bool> CViewerLog::SeenAmong(const std::vector<PersonPlace>& places) {
    std::vector<bool> seen(places.size(), false);
    DiskIdentity disk;
    if (places.empty() || !Disk(disk)) return seen;
    std::vector<std::string> at;
    // Read while painting a page: a failure is said when the log is next written.
    if (log_.SeenAmong(disk, places, at).Failed() || at.size() != places.size()) return seen;
    for (std::size_t i = 0; i < at.size(); ++i) seen[i] = !at[i].empty();
    return seen;
}

bool CViewerLog::SavePerson(const research_log::PersonOnDisk& person, const std::string* note) {
    if (!Keeping()) {
        platform::Tell(
            {"The research log is turned off, so the person was not saved. It is turned on in the "
             "Research Log window (Ctrl+L)."});
        return false;
    }
    DiskIdentity disk;
    const StoreError unknown = research_log::ReadDiskIdentity(dirs_, disk);
    if (unknown.Failed()) {
        platform::Tell({search_messages::MessageOf(unknown)});
        return false;
    }
    // Saving is asked for in so many words: its failure is said every time.
    failureTold_ = false;
    if (!Tell(log_.SavePerson(disk, person, note))) return false;
    emit changed();
    return true;
}

bool CViewerLog::FindSaved(const PersonPlace& place, research_log::SavedPerson& saved) {
    DiskIdentity disk;
    bool found = false;
    if (!Disk(disk) || log_.FindSaved(disk, place, found, saved).Failed()) return false;
    return found;
}

std::vector<AskedSearch> CViewerLog::EarlierSearches(const std::string& database) {
    std::vector<AskedSearch> earlier;
    constexpr std::size_t kWalked = 500;
    if (log_.EarlierSearches(database, kWalked, earlier).Failed()) earlier.clear();
    return earlier;
}
