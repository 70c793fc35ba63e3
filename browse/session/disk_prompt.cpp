#include "browse/session/disk_prompt.h"

#include "browse/record_text/search_messages.h"
#include "platform/message_box.h"
#include "store/directories.h"

DiskPrompt InsertDiskPrompt(const CDirectories& dirs) {
    const CDirectories* looked = &dirs;
    return [looked] {
        return platform::Ask(search_messages::kInsertDiskText,
                             search_messages::InsertDiskDetails(looked->DataDir(), WhyNoDataDisk(*looked)));
    };
}
