#include "browse/same_person/same_people.h"

#include <algorithm>
#include <utility>

#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/research_log.h"
#include "browse/research_log/saved_person_reader.h"
#include "store/directories.h"

namespace same_person {
namespace {

linkage::RecordPlace PlaceOf(const research_log::PersonOnDisk& person) {
    return linkage::RecordPlace{person.code, person.entry};
}

}  // namespace

std::string WithoutVerdictsNote() {
    return "note: the family-tree file is written without the research log's verdicts: records confirmed as "
           "one person are people of their own";
}

CSamePeople::CSamePeople(const CDirectories& dirs, research_log::LogOptions log)
    : dirs_(dirs), logOptions_(std::move(log)), database_(dirs) {}

VerdictsRead CSamePeople::Load() {
    VerdictsRead read;
    research_log::DiskIdentity disk;
    read.error = research_log::ReadDiskIdentity(dirs_, disk);
    if (read.error.Failed()) {
        read.messages.push_back(search_messages::MessageOf(read.error));
        return read;
    }
    std::vector<research_log::PairVerdict> verdicts;
    research_log::CResearchLog log(logOptions_);
    const research_log::LogOutcome outcome = log.Verdicts(&disk, false, verdicts);
    read.messages = outcome.messages;
    // Some verdicts left out could join or part people wrongly: none are taken.
    if (outcome.Failed() || outcome.skipped > 0) {
        read.messages.push_back(WithoutVerdictsNote());
        return read;
    }
    for (const research_log::PairVerdict& verdict : verdicts) {
        const bool same = verdict.sameness == research_log::Sameness::Same;
        known_.Set(PlaceOf(verdict.first), PlaceOf(verdict.second),
                   same ? linkage::Known::Same : linkage::Known::NotSame);
        if (same) {
            records_[PlaceOf(verdict.first)] = verdict.first;
            records_[PlaceOf(verdict.second)] = verdict.second;
        }
    }
    read.verdictsRead = true;
    return read;
}

SameRecords CSamePeople::RecordsWith(const FoundPerson& person) {
    SameRecords records;
    const linkage::RecordPlace self{person.code, person.entry};
    if (!written_.insert(self).second) return records;
    // Confirmed with a record confirmed with the person is the same person too.
    std::vector<linkage::RecordPlace> found{self};
    for (std::size_t k = 0; k < found.size(); ++k) {
        for (const linkage::RecordPlace& place : known_.ConfirmedWith(found[k])) {
            if (std::find(found.begin(), found.end(), place) == found.end()) found.push_back(place);
        }
    }
    std::sort(found.begin() + 1, found.end());
    for (std::size_t k = 1; k < found.size(); ++k) {
        if (!written_.insert(found[k]).second) continue;
        const auto saved = records_.find(found[k]);
        if (saved == records_.end()) continue;
        ExportedHit record;
        StoreError error;
        switch (research_log::ReadSavedPerson(database_, saved->second, record, error)) {
            case research_log::SavedPersonRead::Read:
                records.same.push_back(std::move(record));
                break;
            case research_log::SavedPersonRead::NotThere:
                // Whoever the disk holds there now is another person, written when found.
                written_.erase(found[k]);
                records.messages.push_back(research_log::log_messages::NotOnDisk(saved->second));
                break;
            case research_log::SavedPersonRead::Failed:
                records.error = error;
                records.messages.push_back(search_messages::MessageOf(error));
                records.same.clear();
                return records;
        }
    }
    records.write = true;
    return records;
}

}  // namespace same_person
