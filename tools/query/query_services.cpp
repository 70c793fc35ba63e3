#include "tools/query/query_services.h"

#include "browse/record_text/search_messages.h"
#include "platform/message_box.h"

namespace query_tool {

void InstallServices() { platform::SetMessageBoxHandler(platform::StderrMessageBox, nullptr); }

DiskPrompt DiskPromptOfTool() {
    return [] { return platform::Ask(search_messages::kInsertDiskText); };
}

void LoadDirectoriesOf(const QueryOptions& options, CDirectories& dirs) {
    dirs.LoadDirectories();
    if (options.hasDataDir) dirs.SetDataDir(options.dataDir.c_str());
    if (options.hasInstallDir) dirs.SetInstallDir(options.installDir.c_str());
}

}  // namespace query_tool
