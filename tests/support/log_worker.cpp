// A program that uses the research log as the viewer and the tool do, for
// the tests that need several real processes at once, or one to kill:
//
//   chronara_log_worker write LOG ACKS ID COUNT   COUNT people saved and
//       COUNT searches logged (COUNT 0: until killed), each acknowledged
//       write then written to ACKS as a line "save ID I" or "search ID I"
//   chronara_log_worker read LOG STOP             reads the log over and over
//       until the file STOP exists; prints every entry that is not whole
//       and the number of reads
//
// Person I of writer ID is entry ID*100000+I of War of 1812 with the note
// "writer ID item I"; search I is surname WID, first name I. Exit status 0
// when every write was acknowledged (write) or every read whole (read).

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "browse/research_log/research_log.h"

using namespace research_log;

namespace {

DiskIdentity TheDisk() {
    DiskIdentity disk;
    disk.label.name = "Chronara data disk";
    disk.fingerprint = "v1-00000000000000aa";
    return disk;
}

LogOptions OptionsAt(const char* path) {
    LogOptions options;
    options.place.path = path;
    options.place.existing = 1;
    // Eight writers at once on a shared machine: waiting is what they do.
    options.busyMilliseconds = 60000;
    return options;
}

int Write(const char* path, const char* acksPath, long id, long count) {
    CResearchLog log(OptionsAt(path));
    std::FILE* acks = std::fopen(acksPath, "a");
    if (acks == nullptr) return 2;
    const DiskIdentity disk = TheDisk();
    int status = 0;
    for (long i = 0; count == 0 || i < count; ++i) {
        PersonOnDisk person;
        person.code = 2;
        person.entry = static_cast<std::int32_t>(id * 100000 + i);
        person.surname = "W" + std::to_string(id);
        person.givenNames = "Item " + std::to_string(i);
        person.summary = "summary of " + std::to_string(person.entry);
        const std::string note = "writer " + std::to_string(id) + " item " + std::to_string(i);
        LogOutcome outcome = log.SavePerson(disk, person, &note);
        if (outcome.Failed()) {
            std::fprintf(stderr, "save %ld: %s\n", i,
                         outcome.messages.empty() ? "" : outcome.messages[0].c_str());
            status = 1;
        } else {
            std::fprintf(acks, "save %ld %ld\n", id, i);
            std::fflush(acks);
        }
        AskedSearch asked;
        asked.database = "w1812";
        asked.surname = "W" + std::to_string(id);
        asked.hasFirstName = true;
        asked.firstName = std::to_string(i);
        outcome = log.LogSearch(LogProgram::Query, asked, i, &disk);
        if (outcome.Failed()) {
            std::fprintf(stderr, "search %ld: %s\n", i,
                         outcome.messages.empty() ? "" : outcome.messages[0].c_str());
            status = 1;
        } else {
            std::fprintf(acks, "search %ld %ld\n", id, i);
            std::fflush(acks);
        }
    }
    std::fclose(acks);
    return status;
}

bool Exists(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0;
}

int Read(const char* path, const char* stop) {
    CResearchLog log(OptionsAt(path));
    const DiskIdentity disk = TheDisk();
    long reads = 0;
    long broken = 0;
    std::size_t lastSaved = 0;
    std::size_t lastSearches = 0;
    // At least one read, however late the program gets going.
    do {
        std::vector<SavedPerson> saved;
        LogOutcome outcome = log.SavedPeople(&disk, false, saved);
        std::vector<LoggedSearch> searches;
        if (!outcome.Failed()) outcome = log.Searches({}, 0, 100000, searches);
        if (outcome.Failed() || outcome.skipped > 0) {
            std::printf("read failed: %s\n", outcome.messages.empty() ? "" : outcome.messages[0].c_str());
            ++broken;
            if (Exists(stop)) break;
            continue;
        }
        ++reads;
        for (const SavedPerson& person : saved) {
            const long id = person.person.entry / 100000;
            const long i = person.person.entry % 100000;
            if (person.note != "writer " + std::to_string(id) + " item " + std::to_string(i) ||
                person.person.givenNames != "Item " + std::to_string(i) ||
                person.person.surname != "W" + std::to_string(id)) {
                std::printf("half a save: %d %s\n", person.person.entry, person.note.c_str());
                ++broken;
            }
        }
        for (const LoggedSearch& search : searches) {
            if (search.askedText !=
                    "surname " + search.asked.surname + ", first name " + search.asked.firstName ||
                search.count != std::atol(search.asked.firstName.c_str())) {
                std::printf("half a search: %s\n", search.askedText.c_str());
                ++broken;
            }
        }
        // What was read once is there at every later read.
        if (saved.size() < lastSaved || searches.size() < lastSearches) {
            std::printf("a read saw fewer entries than the one before\n");
            ++broken;
        }
        lastSaved = saved.size();
        lastSearches = searches.size();
    } while (!Exists(stop));
    std::printf("reads %ld broken %ld\n", reads, broken);
    return broken == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && argc == 6) return Write(argv[2], argv[3], std::atol(argv[4]), std::atol(argv[5]));
    if (mode == "read" && argc == 4) return Read(argv[2], argv[3]);
    std::fprintf(stderr, "usage: chronara_log_worker write LOG ACKS ID COUNT | read LOG STOP\n");
    return 2;
}
