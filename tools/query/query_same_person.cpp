#include "tools/query/query_same_person.h"

#include <string>
#include <utility>

#include "tools/query/query_exit.h"

namespace query_tool {

int CSamePeople::Load(bool& verdictsRead) {
    const same_person::VerdictsRead read = people_.Load();
    for (const std::string& message : read.messages) Complain(message);
    verdictsRead = read.verdictsRead;
    return read.Failed() ? ExitStatusOf(read.error) : kExitSearched;
}

bool CSamePeople::RecordsWith(const FoundPerson& person, std::vector<FoundPerson>& same, int& status) {
    same_person::SameRecords records = people_.RecordsWith(person);
    for (const std::string& message : records.messages) Complain(message);
    if (records.Failed()) status = ExitStatusOf(records.error);
    same = std::move(records.same);
    return records.write;
}

}  // namespace query_tool
