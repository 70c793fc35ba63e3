#include "tools/query/query_gedcom.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "browse/export/gedcom_writer.h"
#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "store/data_file.h"
#include "store/io_calls.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_same_person.h"

namespace query_tool {
namespace {

// The text of an export on its way to standard output: in memory while it
// is small, then in a file of the installation directory that has no name
// (it goes when the tool ends, however it ends). Where no such file can be
// made, or where it would lie on the data disk, the text stays in memory.
class ExportSpool {
public:
    static constexpr std::size_t kInMemory = 8 * 1024 * 1024;

    explicit ExportSpool(const CDirectories& dirs) : dirs_(dirs) {}
    ~ExportSpool() { io_calls::Close(fd_); }
    ExportSpool(const ExportSpool&) = delete;
    ExportSpool& operator=(const ExportSpool&) = delete;

    void Write(const std::string& piece) {
        if (fd_ < 0 && !triedFile_ && memory_.size() + piece.size() > kInMemory) OpenFile();
        // Once a write to the file fails, the rest stays in memory after
        // what the file holds.
        if (fd_ >= 0 && memory_.empty()) {
            const io_calls::Transfer written = io_calls::WriteAt(fd_, piece.data(), piece.size(), fileSize_);
            if (written.error == 0) {
                fileSize_ += static_cast<std::int64_t>(piece.size());
                return;
            }
        }
        memory_ += piece;
    }

    // Copies what the file holds, then what memory holds; false with errno
    // in error when the file could not be read back.
    bool CopyTo(std::FILE* out, int& error) {
        char buffer[65536];
        for (std::int64_t at = 0; at < fileSize_;) {
            const auto wanted = static_cast<std::size_t>(
                fileSize_ - at < static_cast<std::int64_t>(sizeof buffer) ? fileSize_ - at : sizeof buffer);
            const io_calls::Transfer read = io_calls::ReadAt(fd_, buffer, wanted, at);
            if (read.error != 0 || read.bytes == 0) {
                error = read.error != 0 ? read.error : kFileCutShort;
                return false;
            }
            std::fwrite(buffer, 1, read.bytes, out);
            at += static_cast<std::int64_t>(read.bytes);
        }
        std::fwrite(memory_.data(), 1, memory_.size(), out);
        return true;
    }

private:
    bool OnDataDisk() const {
        struct stat install {};
        struct stat data {};
        return ::stat(dirs_.InstallDir(), &install) != 0 || ::stat(dirs_.DataDir(), &data) != 0 ||
               (install.st_dev == data.st_dev && install.st_ino == data.st_ino);
    }

    void OpenFile() {
        triedFile_ = true;
        if (!dirs_.PrepareInstallDir(nullptr) || OnDataDisk()) return;
        int error = 0;
        const int fd = io_calls::Open(dirs_.InstallDir(), O_TMPFILE | O_RDWR | O_CLOEXEC, error, 0600);
        if (fd < 0) return;
        // What memory held so far goes first.
        const io_calls::Transfer written = io_calls::WriteAt(fd, memory_.data(), memory_.size(), 0);
        if (written.error != 0) {
            io_calls::Close(fd);
            return;
        }
        fd_ = fd;
        fileSize_ = static_cast<std::int64_t>(memory_.size());
        memory_.clear();
        memory_.shrink_to_fit();
    }

    const CDirectories& dirs_;
    int fd_ = -1;
    bool triedFile_ = false;
    std::int64_t fileSize_ = 0;
    std::string memory_;
};

}  // namespace

bool DateOfRun(CalendarDate& date) {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch == nullptr || *epoch == '\0') {
        date = calendar_date::Today();
        return true;
    }
    char* end = nullptr;
    const long long seconds = std::strtoll(epoch, &end, 10);
    // Up to the year 9999.
    if (*end != '\0' || seconds < 0 || seconds > 253402300799LL) {
        Complain(std::string("SOURCE_DATE_EPOCH must be a count of seconds since 1970, not '") + epoch + "'");
        return false;
    }
    date = calendar_date::FromUnixSeconds(seconds);
    return true;
}

int ExportGedcom(CSearchSession& session, const CDirectories& dirs, const CalendarDate& date) {
    CitationContext context;
    context.date = date;
    const SearchOutcome labelled = session.ReadDiskLabel(context.disk);
    platform::Tell(labelled.messages, labelled.details);
    if (!labelled.Done()) return ExitStatusOf(labelled.error);
    ExportSpool spool(dirs);
    CGedcomWriter writer(context, [&spool](const std::string& piece) {
        spool.Write(piece);
        return true;
    });
    // A person confirmed the same as other records is written once, with them.
    CSamePeople samePeople(dirs);
    bool verdictsRead = false;
    const int diskRead = samePeople.Load(verdictsRead);
    if (diskRead != kExitSearched) return diskRead;
    int unreadSame = kExitSearched;
    std::vector<FoundPerson> same;
    // Each database's source is named as the disk's provenance names it.
    SearchOutcome unread{SearchStatus::Found, {}, {}, {}};
    auto named = [&](int code) {
        if (writer.HasProvenance(code)) return true;
        std::vector<ProvenanceEntry> provenance;
        unread = session.ReadProvenance(code, provenance);
        if (!unread.Done()) return false;
        writer.AddProvenance(code, std::move(provenance));
        return true;
    };
    const SearchOutcome walked = session.ForEachPerson([&](const FoundPerson& person) {
        if (!samePeople.RecordsWith(person, same, unreadSame)) return unreadSame == kExitSearched;
        if (!named(person.code)) return false;
        for (const FoundPerson& record : same) {
            if (!named(record.code)) return false;
        }
        return writer.Add(person, same);
    });
    platform::Tell(walked.messages, walked.details);
    platform::Tell(unread.messages, unread.details);
    if (!unread.Done()) return ExitStatusOf(unread.error);
    if (unreadSame != kExitSearched) return unreadSame;
    if (walked.status == SearchStatus::Cancelled) return kExitFailed;
    if (!walked.Done()) return ExitStatusOf(walked.error);
    writer.Finish();
    int error = 0;
    if (!spool.CopyTo(stdout, error)) {
        Complain(std::string("cannot read back the export's scratch file in ") + dirs.InstallDir() + ": " +
                 (error == kFileCutShort ? "it is shorter than what was written" : std::strerror(error)));
        return kExitUnreadable;
    }
    return FinishStandardOutput(verdictsRead ? kExitSearched : kExitUnreadable);
}

int FetchCitation(long row, CSearchSession& session, const CalendarDate& date, Citation& cited,
                  bool& printPage) {
    printPage = true;
    if (row < 0 || row >= session.RowsOnPage()) return kExitFailed;
    FoundPerson person;
    CitationContext context;
    context.date = date;
    const SearchOutcome found = session.PersonOfRow(static_cast<int>(row), person);
    platform::Tell(found.messages, found.details);
    if (found.status == SearchStatus::Cancelled) return kExitFailed;
    SearchOutcome failed = found;
    if (found.Done()) {
        failed = session.ReadDiskLabel(context.disk);
        platform::Tell(failed.messages, failed.details);
    }
    // The record set is named as the disk's provenance of the database names it.
    if (failed.Done()) {
        failed = session.ReadProvenance(person.code, context.provenance[person.code]);
        platform::Tell(failed.messages);
    }
    if (!failed.Done()) {
        // Nothing of the answer is printed.
        printPage = false;
        return ExitStatusOf(failed.error);
    }
    cited = citation::Of(person, context);
    return kExitSearched;
}

}  // namespace query_tool
