#include "tools/query/query_run.h"

#include <string>

#include "tools/query/query_exit.h"
#include "tools/query/query_find.h"
#include "tools/query/query_history.h"
#include "tools/query/query_links.h"
#include "tools/query/query_list.h"
#include "tools/query/query_page.h"

namespace query_tool {

int RunQuery(const QueryOptions& options) {
    for (const std::string& note : options.notes) Complain("note: " + note);
    if (options.research.mode == LogMode::History) return RunHistory(options);
    if (options.research.mode == LogMode::Saved) return RunSaved(options);
    if (options.list) return RunList(options);
    if (options.linksAll) return RunLinksAll(options);
    if (options.find.active) return RunFind(options);
    return RunPage(options);
}

}  // namespace query_tool
