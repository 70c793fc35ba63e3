#include "browse/linkage/link_disk.h"

#include <algorithm>
#include <unordered_map>

#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "browse/record_text/field_headings.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/record_database.h"

namespace linkage {
namespace {

bool IsMissing(const StoreError& error) {
    return error.kind == StoreErrorKind::RecordFileMissing ||
           error.kind == StoreErrorKind::EntryFileMissing || error.kind == StoreErrorKind::IndexMissing;
}

}  // namespace

LoadOutcome LoadPeople(const CDirectories& dirs, const std::vector<int>& codes, CLinkIndex& index,
                       const DiskPrompt& prompt) {
    LoadOutcome outcome;
    if (!CheckDataDisk(dirs, prompt)) {
        outcome.noDisk = true;
        return outcome;
    }
    CRecordDatabase database(dirs);
    std::unordered_map<std::string, std::int32_t> surnameCounts;
    CPeopleList people;
    for (const int code : catalogue::EveryDatabase()) {
        const OpenResult opened = database.OpenCode(code);
        if (!opened) continue;  // a database not there counts nobody
        if (ListPeople(*database.Index(), database.EntriesHeld(), people).Failed()) continue;
        for (const PeopleRun& run : people.runs) {
            surnameCounts[FoldedLetters(people.surnames[run.surname])] += run.count;
        }
    }
    index.SetSurnameCounts(std::move(surnameCounts));
    std::vector<std::string> fields;
    for (const int code : codes) {
        const OpenResult opened = database.OpenCode(code);
        if (!opened) {
            if (IsMissing(opened.error)) {
                outcome.skipped.push_back(code);
                continue;
            }
            outcome.error = opened.error;
            outcome.failedCode = code;
            return outcome;
        }
        FieldHeadings headings;
        StoreError error = ReadFieldHeadings(dirs, code, headings);
        if (!error.Failed()) error = ListPeople(*database.Index(), database.EntriesHeld(), people);
        if (!error.Failed()) {
            index.Reserve(static_cast<std::size_t>(std::max<std::int64_t>(people.total, 0)));
            std::size_t headed = 0;
            linkage::FieldRoles roles;
            CPeopleReader reader(database, people);
            ReadPerson person;
            while (reader.Next(person)) {
                // The strings of the last record are written over, not made again.
                std::size_t count = 0;
                ForEachRecordField(std::string_view(person.record, person.recordLength),
                                   [&](std::size_t, std::string_view field) {
                                       if (count < fields.size()) {
                                           fields[count].assign(field);
                                       } else {
                                           fields.emplace_back(field);
                                       }
                                       ++count;
                                   });
                fields.resize(count);
                if (headed < fields.size()) {
                    headed = fields.size();
                    roles = RolesOfHeadings(headings.First(headed));
                }
                LinkPerson linked;
                linked.code = code;
                linked.entry = person.entry;
                linked.surname = std::string(person.surname);
                linked.givenNames = std::string(person.givenNames);
                linked.facts = FactsOf(code, linked.surname, linked.givenNames, fields, roles);
                index.Add(linked);
            }
            error = reader.Error();
        }
        if (error.Failed()) {
            outcome.error = error;
            outcome.failedCode = code;
            return outcome;
        }
    }
    index.Finish();
    return outcome;
}

}  // namespace linkage
