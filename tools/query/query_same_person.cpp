#include "tools/query/query_same_person.h"

#include <algorithm>

#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/research_log.h"
#include "browse/research_log/saved_person_reader.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_log.h"
#include "tools/query/query_services.h"

namespace query_tool {
namespace {

linkage::RecordPlace PlaceOf(const research_log::PersonOnDisk& person) {
    return linkage::RecordPlace{person.code, person.entry};
}

}  // namespace

CSamePeople::CSamePeople(const CDirectories& dirs) : dirs_(dirs), database_(dirs) {}

int CSamePeople::Load(bool& verdictsRead) {
    verdictsRead = false;
    static const char kWithout[] =
        "note: the family-tree file is written without the research log's verdicts: records confirmed as one "
        "person are people of their own";
    research_log::DiskIdentity disk;
    const StoreError unknown = research_log::ReadDiskIdentity(dirs_, disk);
    if (unknown.Failed()) {
        Complain(search_messages::MessageOf(unknown));
        return ExitStatusOf(unknown);
    }
    std::vector<research_log::PairVerdict> verdicts;
    research_log::CResearchLog log;
    const research_log::LogOutcome outcome = log.Verdicts(&disk, false, verdicts);
    if (TellLogOutcome(outcome) != kExitSearched) {
        Complain(kWithout);
        return kExitSearched;
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
    verdictsRead = true;
    return kExitSearched;
}

bool CSamePeople::RecordsWith(const FoundPerson& person, std::vector<FoundPerson>& same, int& status) {
    same.clear();
    const linkage::RecordPlace self{person.code, person.entry};
    if (!written_.insert(self).second) return false;
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
                same.push_back(std::move(record));
                break;
            case research_log::SavedPersonRead::NotThere:
                Complain(research_log::log_messages::NotOnDisk(saved->second));
                break;
            case research_log::SavedPersonRead::Failed:
                Complain(search_messages::MessageOf(error));
                status = ExitStatusOf(error);
                return false;
        }
    }
    return true;
}

}  // namespace query_tool
