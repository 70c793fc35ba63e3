#include "tools/query/query_history.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "browse/export/found_csv.h"
#include "browse/export/gedcom_writer.h"
#include "browse/export/hit_export.h"
#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/research_log.h"
#include "browse/research_log/saved_person_reader.h"
#include "store/catalogue.h"
#include "store/cp1252.h"
#include "store/data_disk.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_gedcom.h"
#include "tools/query/query_log.h"
#include "tools/query/query_same_person.h"
#include "tools/query/query_services.h"

namespace query_tool {
namespace {

using hit_export::JsonString;
using research_log::LoggedSearch;
using research_log::SavedPerson;

// Windows-1252 text for a tab-separated line: UTF-8 unless --raw.
std::string Field(const std::string& windows1252, bool raw) {
    return raw ? windows1252 : cp1252::ToUtf8(windows1252);
}

// JSON's array as the tool writes every array: one object a line.
void AddObject(std::string& text, bool& first, const std::string& members) {
    text += first ? "[\n  {" : ",\n  {";
    text += members + "}";
    first = false;
}

std::string CloseArray(const std::string& text, bool first) { return first ? "[]\n" : text + "\n]\n"; }

// The people of this disk, read again; those it does not hold where the
// log says are left out with a word (leftOut counts them).
int ReadPeople(const CDirectories& dirs, const std::vector<SavedPerson>& saved,
               std::vector<ExportedHit>& people, int& leftOut) {
    CRecordDatabase database(dirs);
    for (const SavedPerson& one : saved) {
        ExportedHit person;
        StoreError error;
        switch (research_log::ReadSavedPerson(database, one.person, person, error)) {
            case research_log::SavedPersonRead::Read:
                people.push_back(std::move(person));
                break;
            case research_log::SavedPersonRead::NotThere:
                Complain(research_log::log_messages::NotOnDisk(one.person));
                ++leftOut;
                break;
            case research_log::SavedPersonRead::Failed:
                Complain(search_messages::MessageOf(error));
                return ExitStatusOf(error);
        }
    }
    return kExitSearched;
}

}  // namespace

int RunHistory(const QueryOptions& options) {
    const bool json = options.research.format == LogFormat::Json;
    std::string text;
    bool first = true;
    research_log::CResearchLog log;
    const research_log::LogOutcome outcome = log.ForEachSearch([&](const LoggedSearch& search) {
        if (json) {
            AddObject(text, first,
                      "\"time\": " + JsonString(search.time) +
                          ", \"program\": " + JsonString(search.program) + ", \"database\": " +
                          JsonString(search.asked.database) + ", \"asked\": " + JsonString(search.askedText) +
                          ", \"count\": " + std::to_string(search.count));
        } else {
            text += Field(search.time, options.raw) + "\t" + Field(search.program, options.raw) + "\t" +
                    search.asked.database + "\t" + Field(search.askedText, options.raw) + "\t" +
                    std::to_string(search.count) + "\n";
        }
        return true;
    });
    const int status = TellLogOutcome(outcome);
    if (outcome.Failed()) return status;
    if (json) text = CloseArray(text, first);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return FinishStandardOutput(status);
}

int RunSaved(const QueryOptions& options) {
    const LogRequest& request = options.research;
    CalendarDate today;
    if (request.format == LogFormat::Gedcom && !DateOfRun(today)) return kExitFailed;
    CDirectories dirs;
    LoadDirectoriesOf(options, dirs);
    // The people listed are those of the disk given: it must be there.
    if (!CheckDataDisk(dirs, DiskPromptOfTool(dirs))) return kExitFailed;
    research_log::DiskIdentity disk;
    const StoreError unknown = research_log::ReadDiskIdentity(dirs, disk);
    if (unknown.Failed()) {
        Complain(search_messages::MessageOf(unknown));
        return ExitStatusOf(unknown);
    }
    std::vector<SavedPerson> saved;
    research_log::CResearchLog log;
    const research_log::LogOutcome outcome = log.SavedPeople(&disk, request.allDisks, saved);
    int status = TellLogOutcome(outcome);
    if (outcome.Failed()) return status;

    std::string text;
    if (request.format == LogFormat::Tsv) {
        for (const SavedPerson& one : saved) {
            text += one.time + "\t" + catalogue::StemOf(one.person.code) + "\t" +
                    std::to_string(one.person.entry) + "\t" + Field(one.person.surname, options.raw) + "\t" +
                    Field(one.person.givenNames, options.raw) + "\t" + Field(one.note, options.raw);
            if (request.allDisks) text += "\t" + Field(research_log::LabelText(one.disk.label), options.raw);
            text += "\n";
        }
    } else if (request.format == LogFormat::Json) {
        bool first = true;
        for (const SavedPerson& one : saved) {
            AddObject(text, first,
                      "\"time\": " + JsonString(one.time) +
                          ", \"database\": " + JsonString(catalogue::StemOf(one.person.code)) +
                          ", \"entry\": " + std::to_string(one.person.entry) +
                          ", \"surname\": " + JsonString(one.person.surname) + ", \"given_names\": " +
                          JsonString(one.person.givenNames) + ", \"note\": " + JsonString(one.note) +
                          ", \"disk\": " + JsonString(research_log::LabelText(one.disk.label)));
        }
        text = CloseArray(text, first);
    } else {
        std::vector<ExportedHit> people;
        int leftOut = 0;
        const int read = ReadPeople(dirs, saved, people, leftOut);
        if (read != kExitSearched) return read;
        if (leftOut > 0) status = kExitUnreadable;
        if (request.format == LogFormat::Csv) {
            CFoundCsv csv;
            for (const ExportedHit& person : people) csv.Survey(person);
            text = csv.Header();
            for (const ExportedHit& person : people) text += csv.Row(person);
        } else {
            CitationContext context;
            context.date = today;
            context.disk = disk.label;
            // A person confirmed the same as other records is written once, with them.
            CSamePeople samePeople(dirs);
            bool verdictsRead = false;
            const int diskRead = samePeople.Load(verdictsRead);
            if (diskRead != kExitSearched) return diskRead;
            if (!verdictsRead) status = kExitUnreadable;
            CGedcomWriter writer(context, [&text](const std::string& piece) {
                text += piece;
                return true;
            });
            // Each person with the note the researcher saved them with.
            std::map<std::pair<int, std::int32_t>, std::string> notes;
            for (const SavedPerson& one : saved) notes[{one.person.code, one.person.entry}] = one.note;
            std::vector<FoundPerson> same;
            int unread = kExitSearched;
            for (const ExportedHit& person : people) {
                if (samePeople.RecordsWith(person, same, unread))
                    writer.Add(person, same, notes[{person.code, person.entry}]);
                if (unread != kExitSearched) return unread;
            }
            writer.Finish();
        }
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return FinishStandardOutput(status);
}

}  // namespace query_tool
