#include "tools/query/query_services.h"

#include "browse/session/disk_prompt.h"
#include "platform/message_box.h"

namespace query_tool {

void InstallServices() { platform::SetMessageBoxHandler(platform::StderrMessageBox, nullptr); }

DiskPrompt DiskPromptOfTool(const CDirectories& dirs) { return InsertDiskPrompt(dirs); }

void LoadDirectoriesOf(const QueryOptions& options, CDirectories& dirs) {
    dirs.LoadDirectories();
    if (options.hasDataDir) dirs.SetDataDir(options.dataDir.c_str());
    if (options.hasInstallDir) dirs.SetInstallDir(options.installDir.c_str());
}

}  // namespace query_tool
