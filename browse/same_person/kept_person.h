#pragma once
// A person of the linkage's index as the research log keeps a person: the
// names without the blanks that pad them in the index.

#include <string>

#include "browse/linkage/link_index.h"
#include "browse/research_log/log_entries.h"

namespace same_person {

research_log::PersonOnDisk KeptPersonOf(const linkage::LinkPerson& person,
                                        std::string summary = std::string());

}  // namespace same_person
