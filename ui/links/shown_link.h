#pragma once
// ShownLink: one link of a record as the viewer shows it, apart from the
// windows that show it, so that the list of links and the code that reads
// them need not include each other.

#include <QString>

#include "browse/linkage/link_score.h"
#include "browse/research_log/log_entries.h"

struct ShownLink {
    research_log::PersonOnDisk person;  // with the summary of its row
    QString database;
    linkage::LinkJudgement judgement;
    bool confirmed = false;
};
