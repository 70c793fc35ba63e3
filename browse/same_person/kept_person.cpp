#include "browse/same_person/kept_person.h"

#include <utility>

#include "store/blank_trim.h"

namespace same_person {

research_log::PersonOnDisk KeptPersonOf(const linkage::LinkPerson& person, std::string summary) {
    research_log::PersonOnDisk kept;
    kept.code = person.code;
    kept.entry = person.entry;
    kept.surname = TrimmedRight(person.surname);
    kept.givenNames = TrimmedRight(person.givenNames);
    kept.summary = std::move(summary);
    return kept;
}

}  // namespace same_person
